#include "platform/pictures/decode_answer.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace pictavo::platform {

namespace {

// The largest side the decoder takes, and the most pixels a JPEG may have:
// larger ones are decoded scaled down, past the pixel limit.
constexpr std::int32_t kMaxNaturalSide = INT_MAX / 4;
constexpr double kMaxJpegPixels = 65535.0 * 65535.0;

std::optional<CheckedAnswer> refuse(std::string* why, const char* reason) {
    if (why) *why = reason;
    return std::nullopt;
}

}  // namespace

std::optional<CheckedAnswer> checkAnswer(const DecodeAnswer& answer, const AnswerBounds& bounds, std::string* why) {
    if (answer.request != bounds.request) return refuse(why, "it answers another request");
    if (answer.decoded != 0 && answer.decoded != 1) return refuse(why, "its status is neither 0 nor 1");
    if (!std::isfinite(answer.decodeMs) || !std::isfinite(answer.scaleMs) || answer.decodeMs < 0 || answer.scaleMs < 0)
        return refuse(why, "its times are no durations");
    CheckedAnswer checked;
    checked.decodeMs = answer.decodeMs;
    checked.scaleMs = answer.scaleMs;
    if (!answer.decoded) return checked;
    if (answer.bitmapWidth <= 0 || answer.bitmapHeight <= 0 || answer.bitmapWidth > bounds.screenWidth ||
        answer.bitmapHeight > bounds.screenHeight)
        return refuse(why, "its bitmap is empty or larger than the screen");
    const std::size_t pixelBytes =
        static_cast<std::size_t>(answer.bitmapWidth) * static_cast<std::size_t>(answer.bitmapHeight) * 4;
    if (pixelBytes > bounds.pixelBytes) return refuse(why, "its bitmap is larger than the channel");
    if (answer.naturalWidth <= 0 || answer.naturalHeight <= 0 || answer.naturalWidth > kMaxNaturalSide ||
        answer.naturalHeight > kMaxNaturalSide)
        return refuse(why, "its picture's size is out of range");
    const double naturalPixels = static_cast<double>(answer.naturalWidth) * answer.naturalHeight;
    if (naturalPixels > std::max(bounds.maxSourcePixels, kMaxJpegPixels))
        return refuse(why, "its picture has more pixels than any decoded");
    checked.decoded = true;
    checked.bitmapWidth = answer.bitmapWidth;
    checked.bitmapHeight = answer.bitmapHeight;
    checked.naturalWidth = answer.naturalWidth;
    checked.naturalHeight = answer.naturalHeight;
    checked.pixelBytes = pixelBytes;
    return checked;
}

void copyOnce(void* to, const volatile void* from, std::size_t bytes) {
    auto* out = static_cast<unsigned char*>(to);
    const auto* in = static_cast<const volatile unsigned char*>(from);
    for (std::size_t i = 0; i < bytes; ++i) out[i] = in[i];
}

}  // namespace pictavo::platform
