#pragma once
// The pixel size a picture file claims in its headers, read without decoding
// it, so that a file too large to decode is refused before a decoder
// allocates anything for it. It looks where decoders look: past junk bytes
// before a JPEG marker, and at every frame of a GIF.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

namespace pictavo::platform {

enum class PictureKind { Bmp, Gif, Jpeg, Png };

struct HeaderSize {
    PictureKind kind = PictureKind::Bmp;
    std::uint32_t width = 0, height = 0;
    double pixels() const { return static_cast<double>(width) * static_cast<double>(height); }
};

// Reads up to size bytes at offset into buffer; the number read, fewer at the
// end of the file. Called for whole blocks, not for every few bytes.
using ReadAt = std::function<std::size_t(std::uint64_t offset, void* buffer, std::size_t size)>;

// Nothing when the header is of another kind or cannot be followed; the
// decoder's own check then decides.
std::optional<HeaderSize> readHeaderSize(const ReadAt& read);

}  // namespace pictavo::platform
