// The parts of the picture pipeline that need no decoder: header sizes, the
// fitted size, the resampler and the worker that decodes ahead.

#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <future>
#include <new>
#include <optional>
#include <array>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "platform/win32/picture_header.h"
#include "platform/win32/picture_prefetcher.h"
#include "platform/win32/picture_scaler.h"
#include "platform/win32/wic_decode.h"

namespace pictavo::platform::win32 {
namespace {

// --- Header sizes

ReadAt readFrom(const std::string& bytes) {
    return [&bytes](std::uint64_t offset, void* buffer, std::size_t size) {
        if (offset + size > bytes.size()) return false;
        std::memcpy(buffer, bytes.data() + offset, size);
        return true;
    };
}

std::string be16(unsigned v) { return {static_cast<char>(v >> 8), static_cast<char>(v & 0xFF)}; }
std::string le16(unsigned v) { return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)}; }
std::string le32(std::uint32_t v) { return le16(v & 0xFFFF) + le16(v >> 16); }

std::string pngHeader(std::uint32_t w, std::uint32_t h) {
    return std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR", 16) + be16(w >> 16) + be16(w & 0xFFFF) + be16(h >> 16) +
           be16(h & 0xFFFF) + std::string("\x08\x06\0\0\0", 5) + std::string(8, '\0');
}

std::string bmpHeader(std::int32_t w, std::int32_t h) {
    return "BM" + std::string(12, '\0') + le32(40) + le32(static_cast<std::uint32_t>(w)) +
           le32(static_cast<std::uint32_t>(h)) + std::string(30, '\0');
}

std::string jpegHeader(unsigned w, unsigned h, unsigned char sof = 0xC0) {
    std::string app1 = std::string("\xFF\xE1", 2) + be16(2 + 300) + std::string(300, 'x');
    return std::string("\xFF\xD8", 2) + app1 + std::string("\xFF\xFF", 2) +  // a fill byte before the marker
           std::string("\xDB", 1) + be16(4) + "ab" + std::string("\xFF", 1) + static_cast<char>(sof) + be16(17) +
           "\x08" + be16(h) + be16(w) + std::string(12, '\0');
}

std::string gifHeader(unsigned screenW, unsigned screenH, unsigned frameW, unsigned frameH) {
    std::string gif = "GIF89a" + le16(screenW) + le16(screenH) + std::string("\x80\0\0", 3) + std::string(6, '\0');
    gif += std::string("\x21\xF9\x04\x01\0\0\0\0", 8);  // graphic control extension
    gif += std::string("\x2C", 1) + le16(0) + le16(0) + le16(frameW) + le16(frameH) + std::string(1, '\0');
    return gif + std::string(8, '\0');
}

TEST(PictureHeaderTest, ReadsTheSizeEachKindClaims) {
    const struct {
        const char* what;
        std::string bytes;
        PictureKind kind;
        std::uint32_t width, height;
    } cases[] = {
        {"png", pngHeader(30000, 20000), PictureKind::Png, 30000, 20000},
        {"bmp", bmpHeader(640, 480), PictureKind::Bmp, 640, 480},
        {"top-down bmp", bmpHeader(640, -480), PictureKind::Bmp, 640, 480},
        {"core bmp", "BM" + std::string(12, '\0') + le32(12) + le16(33) + le16(44) + std::string(10, '\0'),
         PictureKind::Bmp, 33, 44},
        {"jpeg after other segments", jpegHeader(6000, 4000), PictureKind::Jpeg, 6000, 4000},
        {"progressive jpeg", jpegHeader(65535, 65535, 0xC2), PictureKind::Jpeg, 65535, 65535},
        {"gif", gifHeader(100, 50, 10, 10), PictureKind::Gif, 100, 50},
        {"gif frame beyond its screen", gifHeader(1, 1, 60000, 50000), PictureKind::Gif, 60000, 50000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto size = readHeaderSize(readFrom(c.bytes));
        ASSERT_TRUE(size.has_value());
        EXPECT_EQ(size->kind, c.kind);
        EXPECT_EQ(size->width, c.width);
        EXPECT_EQ(size->height, c.height);
    }
}

TEST(PictureHeaderTest, OtherOrBrokenHeadersClaimNothing) {
    const std::string cases[] = {
        "",
        "this is no picture at all, just text",
        std::string("\xFF\xD8\xFF\xDA", 4) + std::string(40, '\0'),  // image data before any frame header
        jpegHeader(10, 10).substr(0, 40),                             // ends inside the segments
        std::string("II*\0", 4) + std::string(40, '\0'),              // TIFF
    };
    for (const auto& bytes : cases) EXPECT_FALSE(readHeaderSize(readFrom(bytes)).has_value()) << bytes.size();
}

// --- Fitted size

TEST(FittedSizeTest, IsTheProgramsFitInPixels) {
    const ScreenSize screen{1024, 768, 96};
    const struct {
        PixelSize natural, fitted;
    } cases[] = {
        {{800, 600}, {1024, 768}},  // fills the screen
        {{600, 800}, {576, 768}},   // full height
        {{100, 10}, {1024, 102}},   // 1536 twips high
        {{3, 7}, {329, 768}},       // 4937 twips wide
        {{6000, 4000}, {1024, 683}},
        {{1, 1}, {768, 768}},
        {{100000, 1}, {1024, 1}},  // never empty
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.natural.width << " x " << c.natural.height);
        EXPECT_EQ(fittedSize(c.natural, screen), c.fitted);
    }
    EXPECT_EQ(fittedSize({6000, 4000}, {1920, 1080, 96}), (PixelSize{1620, 1080}));
    EXPECT_EQ(fittedSize({6000, 4000}, {1920, 1080, 144}), (PixelSize{1620, 1080}));
}

