// A decoding worker's answer made of any bytes, against bounds made of any
// bytes: what passes the check fits the channel and the screen, and its sizes
// make no overflow where the viewer uses them.

#include <algorithm>
#include <climits>
#include <cstring>

#include "fuzz_text.h"
#include "platform/pictures/decode_answer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace pictavo::platform;
    using pictavo::fuzz::require;
    DecodeAnswer answer;
    std::uint32_t request = 0;
    std::int32_t screen[2] = {};
    std::uint32_t room = 0;
    double maxPixels = 0;
    std::size_t at = 0;
    auto take = [&](void* to, std::size_t bytes) {
        const std::size_t n = std::min(bytes, size - std::min(size, at));
        if (n) std::memcpy(to, data + at, n);
        at += bytes;
    };
    take(&answer, sizeof answer);
    take(&request, sizeof request);
    take(screen, sizeof screen);
    take(&room, sizeof room);
    take(&maxPixels, sizeof maxPixels);
    const AnswerBounds bounds{request, screen[0], screen[1], room, maxPixels};
    const auto checked = checkAnswer(answer, bounds);
    if (!checked || !checked->decoded) return 0;
    require(checked->bitmapWidth > 0 && checked->bitmapHeight > 0);
    require(checked->bitmapWidth <= bounds.screenWidth && checked->bitmapHeight <= bounds.screenHeight);
    require(checked->pixelBytes == std::size_t(checked->bitmapWidth) * std::size_t(checked->bitmapHeight) * 4);
    require(checked->pixelBytes <= bounds.pixelBytes);
    require(checked->naturalWidth > 0 && checked->naturalHeight > 0);
    require(checked->naturalWidth <= INT_MAX / 4 && checked->naturalHeight <= INT_MAX / 4);
    require(checked->decodeMs >= 0 && checked->scaleMs >= 0);
    return 0;
}
