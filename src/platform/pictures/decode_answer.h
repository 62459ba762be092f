#pragma once
// The answer a decoding worker leaves in shared memory, and its check. A file
// that takes the worker over can make it answer anything, and change the
// answer while the viewer reads it: the viewer copies the answer out once,
// checks the copy here, and uses only the copy.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace pictavo::platform {

struct DecodeAnswer {
    std::uint32_t request = 0;  // the number of the request answered
    std::int32_t decoded = 0;   // 1: the channel's pixels hold the picture; 0: it could not be decoded
    std::int32_t bitmapWidth = 0, bitmapHeight = 0;    // the pixels, at most the screen's size
    std::int32_t naturalWidth = 0, naturalHeight = 0;  // the picture's own size, upright
    double decodeMs = 0, scaleMs = 0;
};

// What the viewer asked for, and what its channel holds.
struct AnswerBounds {
    std::uint32_t request = 0;
    int screenWidth = 0, screenHeight = 0;
    std::size_t pixelBytes = 0;  // room for pixels in the channel
    double maxSourcePixels = 0;  // the most pixels a picture may have, unless a JPEG decoded scaled down
};

struct CheckedAnswer {
    bool decoded = false;
    int bitmapWidth = 0, bitmapHeight = 0, naturalWidth = 0, naturalHeight = 0;
    std::size_t pixelBytes = 0;  // bitmapWidth x bitmapHeight 32-bit pixels
    double decodeMs = 0, scaleMs = 0;
};

// The answer as the viewer may use it, or nothing when any field breaks its
// bounds; why then says which.
std::optional<CheckedAnswer> checkAnswer(const DecodeAnswer& answer, const AnswerBounds& bounds,
                                         std::string* why = nullptr);

// Copies bytes out of memory that another process may change meanwhile: each
// byte is read exactly once, never again later.
void copyOnce(void* to, const volatile void* from, std::size_t bytes);

}  // namespace pictavo::platform
