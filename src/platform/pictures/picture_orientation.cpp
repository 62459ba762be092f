#include "platform/pictures/picture_orientation.h"

#include <cstring>

namespace pictavo::platform {

namespace {

std::uint32_t read16(const unsigned char* p, bool little) {
    return little ? static_cast<std::uint32_t>(p[0] | (p[1] << 8)) : static_cast<std::uint32_t>((p[0] << 8) | p[1]);
}

std::uint32_t read32(const unsigned char* p, bool little) {
    return little ? read16(p, true) | (read16(p + 2, true) << 16) : (read16(p, false) << 16) | read16(p + 2, false);
}

constexpr std::uint32_t kOrientationTag = 274;
constexpr std::uint32_t kShortType = 3;
constexpr std::size_t kEntryBytes = 12;

// The orientation in a TIFF structure's first directory; 1 when it has none.
int tiffOrientation(const unsigned char* tiff, std::size_t size) {
    if (size < 8) return 1;
    bool little = false;
    if (std::memcmp(tiff, "II", 2) == 0)
        little = true;
    else if (std::memcmp(tiff, "MM", 2) != 0)
        return 1;
    if (read16(tiff + 2, little) != 42) return 1;
    const std::uint64_t directory = read32(tiff + 4, little);
    if (directory + 2 > size) return 1;
    const std::uint32_t entries = read16(tiff + directory, little);
    if (directory + 2 + std::uint64_t{entries} * kEntryBytes > size) return 1;  // a broken directory
    for (std::uint32_t i = 0; i < entries; ++i) {
        const unsigned char* entry = tiff + directory + 2 + std::size_t{i} * kEntryBytes;
        if (read16(entry, little) != kOrientationTag) continue;
        // One SHORT, held in the first two bytes of the value field.
        if (read16(entry + 2, little) != kShortType || read32(entry + 4, little) < 1) return 1;
        return static_cast<int>(read16(entry + 8, little));
    }
    return 1;
}

}  // namespace

bool turnsPixels(int orientation) { return orientation >= 2 && orientation <= 8; }

bool swapsAxes(int orientation) { return orientation >= 5 && orientation <= 8; }

std::optional<int> exifOrientation(const unsigned char* payload, std::size_t size) {
    static constexpr unsigned char kExif[] = {'E', 'x', 'i', 'f', 0, 0};
    if (size < sizeof kExif || std::memcmp(payload, kExif, sizeof kExif) != 0) return std::nullopt;
    return tiffOrientation(payload + sizeof kExif, size - sizeof kExif);
}

void turnUpright(const std::uint32_t* stored, int storedWidth, int storedHeight, int orientation,
                 std::uint32_t* upright) {
    const std::ptrdiff_t w = storedWidth, h = storedHeight;
    // Where upright row y starts in the stored pixels (first + y * down), and
    // how far apart its pixels lie there (across).
    std::ptrdiff_t first = 0, down = w, across = 1;
    switch (turnsPixels(orientation) ? orientation : 1) {
    case 2: first = w - 1, down = w, across = -1; break;
    case 3: first = h * w - 1, down = -w, across = -1; break;
    case 4: first = (h - 1) * w, down = -w, across = 1; break;
    case 5: first = 0, down = 1, across = w; break;
    case 6: first = (h - 1) * w, down = 1, across = -w; break;
    case 7: first = h * w - 1, down = -1, across = -w; break;
    case 8: first = w - 1, down = -1, across = w; break;
    default: break;
    }
    const std::ptrdiff_t width = swapsAxes(orientation) ? h : w;
    const std::ptrdiff_t height = swapsAxes(orientation) ? w : h;
    for (std::ptrdiff_t y = 0; y < height; ++y) {
        const std::ptrdiff_t from = first + y * down;
        std::uint32_t* to = upright + y * width;
        for (std::ptrdiff_t x = 0; x < width; ++x) to[x] = stored[from + x * across];
    }
}

}  // namespace pictavo::platform
