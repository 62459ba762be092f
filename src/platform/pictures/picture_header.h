#pragma once
// The pixel size a picture file claims in its header, read without decoding
// it, so that a file too large to decode is refused before a decoder
// allocates anything for it.

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

// Reads size bytes at offset into buffer; false when they are not there.
using ReadAt = std::function<bool(std::uint64_t offset, void* buffer, std::size_t size)>;

// Nothing when the header is of another kind or cannot be read.
std::optional<HeaderSize> readHeaderSize(const ReadAt& read);

}  // namespace pictavo::platform
