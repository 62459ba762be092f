// The check of a decoding worker's answer: whatever the worker wrote, what
// passes can be copied out of the channel and drawn without overflow.

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <functional>

#include "platform/pictures/decode_answer.h"

namespace pictavo::platform {
namespace {

const AnswerBounds kBounds{7, 1920, 1080, std::size_t{1920} * 1080 * 4, 400e6};

DecodeAnswer goodAnswer() {
    DecodeAnswer answer;
    answer.request = 7;
    answer.decoded = 1;
    answer.bitmapWidth = 1440;
    answer.bitmapHeight = 1080;
    answer.naturalWidth = 4000;
    answer.naturalHeight = 3000;
    answer.decodeMs = 12.5;
    answer.scaleMs = 3;
    return answer;
}

TEST(DecodeAnswer, OnlyAnAnswerWithinEveryBoundPasses) {
    using Change = std::function<void(DecodeAnswer&, AnswerBounds&)>;
    const struct {
        const char* what;
        Change change;
        bool passes;
        bool decoded;
    } cases[] = {
        {"as the worker answers", [](DecodeAnswer&, AnswerBounds&) {}, true, true},
        {"the screen's whole size", [](DecodeAnswer& a, AnswerBounds&) { a.bitmapWidth = 1920; }, true, true},
        {"not decoded: the sizes do not matter",
         [](DecodeAnswer& a, AnswerBounds&) { a.decoded = 0, a.bitmapWidth = -5, a.naturalHeight = INT_MAX; }, true,
         false},
        {"a JPEG past the pixel limit, decoded scaled down",
         [](DecodeAnswer& a, AnswerBounds&) { a.naturalWidth = 60000, a.naturalHeight = 60000; }, true, true},
        {"another request's answer", [](DecodeAnswer& a, AnswerBounds&) { a.request = 6; }, false, false},
        {"a status of 2", [](DecodeAnswer& a, AnswerBounds&) { a.decoded = 2; }, false, false},
        {"a negative status", [](DecodeAnswer& a, AnswerBounds&) { a.decoded = -1; }, false, false},
        {"a time that is no number", [](DecodeAnswer& a, AnswerBounds&) { a.decodeMs = NAN; }, false, false},
        {"a negative time", [](DecodeAnswer& a, AnswerBounds&) { a.scaleMs = -1; }, false, false},
        {"an endless time", [](DecodeAnswer& a, AnswerBounds&) { a.scaleMs = INFINITY; }, false, false},
        {"an empty bitmap", [](DecodeAnswer& a, AnswerBounds&) { a.bitmapWidth = 0; }, false, false},
        {"a negative bitmap height", [](DecodeAnswer& a, AnswerBounds&) { a.bitmapHeight = -1080; }, false, false},
        {"wider than the screen", [](DecodeAnswer& a, AnswerBounds&) { a.bitmapWidth = 1921; }, false, false},
        {"taller than the screen", [](DecodeAnswer& a, AnswerBounds&) { a.bitmapHeight = INT_MAX; }, false, false},
        {"larger than the channel",
         [](DecodeAnswer&, AnswerBounds& b) { b.pixelBytes = std::size_t{1440} * 1080 * 4 - 1; }, false, false},
        {"no natural width", [](DecodeAnswer& a, AnswerBounds&) { a.naturalWidth = 0; }, false, false},
        {"a negative natural height", [](DecodeAnswer& a, AnswerBounds&) { a.naturalHeight = INT_MIN; }, false,
         false},
        {"a natural width that overflows in pixels",
         [](DecodeAnswer& a, AnswerBounds&) { a.naturalWidth = INT_MAX, a.naturalHeight = 1; }, false, false},
        {"more pixels than any picture decoded",
         [](DecodeAnswer& a, AnswerBounds&) { a.naturalWidth = 70000, a.naturalHeight = 70000; }, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        DecodeAnswer answer = goodAnswer();
        AnswerBounds bounds = kBounds;
        c.change(answer, bounds);
        std::string why;
        const auto checked = checkAnswer(answer, bounds, &why);
        ASSERT_EQ(checked.has_value(), c.passes) << why;
        if (!checked) {
            EXPECT_FALSE(why.empty());
            continue;
        }
        EXPECT_EQ(checked->decoded, c.decoded);
        if (!c.decoded) continue;
        EXPECT_EQ(checked->bitmapWidth, answer.bitmapWidth);
        EXPECT_EQ(checked->naturalHeight, answer.naturalHeight);
        EXPECT_EQ(checked->pixelBytes, std::size_t(answer.bitmapWidth) * std::size_t(answer.bitmapHeight) * 4);
        EXPECT_LE(checked->pixelBytes, bounds.pixelBytes);
    }
}

}  // namespace
}  // namespace pictavo::platform
