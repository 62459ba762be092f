#pragma once
// How a camera says which way its picture is seen (EXIF tag 274) instead of
// turning the pixels: 1 as stored, 2 mirrored left to right, 3 turned half
// round, 4 mirrored top to bottom, 5 to 8 the same with rows and columns
// traded (6: turned a quarter clockwise, 8: a quarter anticlockwise). Any
// other value is shown as stored.

#include <cstddef>
#include <cstdint>
#include <optional>

namespace pictavo::platform {

// Whether the stored pixels must be turned or mirrored to be seen upright.
bool turnsPixels(int orientation);

// Whether the picture seen upright is as wide as it is stored high.
bool swapsAxes(int orientation);

// The orientation an APP1 segment's payload (after its length field) records
// in its first directory. Nothing when it is not an Exif segment; 1 when it is
// one without a readable tag.
std::optional<int> exifOrientation(const unsigned char* payload, std::size_t size);

// Writes the stored pixels, storedWidth x storedHeight 32-bit pixels in rows
// without gaps, into upright as they are seen: storedHeight wide and
// storedWidth high when the orientation swaps the axes.
void turnUpright(const std::uint32_t* stored, int storedWidth, int storedHeight, int orientation,
                 std::uint32_t* upright);

}  // namespace pictavo::platform
