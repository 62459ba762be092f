#include "platform/pictures/picture_orientation.h"

#include <gtest/gtest.h>

#include <vector>

namespace pictavo::platform {
namespace {

// A picture stored as
//   1 2 3
//   4 5 6
// seen the way each orientation says.
TEST(TurnUpright, ShowsTheStoredPixelsAsEachOrientationSays) {
    const std::vector<std::uint32_t> stored = {1, 2, 3, 4, 5, 6};
    const struct {
        int orientation;
        int width;
        std::vector<std::uint32_t> seen;
    } cases[] = {
        {1, 3, {1, 2, 3, 4, 5, 6}},      {2, 3, {3, 2, 1, 6, 5, 4}},      {3, 3, {6, 5, 4, 3, 2, 1}},
        {4, 3, {4, 5, 6, 1, 2, 3}},      {5, 2, {1, 4, 2, 5, 3, 6}},      {6, 2, {4, 1, 5, 2, 6, 3}},
        {7, 2, {6, 3, 5, 2, 4, 1}},      {8, 2, {3, 6, 2, 5, 1, 4}},      {0, 3, {1, 2, 3, 4, 5, 6}},
        {9, 3, {1, 2, 3, 4, 5, 6}},      {65535, 3, {1, 2, 3, 4, 5, 6}}, {-6, 3, {1, 2, 3, 4, 5, 6}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.orientation);
        std::vector<std::uint32_t> seen(stored.size());
        turnUpright(stored.data(), 3, 2, c.orientation, seen.data());
        EXPECT_EQ(seen, c.seen);
        EXPECT_EQ(swapsAxes(c.orientation), c.width == 2);
        EXPECT_EQ(turnsPixels(c.orientation), c.seen != stored);
    }
}

}  // namespace
}  // namespace pictavo::platform