// --- Source transform size

// Like the JPEG decoder: 1, 1/2, 1/4 or 1/8 of the size, rounded up, the one
// nearest to the request.
PixelSize jpegClosest(PixelSize natural, PixelSize request) {
    PixelSize best = natural;
    for (UINT shift = 1; shift <= 3; ++shift) {
        const PixelSize s{(natural.width + (1u << shift) - 1) >> shift, (natural.height + (1u << shift) - 1) >> shift};
        if (std::abs(static_cast<int>(s.width) - static_cast<int>(request.width)) <
            std::abs(static_cast<int>(best.width) - static_cast<int>(request.width)))
            best = s;
    }
    return best;
}

TEST(TransformSizeTest, TakesTheSmallestOfferThatCoversTheTarget) {
    const struct {
        PixelSize natural, target, expected;
    } cases[] = {
        {{6000, 4000}, {1620, 1080}, {3000, 2000}},  // the nearest offer, 1/4, is too small
        {{6000, 4000}, {750, 500}, {750, 500}},      // 1/8 exactly
        {{6000, 4000}, {1400, 933}, {1500, 1000}},   // 1/4 covers it
        {{30000, 30000}, {1080, 1080}, {3750, 3750}},
        {{1000, 800}, {999, 799}, {1000, 800}},  // only the full size covers it
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.target.width << " x " << c.target.height);
        EXPECT_EQ(transformSize(c.natural, c.target, [&](PixelSize r) { return jpegClosest(c.natural, r); }),
                  c.expected);
    }
    EXPECT_EQ(transformSize({6000, 4000}, {1620, 1080}, [](PixelSize) { return PixelSize{}; }),
              (PixelSize{6000, 4000}))
        << "a failing GetClosestSize means the full size";
    EXPECT_EQ(transformSize({6000, 4000}, {1620, 1080}, [](PixelSize) { return PixelSize{9000, 6000}; }),
              (PixelSize{6000, 4000}))
        << "an offer beyond the natural size is not taken";
}

// --- Resampler

struct Image {
    int width = 0, height = 0;
    SourceLayout layout = SourceLayout::Bgr24;
    std::vector<std::uint8_t> bytes;  // rows packed, no padding
    std::size_t stride() const { return static_cast<std::size_t>(width) * bytesPerPixel(layout); }
    std::uint8_t* at(int x, int y) { return &bytes[y * stride() + static_cast<std::size_t>(x) * bytesPerPixel(layout)]; }
};

Image filled(int w, int h, SourceLayout layout, const std::function<std::array<int, 4>(int, int)>& bgra) {
    Image image{w, h, layout, {}};
    image.bytes.resize(image.stride() * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const auto c = bgra(x, y);
            for (int k = 0; k < bytesPerPixel(layout); ++k) image.at(x, y)[k] = static_cast<std::uint8_t>(c[k]);
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
    ResampleJob job{source.width, source.height, source.layout, width, height, out.bgrx.data(),
                    static_cast<std::size_t>(width) * 4};
    const bool ok = resample(
        job,
        [&](int first, int count, std::uint8_t* buffer, std::size_t stride) {
            if (reads) reads->push_back({first, count});
            for (int r = 0; r < count; ++r)
                std::memcpy(buffer + r * stride, &source.bytes[(first + r) * source.stride()], source.stride());
            return true;
        },
        cancel);
    if (!ok) return std::nullopt;
    return out;
}

TEST(ResamplerTest, AUniformPictureStaysExactlyItsColourAtAnySize) {
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
                for (int x = 0; x < s.toW; ++x) {
                    ASSERT_EQ(out->channel(x, y, 0), 17);
                    ASSERT_EQ(out->channel(x, y, 1), 130);
                    ASSERT_EQ(out->channel(x, y, 2), 251);
                    ASSERT_EQ(out->channel(x, y, 3), 255);
                }
        }
    }
}

