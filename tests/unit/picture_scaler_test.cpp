#include "platform/pictures/picture_scaler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>
#include <optional>
#include <set>
#include <vector>

// Counts the bytes allocated while counting is on, so that a test can see
// what a job takes.
namespace {
std::atomic<bool> counting{false};
std::atomic<std::size_t> allocated{0};
}  // namespace

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"  // both sides are ours: malloc and free
void* operator new(std::size_t size) {
    if (counting) allocated += size;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }
#pragma GCC diagnostic pop

namespace pictavo::platform {
namespace {

struct Image {
    int width = 0, height = 0;
    SourceLayout layout = SourceLayout::Bgr24;
    std::vector<std::uint8_t> bytes;  // rows packed, no padding
    std::size_t stride() const { return static_cast<std::size_t>(width) * bytesPerPixel(layout); }
};

Image filled(int w, int h, SourceLayout layout, const std::function<std::array<int, 4>(int, int)>& bgra) {
    Image image{w, h, layout, {}};
    image.bytes.resize(image.stride() * static_cast<std::size_t>(h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const auto c = bgra(x, y);
            for (int k = 0; k < bytesPerPixel(layout); ++k)
                image.bytes[y * image.stride() + static_cast<std::size_t>(x * bytesPerPixel(layout) + k)] =
                    static_cast<std::uint8_t>(c[static_cast<std::size_t>(k)]);
        }
    return image;
}

struct Output {
    int width = 0, height = 0;
    std::vector<std::uint8_t> bgrx;
    int channel(int x, int y, int c) const { return bgrx[(static_cast<std::size_t>(y) * width + x) * 4 + c]; }
};

std::optional<Output> scaled(const Image& source, int width, int height, std::vector<std::pair<int, int>>* reads = nullptr,
                             const std::atomic<bool>* cancel = nullptr) {
    Output out{width, height, std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height * 4)};
    const ResampleJob job{source.width, source.height, source.layout, width, height, out.bgrx.data(),
                          static_cast<std::size_t>(width) * 4};
    const auto copyRows = [&](int first, int count, int column, int width, std::uint8_t* buffer, std::size_t stride) {
        if (reads) reads->push_back({first, count});
        const std::size_t bytes = static_cast<std::size_t>(width) * bytesPerPixel(source.layout);
        const std::size_t offset = static_cast<std::size_t>(column) * bytesPerPixel(source.layout);
        for (int r = 0; r < count; ++r)
            std::memcpy(buffer + r * stride, &source.bytes[(first + r) * source.stride() + offset], bytes);
        return true;
    };
    if (!resample(job, copyRows, cancel)) return std::nullopt;
    return out;
}

TEST(Resampler, AUniformPictureStaysExactlyItsColourAtAnySize) {
    const struct {
        int fromW, fromH, toW, toH;
    } sizes[] = {{6, 4, 6, 4}, {60, 40, 7, 5}, {7, 5, 61, 43}, {1, 1, 9, 9}, {100, 3, 10, 30}, {13, 17, 1, 1}};
    for (SourceLayout layout : {SourceLayout::Bgr24, SourceLayout::Bgrx32, SourceLayout::Pbgra32}) {
        for (const auto& s : sizes) {
            SCOPED_TRACE(::testing::Message() << static_cast<int>(layout) << ": " << s.fromW << "x" << s.fromH
                                              << " -> " << s.toW << "x" << s.toH);
            const Image source = filled(s.fromW, s.fromH, layout, [](int, int) { return std::array{17, 130, 251, 255}; });
            const auto out = scaled(source, s.toW, s.toH);
            ASSERT_TRUE(out.has_value());
            for (int y = 0; y < s.toH; ++y)
                for (int x = 0; x < s.toW; ++x)
                    for (const auto& [c, value] : {std::pair{0, 17}, {1, 130}, {2, 251}, {3, 255}})
                        ASSERT_EQ(out->channel(x, y, c), value) << x << "," << y;
        }
    }
}

TEST(Resampler, ReducingAveragesInsteadOfPickingPixels) {
    // A one-pixel checkerboard is the worst case for aliasing: picked pixels
    // give black and white patterns, averaging gives even grey.
    const Image board = filled(300, 200, SourceLayout::Bgr24, [](int x, int y) {
        const int v = (x + y) % 2 ? 255 : 0;
        return std::array{v, v, v, 255};
    });
    for (const auto& [w, h] : {std::pair{150, 100}, std::pair{81, 54}, std::pair{7, 5}}) {
        const auto out = scaled(board, w, h);
        ASSERT_TRUE(out.has_value());
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) ASSERT_NEAR(out->channel(x, y, 1), 128, 12) << w << ": " << x << "," << y;
    }
}

TEST(Resampler, EnlargingBlendsNeighboursAndKeepsTheCorners) {
    const Image board = filled(2, 2, SourceLayout::Bgrx32, [](int x, int y) {
        const int v = (x + y) % 2 ? 255 : 0;
        return std::array{v, v, v, 0};
    });
    const auto out = scaled(board, 8, 8);
    ASSERT_TRUE(out.has_value());
    std::set<int> values;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) values.insert(out->channel(x, y, 0));
    EXPECT_GT(values.size(), 3u) << "more than the two colours";
    EXPECT_EQ(out->channel(0, 0, 0), 0);
    EXPECT_EQ(out->channel(7, 0, 0), 255);
    EXPECT_EQ(out->channel(7, 7, 0), 0);
}

