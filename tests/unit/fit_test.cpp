#include "platform/picture_fit.h"

#include <gtest/gtest.h>

namespace pictavo::platform {
namespace {

TEST(FitToScreen, LargestUndistortedSize) {
    struct Case { float pictureWidth, pictureHeight, width, height; };
    // A 1024 x 768 screen at 15 twips per pixel; pictures given in twips. The
    // show's scenarios fit pictures of ordinary shapes.
    const Case cases[] = {
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