TEST(ResamplerTest, ReducingAveragesInsteadOfPickingPixels) {
    // A one-pixel checkerboard is the worst case for aliasing: picked pixels
    // give black and white patterns, averaging gives even grey.
    const Image board = filled(300, 200, SourceLayout::Bgr24, [](int x, int y) {
        const int v = (x + y) % 2 ? 255 : 0;
        return std::array{v, v, v, 255};
    });
    for (const auto& [w, h] : {std::pair{150, 100}, std::pair{81, 54}, std::pair{7, 5}}) {
        SCOPED_TRACE(w);
        const auto out = scaled(board, w, h);
        ASSERT_TRUE(out.has_value());
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) ASSERT_NEAR(out->channel(x, y, 1), 128, 12) << x << "," << y;
    }
}

TEST(ResamplerTest, EnlargingBlendsNeighboursAndKeepsTheCorners) {
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

TEST(ResamplerTest, AGradientStaysInOrder) {
    const Image ramp = filled(256, 3, SourceLayout::Bgr24, [](int x, int) { return std::array{x, x, x, 255}; });
    for (int width : {37, 100, 256, 700}) {
        const auto out = scaled(ramp, width, 2);
        ASSERT_TRUE(out.has_value());
        for (int x = 1; x < width; ++x) ASSERT_GE(out->channel(x, 1, 2), out->channel(x - 1, 1, 2)) << width;
        EXPECT_LT(out->channel(0, 0, 2), 8);
        EXPECT_GT(out->channel(width - 1, 0, 2), 247);
    }
}

TEST(ResamplerTest, StraightAlphaIsCompositedOverBlack) {
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

TEST(ResamplerTest, ReadsEachSourceRowOnceFromTopToBottomInBands) {
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

TEST(ResamplerTest, StopsOnAFailedReadOrWhenCancelled) {
    const Image source = filled(100, 100, SourceLayout::Bgr24, [](int, int) { return std::array{1, 2, 3, 255}; });
    std::atomic<bool> cancel{true};
    EXPECT_FALSE(scaled(source, 10, 10, nullptr, &cancel).has_value());
    std::vector<std::uint8_t> out(400);
    ResampleJob job{100, 100, SourceLayout::Bgr24, 10, 10, out.data(), 40};
    EXPECT_FALSE(resample(job, [](int, int, std::uint8_t*, std::size_t) { return false; }));
    EXPECT_FALSE(resample(job, [](int, int, std::uint8_t*, std::size_t) -> bool { throw std::bad_alloc(); }));
    job.targetWidth = 0;
    EXPECT_FALSE(resample(job, [](int, int, std::uint8_t*, std::size_t) { return true; }));
}

// --- Decoding ahead

class FakePicture final : public Picture {
public:
    explicit FakePicture(std::string path) : path(std::move(path)) {}
    int widthPx() const override { return 1; }
    int heightPx() const override { return 1; }
    std::string path;
};

// Decodes on the worker thread; each decode waits until the test lets it go
// or the job is cancelled.
struct Script {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::string> started;
    std::set<std::string> released;
    std::set<std::string> stubborn;  // these do not look at the cancel flag
    std::vector<std::string> sawCancel;
    std::thread::id madeOn, destroyedOn;

    void release(const std::string& path) {
        std::lock_guard lock(mutex);
        released.insert(path);
        changed.notify_all();
    }
    void waitStarted(std::size_t count) {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return started.size() >= count; });
    }
};

class ScriptedDecoder final : public PicturePrefetcher::Decoder {
public:
    explicit ScriptedDecoder(Script& script) : script_(script) {
        std::lock_guard lock(script_.mutex);
        script_.madeOn = std::this_thread::get_id();
    }
    ~ScriptedDecoder() override {
        std::lock_guard lock(script_.mutex);
        script_.destroyedOn = std::this_thread::get_id();
    }
    std::shared_ptr<const Picture> decode(const std::string& path, const std::atomic<bool>& cancel) override {
        std::unique_lock lock(script_.mutex);
        script_.started.push_back(path);
        script_.changed.notify_all();
        const bool stubborn = script_.stubborn.count(path) > 0;
        while (!script_.released.count(path) && (stubborn || !cancel))
            script_.changed.wait_for(lock, std::chrono::milliseconds(1));
        if (cancel) {
            script_.sawCancel.push_back(path);
            return nullptr;
        }
        return std::make_shared<FakePicture>(path);
    }

private:
    Script& script_;
};

PicturePrefetcher::MakeDecoder scripted(Script& script) {
    return [&script] { return std::make_unique<ScriptedDecoder>(script); };
}

TEST(PrefetcherTest, TakeWaitsForTheJobUnderWayAndHandsOverItsPicture) {
    Script script;
    PicturePrefetcher prefetcher(scripted(script));
    ASSERT_TRUE(prefetcher.request("a.jpg"));
    script.waitStarted(1);
    auto taking = std::async(std::launch::async, [&] { return prefetcher.take("a.jpg"); });
    script.release("a.jpg");
    const auto taken = taking.get();
    ASSERT_TRUE(taken.has_value());
    ASSERT_NE(*taken, nullptr);
    EXPECT_EQ(static_cast<const FakePicture&>(**taken).path, "a.jpg");
    EXPECT_FALSE(prefetcher.take("a.jpg").has_value()) << "handed over once, not kept";
    EXPECT_EQ(script.started, std::vector<std::string>{"a.jpg"});
}

TEST(PrefetcherTest, ANewerRequestCancelsTheRunningJobAndReplacesTheQueuedOne) {
    Script script;
    PicturePrefetcher prefetcher(scripted(script));
    prefetcher.request("a.jpg");
    script.waitStarted(1);
    prefetcher.request("b.jpg");  // a is cancelled, b waits
    prefetcher.request("c.jpg");  // b never starts
    script.release("c.jpg");
    script.waitStarted(2);
    const auto c = prefetcher.take("c.jpg");
    ASSERT_TRUE(c.has_value());
    EXPECT_EQ(static_cast<const FakePicture&>(**c).path, "c.jpg");
    EXPECT_EQ(script.started, (std::vector<std::string>{"a.jpg", "c.jpg"}));
    EXPECT_EQ(script.sawCancel, std::vector<std::string>{"a.jpg"});
    EXPECT_FALSE(prefetcher.take("a.jpg").has_value());
    EXPECT_FALSE(prefetcher.take("b.jpg").has_value());
    EXPECT_EQ(prefetcher.counts().discarded, 2);
}

TEST(PrefetcherTest, AFinishedPictureForAnotherPathIsDropped) {
    Script script;
    PicturePrefetcher prefetcher(scripted(script));
    script.release("a.jpg");
    prefetcher.request("a.jpg");
    while (prefetcher.counts().finished < 1) std::this_thread::yield();
    prefetcher.request("b.jpg");
    EXPECT_FALSE(prefetcher.take("a.jpg").has_value());
    script.release("b.jpg");
    script.waitStarted(2);
    EXPECT_TRUE(prefetcher.take("b.jpg").has_value());
    EXPECT_EQ(prefetcher.counts().discarded, 1);
}

TEST(PrefetcherTest, AQueuedJobIsLeftToTheCallerAndAnUnknownPathGivesNothing) {
    Script script;
    script.stubborn.insert("a.jpg");
    {
        PicturePrefetcher prefetcher(scripted(script));
        prefetcher.request("a.jpg");
        script.waitStarted(1);
        prefetcher.request("b.jpg");
        EXPECT_FALSE(prefetcher.take("b.jpg").has_value()) << "not started: the caller decodes it at once";
        EXPECT_FALSE(prefetcher.take("x.jpg").has_value());
        script.release("a.jpg");
    }
    EXPECT_EQ(script.started, std::vector<std::string>{"a.jpg"});
}

TEST(PrefetcherTest, EndsWhileDecodingAndRunsItsDecoderOnTheWorker) {
    Script script;
    {
        PicturePrefetcher prefetcher(scripted(script));
        prefetcher.request("slow.jpg");
        script.waitStarted(1);
    }
    EXPECT_EQ(script.sawCancel, std::vector<std::string>{"slow.jpg"});
    EXPECT_NE(script.madeOn, std::this_thread::get_id());
    EXPECT_EQ(script.madeOn, script.destroyedOn);
}

}  // namespace
}  // namespace pictavo::platform::win32