TEST(Resampler, AGradientStaysInOrder) {
    const Image ramp = filled(256, 3, SourceLayout::Bgr24, [](int x, int) { return std::array{x, x, x, 255}; });
    for (int width : {37, 100, 256, 700}) {
        const auto out = scaled(ramp, width, 2);
        ASSERT_TRUE(out.has_value());
        for (int x = 1; x < width; ++x) ASSERT_GE(out->channel(x, 1, 2), out->channel(x - 1, 1, 2)) << width;
        EXPECT_LT(out->channel(0, 0, 2), 8);
        EXPECT_GT(out->channel(width - 1, 0, 2), 247);
    }
}

TEST(Resampler, StraightAlphaIsCompositedOverBlack) {
    const Image red = filled(4, 4, SourceLayout::Bgra32, [](int x, int) {
        return x < 2 ? std::array{0, 0, 255, 128} : std::array{255, 255, 255, 0};
    });
    const auto same = scaled(red, 4, 4);
    ASSERT_TRUE(same.has_value());
    EXPECT_NEAR(same->channel(0, 0, 2), 128, 1) << "half-transparent red is half red";
    EXPECT_EQ(same->channel(0, 0, 1), 0);
    EXPECT_EQ(same->channel(3, 0, 0), 0) << "transparent white is black";
    const auto half = scaled(red, 2, 2);
    ASSERT_TRUE(half.has_value());
    EXPECT_EQ(half->channel(1, 0, 2), 0) << "a transparent pixel's colour must not bleed";
}

TEST(Resampler, ReadsEachSourceRowOnceFromTopToBottomInBands) {
    const Image big = filled(4000, 700, SourceLayout::Bgr24, [](int, int) { return std::array{1, 2, 3, 255}; });
    std::vector<std::pair<int, int>> reads;
    ASSERT_TRUE(scaled(big, 100, 17, &reads).has_value());
    ASSERT_GT(reads.size(), 1u) << "the source is not read as a whole";
    int next = 0;
    for (const auto& [first, count] : reads) {
        EXPECT_EQ(first, next);
        EXPECT_LE(static_cast<std::size_t>(count) * big.stride(), std::size_t{1} << 20);
        next = first + count;
    }
    EXPECT_EQ(next, 700);
}

// 4,000,000 pixels in a row or in a column cost no more than in a square:
// bands of at most 1 MB and what the target needs, never a whole row or
// column of weights.
TEST(Resampler, MemoryDependsOnTheTargetNotOnTheSourcesLongerSide) {
    const struct {
        int fromW, fromH, toW, toH;
    } sizes[] = {{2000, 2000, 1000, 1000}, {4000000, 1, 1000, 1}, {1, 4000000, 1, 1000}};
    std::size_t square = 0;
    for (const auto& s : sizes) {
        SCOPED_TRACE(::testing::Message() << s.fromW << " x " << s.fromH);
        std::vector<std::uint8_t> out(static_cast<std::size_t>(s.toW) * s.toH * 4);
        const ResampleJob job{s.fromW, s.fromH, SourceLayout::Bgrx32, s.toW, s.toH, out.data(),
                              static_cast<std::size_t>(s.toW) * 4};
        std::size_t largestRead = 0;
        const auto grey = [&](int, int count, int, int width, std::uint8_t* buffer, std::size_t stride) {
            largestRead = std::max(largestRead, stride * static_cast<std::size_t>(count));
            for (int r = 0; r < count; ++r) std::memset(buffer + r * stride, 90, static_cast<std::size_t>(width) * 4);
            return true;
        };
        allocated = 0;
        counting = true;
        const bool done = resample(job, grey);
        counting = false;
        ASSERT_TRUE(done);
        EXPECT_EQ(out[0], 90);
        EXPECT_EQ(out[out.size() - 2], 90);
        EXPECT_LE(largestRead, std::size_t{1} << 20);
        if (square == 0) square = allocated;
        EXPECT_LE(allocated.load(), square);
    }
}

TEST(Resampler, StopsOnAFailedReadOrWhenCancelled) {
    const Image source = filled(100, 100, SourceLayout::Bgr24, [](int, int) { return std::array{1, 2, 3, 255}; });
    std::atomic<bool> cancel{true};
    EXPECT_FALSE(scaled(source, 10, 10, nullptr, &cancel).has_value());
    std::vector<std::uint8_t> out(400);
    ResampleJob job{100, 100, SourceLayout::Bgr24, 10, 10, out.data(), 40};
    EXPECT_FALSE(resample(job, [](int, int, int, int, std::uint8_t*, std::size_t) { return false; }));
    EXPECT_FALSE(resample(job, [](int, int, int, int, std::uint8_t*, std::size_t) -> bool { throw std::bad_alloc(); }));
    job.targetStride = 39;
    EXPECT_FALSE(resample(job, [](int, int, int, int, std::uint8_t*, std::size_t) { return true; }));
    job.targetStride = 40;
    job.targetWidth = 0;
    EXPECT_FALSE(resample(job, [](int, int, int, int, std::uint8_t*, std::size_t) { return true; }));
}

}  // namespace
}  // namespace pictavo::platform
