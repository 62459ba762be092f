#include "platform/picture_fit.h"

#include <gtest/gtest.h>

namespace pictavo::platform {
namespace {

TEST(FitToScreen, LargestUndistortedSize) {
    struct Case { float pictureWidth, pictureHeight, width, height; };
    // A 1024 x 768 screen at 15 twips per pixel; pictures given in twips.
    const Case cases[] = {
        {800 * 15, 600 * 15, 15360, 11520},   // same shape: fills the screen
        {600 * 15, 800 * 15, 8640, 11520},    // portrait
        {100 * 15, 10 * 15, 15360, 1536},     // very wide
        {3 * 15, 7 * 15, 4937, 11520},        // tiny, enlarged
        {15, 15, 11520, 11520},               // 1 x 1
        {15, 10000 * 15, 1, 11520},           // 1 x 10000
        {10000 * 15, 15, 15360, 1},           // 10000 x 1
        {30000 * 15, 30000 * 15, 11520, 11520},
        {0, 0, 15360, 11520},                 // empty: the whole screen, no division by zero
    };
    for (const Case& c : cases) {
        const FittedSize fitted = fitToScreen(c.pictureWidth, c.pictureHeight, 15360, 11520);
        EXPECT_EQ(fitted.width, c.width) << c.pictureWidth << " x " << c.pictureHeight;
        EXPECT_EQ(fitted.height, c.height) << c.pictureWidth << " x " << c.pictureHeight;
    }
}

}  // namespace
}  // namespace pictavo::platform
