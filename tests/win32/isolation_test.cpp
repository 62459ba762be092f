// Decoding in a worker process: a worker that crashes, hangs, eats memory or
// is cancelled costs one picture, and the next picture decodes. This test
// program is its own worker (main below); pictures named for a misbehaviour
// make it misbehave.

#include <gtest/gtest.h>
#include <objbase.h>
#include <windows.h>

#include <climits>
#include <cstring>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32/decode_channel.h"
#include "platform/win32/decode_worker.h"
#include "platform/win32/isolated_decoder.h"
#include "platform/win32/win32_files.h"
#include "test_support.h"

namespace pictavo::platform::win32 {
namespace {

bool endsWith(const std::string& text, const char* end) {
    const std::size_t n = std::strlen(end);
    return text.size() >= n && text.compare(text.size() - n, n, end) == 0;
}

// A worker taken over by its picture: it answers sizes out of every bound, or
// for another request, or keeps changing its answer while the viewer reads it.
bool lie(const std::string& path, const Canvas& canvas) {
    auto* pixels = static_cast<std::uint8_t*>(canvas(2, 2, 2, 2));
    if (!pixels) return false;
    auto* answer = &std::launder(reinterpret_cast<DecodeChannel*>(pixels - kChannelPixelsOffset))->answer;
    if (endsWith(path, "liar-bitmap.bmp")) answer->bitmapWidth = answer->bitmapHeight = 100000;
    if (endsWith(path, "liar-natural.bmp")) answer->naturalWidth = INT_MAX;
    if (endsWith(path, "liar-request.bmp")) answer->request += 1;
    if (endsWith(path, "liar-changing.bmp")) {
        std::thread([answer] {
            for (std::int32_t i = 0;; ++i) {
                static_cast<volatile std::int32_t&>(answer->bitmapWidth) = i % 2 ? 2 : 40000;
                static_cast<volatile std::int32_t&>(answer->bitmapHeight) = i % 2 ? 2 : 40000;
            }
        }).detach();
    }
    return true;
}

bool misbehavingDecode(IWICImagingFactory* factory, const std::string& path, const DecodeOptions& options,
                       const Canvas& canvas, const std::atomic<bool>* cancel, DecodeTimes* times) {
    if (endsWith(path, "crash.bmp")) *static_cast<volatile int*>(nullptr) = 1;
    if (endsWith(path, "hang.bmp")) Sleep(INFINITE);
    if (endsWith(path, "hog.bmp")) {
        for (;;) {
            auto* block = new char[16 << 20];  // never freed: the worker is ended
            std::memset(block, 1, 16 << 20);
            Sleep(10);
        }
    }
    if (endsWith(path, "slow.bmp")) {
        while (!cancel->load()) Sleep(5);
        return false;
    }
    if (path.find("liar") != std::string::npos) return lie(path, canvas);
    if (endsWith(path, "large-slow.png")) {
        Sleep(1500);
        return canvas(2, 2, 2, 2) != nullptr;
    }
    if (endsWith(path, "large-stuck.png")) Sleep(INFINITE);
    if (endsWith(path, "dies-later.bmp")) {
        std::thread([] {
            Sleep(100);
            ExitProcess(9);
        }).detach();
    }
    return decodeFileInto(factory, path, options, canvas, cancel, times);
}

// The header of a PNG of this size, and nothing after it.
std::string pngHeader(std::uint32_t width, std::uint32_t height) {
    std::string png = "\x89PNG\r\n\x1a\n" + std::string("\0\0\0\x0dIHDR", 8);
    for (std::uint32_t value : {width, height})
        for (int shift = 24; shift >= 0; shift -= 8) png += static_cast<char>((value >> shift) & 0xFF);
    return png + std::string("\x08\x06\0\0\0", 5) + std::string(4, '\0');
}

// A 2 x 2 BMP of one colour.
std::string smallBmp() {
    std::string bmp = "BM" + std::string(52, '\0') + std::string(16, '\x40');
    const unsigned char header[] = {70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 1, 0, 32};
    std::memcpy(&bmp[2], header, sizeof header);
    return bmp;
}

class IsolationTest : public ::testing::Test {
protected:
    void SetUp() override {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        for (const char* name : {"large-slow.png", "large-stuck.png"})
            ASSERT_TRUE(files.writeFile(dir.file(name), pngHeader(10000, 10000)));
        for (const char* name : {"good.bmp", "dies-later.bmp", "liar-bitmap.bmp", "liar-natural.bmp",
                                 "liar-request.bmp", "liar-changing.bmp"})
            ASSERT_TRUE(files.writeFile(dir.file(name), smallBmp()));
    }
    void TearDown() override { CoUninitialize(); }

    std::unique_ptr<IsolatedDecoder> decoder(IsolatedDecoder::Limits limits) {
        return std::make_unique<IsolatedDecoder>(
            [] { return DecodeOptions{{40, 30, 96}, Resampler::Own, 1e6}; }, limits);
    }

    testing::TempDir dir;
    Win32Files files;
};

TEST_F(IsolationTest, AWorkerThatFailsCostsOnePictureAndAFreshOneDecodesTheNext) {
    IsolatedDecoder::Limits limits;
    limits.timeMs = 2000;
    limits.memoryBytes = 256u << 20;
    const struct {
        const char* name;
        int IsolatedDecoder::Stats::*counter;
    } cases[] = {{"crash.bmp", &IsolatedDecoder::Stats::crashed},
                 {"hang.bmp", &IsolatedDecoder::Stats::timedOut},
                 {"hog.bmp", &IsolatedDecoder::Stats::overMemory}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto isolated = decoder(limits);
        ASSERT_NE(isolated->decode(dir.file("good.bmp"), nullptr), nullptr);
        EXPECT_EQ(isolated->decode(dir.file(c.name), nullptr), nullptr);
        const auto next = isolated->decode(dir.file("good.bmp"), nullptr);
        ASSERT_NE(next, nullptr);
        EXPECT_EQ(next->widthPx(), 2);
        const IsolatedDecoder::Stats stats = isolated->stats();
        EXPECT_EQ(stats.*c.counter, 1);
        EXPECT_EQ(stats.crashed + stats.timedOut + stats.overMemory, 1);
        EXPECT_EQ(stats.started, 2);
        EXPECT_LT(stats.peakMemoryMb, 256 + 128) << "ended near its limit";
    }
}

TEST_F(IsolationTest, ACancelReachesTheWorkerWhichThenDecodesTheNextPicture) {
    IsolatedDecoder::Limits limits;
    limits.timeMs = limits.cancelGraceMs = 60000;  // a cancel that never arrived would end the worker
    const auto isolated = decoder(limits);
    const std::atomic<bool> cancel{true};
    EXPECT_EQ(isolated->decode(dir.file("slow.bmp"), &cancel), nullptr);
    EXPECT_NE(isolated->decode(dir.file("good.bmp"), nullptr), nullptr);
    EXPECT_EQ(isolated->stats().timedOut, 0);
    EXPECT_EQ(isolated->stats().started, 1);
}

TEST_F(IsolationTest, AWorkerThatLiesIsNeverBelievedBeyondItsBoundsAndIsEnded) {
    const struct {
        const char* name;
        bool refused;  // else the changing answer may be read at a moment it is right
    } cases[] = {{"liar-bitmap.bmp", true},
                 {"liar-natural.bmp", true},
                 {"liar-request.bmp", true},
                 {"liar-changing.bmp", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto isolated = decoder({});
        const int rounds = c.refused ? 3 : 20;
        for (int round = 0; round < rounds; ++round) {
            const auto lied = isolated->decode(dir.file(c.name), nullptr);
            if (lied) {
                EXPECT_FALSE(c.refused);
                EXPECT_EQ(lied->widthPx(), 2);
                EXPECT_EQ(lied->bitmapWidth(), 2);
            }
        }
        if (c.refused) {
            EXPECT_EQ(isolated->stats().crashed, rounds);
        }
        // A liar that was believed once still runs, and lies about the next
        // picture too; then it is ended, and the one after decodes.
        auto next = isolated->decode(dir.file("good.bmp"), nullptr);
        if (!next && !c.refused) next = isolated->decode(dir.file("good.bmp"), nullptr);
        ASSERT_NE(next, nullptr);
        EXPECT_EQ(next->widthPx(), 2);
    }
}

TEST_F(IsolationTest, AWorkerThatEndsWhileIdleIsReplacedWithoutBlamingTheNextPicture) {
    const auto isolated = decoder({});
    ASSERT_NE(isolated->decode(dir.file("dies-later.bmp"), nullptr), nullptr);
    Sleep(500);
    EXPECT_NE(isolated->decode(dir.file("good.bmp"), nullptr), nullptr);
    EXPECT_EQ(isolated->stats().crashed, 0);
    EXPECT_EQ(isolated->stats().started, 2);
}

TEST_F(IsolationTest, TheTimeLimitGrowsWithThePixelsTheHeaderClaimsAndStillEndsAStalledDecode) {
    IsolatedDecoder::Limits limits;
    limits.timeMs = 1000;
    limits.msPerMegapixel = 10;  // a header of 100 million pixels gives one more second
    IsolatedDecoder isolated([] { return DecodeOptions{{40, 30, 96}, Resampler::Own, 400e6}; }, limits);
    EXPECT_NE(isolated.decode(dir.file("large-slow.png"), nullptr), nullptr) << "1.5 s for a large picture";
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(isolated.decode(dir.file("large-stuck.png"), nullptr), nullptr);
    EXPECT_GE(GetTickCount64() - start, 2000u);
    EXPECT_EQ(isolated.stats().timedOut, 1);
}

TEST_F(IsolationTest, NoWorkerNoPictureNeverADecodeInTheViewer) {
    IsolatedDecoder isolated([] { return DecodeOptions{{40, 30, 96}, Resampler::Own, 1e6}; }, {},
                             L"C:\\no such directory\\no-worker.exe");
    for (int round = 0; round < 2; ++round) EXPECT_EQ(isolated.decode(dir.file("good.bmp"), nullptr), nullptr);
    EXPECT_EQ(isolated.stats().started, 0);
}

}  // namespace
}  // namespace pictavo::platform::win32

int main(int argc, char** argv) {
    if (const auto served = pictavo::platform::win32::serveDecodeWorkerIfAsked(
            pictavo::platform::win32::misbehavingDecode))
        return *served;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
