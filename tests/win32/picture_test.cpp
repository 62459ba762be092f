// Picture files decoded through WIC to the size they take on the screen,
// decoded ahead, and drawn.

#include <gtest/gtest.h>
#include <objbase.h>
#include <windows.h>

#include <psapi.h>
#include <wincodec.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <set>
#include <thread>
#include <vector>

#include "platform/form.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wic_decode.h"
#include "platform/win32/wic_source_transform.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_form.h"
#include "platform/win32/win32_picture.h"
#include "platform/win32/win32_picture_loader.h"
#include "platform/win32/win32_window_system.h"
#include "program/disp_pic.h"
#include "test_support.h"

namespace pictavo::platform::win32 {
namespace {

using testing::TempDir;

// A picture file made by WIC's own encoder from straight-alpha BGRA pixels.
std::string encoded(const GUID& container, UINT width, UINT height, const std::vector<std::uint32_t>& bgra) {
    com_ptr<IWICImagingFactory> factory;
    com_ptr<IStream> stream;
    com_ptr<IWICBitmapEncoder> encoder;
    com_ptr<IWICBitmapFrameEncode> frame;
    com_ptr<IPropertyBag2> properties;
    com_ptr<IWICBitmap> pixels;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory))) ||
        FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &stream)) ||
        FAILED(factory->CreateEncoder(container, nullptr, &encoder)) ||
        FAILED(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache)) ||
        FAILED(encoder->CreateNewFrame(&frame, &properties)) || FAILED(frame->Initialize(properties.Get())) ||
        FAILED(frame->SetSize(width, height)) ||
        FAILED(factory->CreateBitmapFromMemory(width, height, GUID_WICPixelFormat32bppBGRA, width * 4,
                                               static_cast<UINT>(bgra.size() * 4),
                                               reinterpret_cast<BYTE*>(const_cast<std::uint32_t*>(bgra.data())),
                                               &pixels)))
        return {};
    WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGRA;
    if (FAILED(frame->SetPixelFormat(&format)) || FAILED(frame->WriteSource(pixels.Get(), nullptr)) ||
        FAILED(frame->Commit()) || FAILED(encoder->Commit()))
        return {};
    STATSTG stat{};
    if (FAILED(stream->Stat(&stat, STATFLAG_NONAME))) return {};
    std::string bytes(static_cast<std::size_t>(stat.cbSize.QuadPart), '\0');
    const LARGE_INTEGER origin{};
    ULONG read = 0;
    if (FAILED(stream->Seek(origin, STREAM_SEEK_SET, nullptr)) ||
        FAILED(stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read)) || read != bytes.size())
        return {};
    return bytes;
}

std::vector<std::uint32_t> solid(UINT width, UINT height, std::uint32_t bgra) {
    return std::vector<std::uint32_t>(static_cast<std::size_t>(width) * height, bgra);
}

// One pixel of the decoded bitmap as 0xAARRGGBB.
std::uint32_t pixelOf(const Picture& picture, int x, int y) {
    const auto& p = dynamic_cast<const Win32Picture&>(picture);
    DIBSECTION section{};
    if (GetObjectW(p.bitmap(), sizeof section, &section) != sizeof section || !section.dsBm.bmBits) return 0xDEADBEEF;
    return static_cast<const std::uint32_t*>(section.dsBm.bmBits)[static_cast<std::size_t>(y) * p.bitmapWidth() + x];
}

int red(std::uint32_t c) { return static_cast<int>((c >> 16) & 0xFF); }
int green(std::uint32_t c) { return static_cast<int>((c >> 8) & 0xFF); }
int blue(std::uint32_t c) { return static_cast<int>(c & 0xFF); }

std::size_t pagefileUsage() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PagefileUsage;
}

// Wine counts this process's memory in its working set only.
std::size_t peakMemory() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return std::max(counters.PeakPagefileUsage, counters.PeakWorkingSetSize);
}

constexpr ScreenSize kScreen{200, 100, 96};

Win32PictureLoader::Options onScreen(ScreenSize screen) {
    Win32PictureLoader::Options options;
    options.screen = screen;
    return options;
}

TEST(FittedSize, IsTheProgramsFitInPixels) {
    const ScreenSize screen{1024, 768, 96};
    const struct { PixelSize natural, fitted; } cases[] = {
        {{800, 600}, {1024, 768}}, {{600, 800}, {576, 768}}, {{6000, 4000}, {1024, 683}}, {{1, 1}, {768, 768}},
        {{100, 10}, {1024, 102}},   // 1536 twips high
        {{3, 7}, {329, 768}},       // 4937 twips wide
        {{100000, 1}, {1024, 1}},  // never empty
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.natural.width << " x " << c.natural.height);
        EXPECT_EQ(fittedSize(c.natural, screen), c.fitted);
    }
    EXPECT_EQ(fittedSize({6000, 4000}, {1920, 1080, 96}), (PixelSize{1620, 1080}));
    EXPECT_EQ(fittedSize({6000, 4000}, {1920, 1080, 144}), (PixelSize{1620, 1080}));
}

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

TEST(TransformSize, TakesTheSmallestOfferThatCoversTheTarget) {
    const struct { PixelSize natural, target, expected; } cases[] = {
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

class PictureTest : public ::testing::Test {
protected:
    void SetUp() override { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    void TearDown() override { CoUninitialize(); }
    void write(const std::string& name, const std::string& bytes) {
        ASSERT_FALSE(bytes.empty()) << name;
        ASSERT_TRUE(files.writeFile(dir.file(name), bytes)) << name;
    }
    TempDir dir;
    Win32Files files;
};

TEST_F(PictureTest, KeepsTheColoursOfEachKindWithTransparencyOverBlack) {
    write("red.bmp", encoded(GUID_ContainerFormatBmp, 2, 2, solid(2, 2, 0xFFFF0000)));
    write("grey.jpg", encoded(GUID_ContainerFormatJpeg, 16, 16, solid(16, 16, 0xFF808080)));
    write("alpha.png", encoded(GUID_ContainerFormatPng, 2, 2, {0x80FF0000, 0xFF00FF00, 0x00FFFFFF, 0xFF0000FF}));
    const struct {
        const char* name;
        int x, y;
        std::uint32_t rgb;
    } cases[] = {{"red.bmp", 1, 1, 0xFF0000},   {"grey.jpg", 1, 1, 0x808080},   {"alpha.png", 0, 0, 0x800000},
                 {"alpha.png", 1, 0, 0x00FF00}, {"alpha.png", 0, 1, 0x000000},  {"alpha.png", 1, 1, 0x0000FF}};
    Win32PictureLoader same(onScreen({2, 2, 96}));
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.name << " " << c.x << "," << c.y);
        const auto picture = same.load(dir.file(c.name));
        ASSERT_NE(picture, nullptr);
        const std::uint32_t pixel = pixelOf(*picture, c.x, c.y);
        EXPECT_NEAR(red(pixel), red(c.rgb), 3);
        EXPECT_NEAR(green(pixel), green(c.rgb), 3);
        EXPECT_NEAR(blue(pixel), blue(c.rgb), 3);
    }
}

// Enlarged, a checkerboard blends between its colours; reduced, one-pixel
// stripes average to grey instead of aliasing to black or white.
TEST_F(PictureTest, ScalingIsSmoothBothWays) {
    write("board.bmp", encoded(GUID_ContainerFormatBmp, 2, 2, {0xFF000000, 0xFFFFFFFF, 0xFFFFFFFF, 0xFF000000}));
    std::vector<std::uint32_t> stripes(400 * 200);
    for (std::size_t i = 0; i < stripes.size(); ++i) stripes[i] = (i % 400) % 2 ? 0xFFFFFFFF : 0xFF000000;
    write("stripes.png", encoded(GUID_ContainerFormatPng, 400, 200, stripes));
    for (Resampler resampler : {Resampler::Automatic, Resampler::Own}) {
        SCOPED_TRACE(static_cast<int>(resampler));
        Win32PictureLoader::Options options = onScreen(kScreen);
        options.resampler = resampler;
        Win32PictureLoader loader(options);
        const auto enlarged = loader.load(dir.file("board.bmp"));
        ASSERT_NE(enlarged, nullptr);
        std::set<int> values;
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 100; ++x) values.insert(green(pixelOf(*enlarged, x, y)));
        EXPECT_TRUE(values.count(0) && values.count(255));
        EXPECT_GT(values.size(), 10u) << "values between the two colours";
        options.screen = {131, 131, 96};
        const auto reduced = Win32PictureLoader(options).load(dir.file("stripes.png"));
        ASSERT_NE(reduced, nullptr);
        for (int x = 0; x < 131; ++x) ASSERT_NEAR(green(pixelOf(*reduced, x, 30)), 128, 45) << x;
    }
}

TEST_F(PictureTest, FilesItCannotDecodeGiveNothing) {
    write("broken.jpg", "this is no picture");
    ASSERT_TRUE(files.writeFile(dir.file("empty.png"), ""));
    std::string truncated = encoded(GUID_ContainerFormatBmp, 40, 40, solid(40, 40, 0xFF010203));
    truncated.resize(60);
    write("truncated.bmp", truncated);
    std::string cut = encoded(GUID_ContainerFormatJpeg, 64, 64, solid(64, 64, 0xFF123456));
    write("cut.jpg", cut.substr(0, cut.size() / 3));
    Win32PictureLoader loader(onScreen(kScreen));
    for (const char* name : {"broken.jpg", "empty.png", "truncated.bmp", "missing.jpg", "cut.jpg"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(loader.load(dir.file(name)), nullptr);
    }
    EXPECT_EQ(loader.load(""), nullptr);
    EXPECT_EQ(loader.load(dir.path()), nullptr) << "a directory";
}

TEST_F(PictureTest, PicturesTooLargeToHoldAreRefusedWithoutTakingTheMemory) {
    std::string jpeg = encoded(GUID_ContainerFormatJpeg, 64, 48, solid(64, 48, 0xFF808080));
    const std::size_t sof = jpeg.find("\xFF\xC0");
    ASSERT_NE(sof, std::string::npos);
    std::string hugeJpeg = jpeg;
    hugeJpeg.replace(sof + 5, 4, "\x75\x30\x75\x30", 4);  // 30,000 x 30,000
    write("huge.jpg", hugeJpeg);
    std::string png = encoded(GUID_ContainerFormatPng, 4, 4, solid(4, 4, 0xFF808080));
    png.replace(16, 8, std::string("\x00\x00\xFF\xFF\x00\x00\xFF\xFF", 8));  // 65,535 x 65,535
    write("huge.png", png);
    std::string header = encoded(GUID_ContainerFormatBmp, 4, 4, solid(4, 4, 0xFF000000));
    header.replace(18, 8, std::string("\x30\x75\x00\x00\x30\x75\x00\x00", 8));
    write("huge.bmp", header);
    write("fine.jpg", jpeg);

    Win32PictureLoader loader(onScreen(kScreen));
    const std::size_t before = pagefileUsage();
    for (const char* name : {"huge.jpg", "huge.png", "huge.bmp"}) {
        SCOPED_TRACE(name);
        const auto picture = loader.load(dir.file(name));
        if (picture) {
            EXPECT_EQ(picture->widthPx(), 30000) << "only a decoder that scales while decoding may take it";
            EXPECT_LE(dynamic_cast<const Win32Picture&>(*picture).bitmapWidth(), kScreen.widthPx);
        }
    }
    EXPECT_LT(pagefileUsage(), before + (64u << 20));

    Win32PictureLoader::Options small = onScreen(kScreen);
    small.maxSourcePixels = 1000;
    Win32PictureLoader strict(small);
    EXPECT_EQ(strict.load(dir.file("fine.jpg")), nullptr) << "3,072 pixels are beyond a limit of 1,000";
    EXPECT_NE(loader.load(dir.file("fine.jpg")), nullptr);
}

// Wine's JPEG decoder cannot decode scaled down and takes the memory of the
// whole picture as soon as it decodes: a JPEG too large to hold is refused
// before, also where it would be decoded in this process.
TEST_F(PictureTest, AJpegTooLargeToHoldNeverReachesADecoderThatCannotScaleIt) {
    std::string jpeg = encoded(GUID_ContainerFormatJpeg, 64, 48, solid(64, 48, 0xFF808080));
    const std::size_t sof = jpeg.find("\xFF\xC0");
    ASSERT_NE(sof, std::string::npos);
    jpeg.replace(sof + 5, 4, "\x75\x30\x75\x30", 4);  // 30,000 x 30,000
    write("huge.jpg", jpeg);
    Win32PictureLoader::Options options = onScreen(kScreen);
    options.isolated = false;
    const std::size_t before = peakMemory();
    const auto picture = Win32PictureLoader(options).load(dir.file("huge.jpg"));
    if (picture) {
        EXPECT_LE(dynamic_cast<const Win32Picture&>(*picture).bitmapWidth(), kScreen.widthPx);
    }
    EXPECT_LT(peakMemory(), before + (256u << 20));
}

TEST_F(PictureTest, NamesInAnyScriptAndLongPathsLoad) {
    const std::vector<std::uint32_t> pixels = solid(6, 4, 0xFF336699);
    const std::string png = encoded(GUID_ContainerFormatPng, 6, 4, pixels);
    write("Ελληνικά 日本語 Grüße %&^() ß.png", png);
    std::string deep = dir.path();
    for (int i = 0; deep.size() < 300; ++i) {
        deep += "\\Verzeichnis mit einem recht langen Namen " + std::to_string(i);
        ASSERT_TRUE(CreateDirectoryW(apiPath(deep).c_str(), nullptr));
    }
    const std::string longName = deep + "\\Bild.png";
    ASSERT_TRUE(files.writeFile(longName, png));
    Win32PictureLoader loader(onScreen(kScreen));
    for (const std::string& path : {dir.file("Ελληνικά 日本語 Grüße %&^() ß.png"), longName}) {
        SCOPED_TRACE(path);
        const auto picture = loader.load(path);
        ASSERT_NE(picture, nullptr);
        EXPECT_EQ(picture->widthPx(), 6);
    }
    ASSERT_TRUE(files.deleteFile(longName));
    while (deep.size() > dir.path().size()) {
        RemoveDirectoryW(apiPath(deep).c_str());
        deep.resize(deep.rfind('\\'));
    }
}

// An Exif segment whose one entry is the orientation, at byte 28.
constexpr char kExifSegment[] = "\xFF\xE1\x00\x22" "Exif\0\0" "II\x2A\x00\x08\x00\x00\x00" "\x01\x00"
                                "\x12\x01\x03\x00\x01\x00\x00\x00" "\x01\x00\x00\x00" "\x00\x00\x00\x00";

// Seen upright: red, green over blue, yellow. Stored as a camera stores them
// for each orientation: the stored quadrants from the top left, row by row.
// Decoded in the worker process or in this one.
TEST_F(PictureTest, JpegsAreShownUprightAsTheirExifOrientationSays) {
    constexpr std::uint32_t R = 0xFFFF0000, G = 0xFF00FF00, B = 0xFF0000FF, Y = 0xFFFFFF00;
    const struct { int orientation; std::uint32_t stored[4]; } cases[] = {
        {1, {R, G, B, Y}}, {2, {G, R, Y, B}}, {3, {Y, B, G, R}}, {4, {B, Y, R, G}}, {5, {R, B, G, Y}},
        {6, {G, Y, R, B}}, {7, {Y, G, B, R}}, {8, {B, R, Y, G}}, {0, {R, G, B, Y}}, {9, {R, G, B, Y}},
    };
    const std::uint32_t upright[] = {R, G, B, Y};
    for (const auto& c : cases) {
        const bool portrait = c.orientation >= 5 && c.orientation <= 8;
        const UINT width = portrait ? 32 : 48, height = portrait ? 48 : 32;
        std::vector<std::uint32_t> pixels(width * height);
        for (UINT i = 0; i < pixels.size(); ++i)
            pixels[i] = c.stored[(i / width >= height / 2) * 2 + (i % width >= width / 2)];
        std::string exif(kExifSegment, sizeof kExifSegment - 1);
        exif[28] = static_cast<char>(c.orientation);
        write("turned-" + std::to_string(c.orientation) + ".jpg",
              encoded(GUID_ContainerFormatJpeg, width, height, pixels).insert(2, exif));
    }
    // Pictures wanted now and pictures ahead take the same way through the
    // decoding thread; what differs is where that thread decodes.
    for (const bool isolated : {true, false}) {
        Win32PictureLoader::Options options = onScreen(kScreen);
        options.isolated = isolated;
        Win32PictureLoader loader(options);
        for (const auto& c : cases) {
            SCOPED_TRACE(::testing::Message() << "orientation " << c.orientation << (isolated ? ", worker" : ""));
            const auto picture = loader.load(dir.file("turned-" + std::to_string(c.orientation) + ".jpg"));
            ASSERT_NE(picture, nullptr);
            EXPECT_EQ(picture->widthPx(), 48);
            EXPECT_EQ(picture->heightPx(), 32);
            const auto& bitmap = dynamic_cast<const Win32Picture&>(*picture);
            ASSERT_EQ(bitmap.bitmapWidth(), 150) << "fitted on the upright size";
            ASSERT_EQ(bitmap.bitmapHeight(), 100);
            for (int q = 0; q < 4; ++q) {
                const std::uint32_t pixel = pixelOf(bitmap, (q % 2 * 2 + 1) * 150 / 4, (q / 2 * 2 + 1) * 100 / 4);
                EXPECT_NEAR(red(pixel), red(upright[q]), 40) << "quadrant " << q;
                EXPECT_NEAR(green(pixel), green(upright[q]), 40) << "quadrant " << q;
                EXPECT_NEAR(blue(pixel), blue(upright[q]), 40) << "quadrant " << q;
            }
        }
    }
}

TEST_F(PictureTest, PicturesAskedForAheadAreDecodedOnceAndHeldWhileWanted) {
    write("a.png", encoded(GUID_ContainerFormatPng, 30, 20, solid(30, 20, 0xFF00FF00)));
    write("b.png", encoded(GUID_ContainerFormatPng, 20, 30, solid(20, 30, 0xFFFF0000)));
    Win32PictureLoader loader(onScreen(kScreen));
    loader.prefetch({dir.file("a.png"), dir.file("b.png")});
    const auto b = loader.load(dir.file("b.png"));
    const auto a = loader.load(dir.file("a.png"));
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(std::pair(a->widthPx(), b->widthPx()), std::pair(30, 20));
    loader.prefetch({dir.file("b.png")});
    EXPECT_EQ(loader.load(dir.file("b.png")), b);
    EXPECT_EQ(loader.stats().worker.started, 2);
}

TEST_F(PictureTest, DrawsItsPixelsOneToOneOrStretchedSmoothly) {
    std::vector<std::uint32_t> ramp(40 * 20);
    for (std::size_t i = 0; i < ramp.size(); ++i)
        ramp[i] = 0xFF000000u | static_cast<std::uint32_t>((i % 40) * 6) << 8 | static_cast<std::uint32_t>(i / 40 * 12);
    write("ramp.png", encoded(GUID_ContainerFormatPng, 40, 20, ramp));
    Win32PictureLoader loader(onScreen({40, 20, 96}));
    const auto loaded = loader.load(dir.file("ramp.png"));
    const auto* picture = dynamic_cast<const Win32Picture*>(loaded.get());
    ASSERT_NE(picture, nullptr);
    ASSERT_EQ(picture->bitmapWidth(), 40);
    ASSERT_EQ(picture->bitmapHeight(), 20);

    HDC screen = GetDC(nullptr);
    unique_hdc memory(CreateCompatibleDC(screen));
    unique_hbitmap target(CreateCompatibleBitmap(screen, 80, 80));
    ReleaseDC(nullptr, screen);
    select_scope selected(memory.get(), target.get());
    const RECT all{0, 0, 80, 80};
    FillRect(memory.get(), &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    drawPicture(memory.get(), *picture, RECT{0, 0, 40, 20});
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x) {
            const std::uint32_t p = pixelOf(*picture, x, y);
            ASSERT_EQ(GetPixel(memory.get(), x, y), RGB(red(p), green(p), blue(p))) << x << "," << y;
        }
    EXPECT_EQ(GetPixel(memory.get(), 45, 10), RGB(0, 0, 0)) << "nothing beside it";

    // Drawn at another size (the screen changed since it was decoded), a
    // checkerboard must blend, not turn into blocks.
    void* bits = nullptr;
    const auto board = Win32Picture::create(2, 2, 2, 2, &bits);
    ASSERT_NE(board, nullptr);
    const std::uint32_t squares[] = {0xFF000000, 0xFFFFFFFF, 0xFFFFFFFF, 0xFF000000};
    std::memcpy(bits, squares, sizeof squares);
    drawPicture(memory.get(), *board, RECT{0, 30, 80, 70});
    std::set<COLORREF> colours;
    for (int x = 0; x < 80; ++x) colours.insert(GetPixel(memory.get(), x, 50));
    EXPECT_GT(colours.size(), 4u) << "blended between black and white";
    EXPECT_EQ(GetPixel(memory.get(), 40, 75), RGB(0, 0, 0));
}

// A decoder's frame of grey pixels that may offer a source transform like the
// JPEG decoder of Windows: 1/2, 1/4 or 1/8 of the size.
class FakeFrame final : public IWICBitmapSource, public WicSourceTransform {
public:
    FakeFrame(UINT width, UINT height, bool offersTransform)
        : width_(width), height_(height), offersTransform_(offersTransform) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid == IID_IUnknown || iid == IID_IWICBitmapSource)
            *out = static_cast<IWICBitmapSource*>(this);
        else if (offersTransform_ && iid == kIidWicSourceTransform)
            *out = static_cast<WicSourceTransform*>(this);
        else
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override { return --references_; }

    HRESULT STDMETHODCALLTYPE GetSize(UINT* width, UINT* height) override {
        *width = width_;
        *height = height_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetPixelFormat(WICPixelFormatGUID* format) override {
        *format = GUID_WICPixelFormat24bppBGR;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetResolution(double* x, double* y) override {
        *x = *y = 96;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE CopyPalette(IWICPalette*) override { return WINCODEC_ERR_PALETTEUNAVAILABLE; }
    HRESULT STDMETHODCALLTYPE CopyPixels(const WICRect* rect, UINT stride, UINT size, BYTE* buffer) override {
        const UINT rows = rect ? static_cast<UINT>(rect->Height) : height_;
        if (static_cast<std::size_t>(stride) * rows > size) return E_INVALIDARG;
        fullSizeRows += rows;
        std::memset(buffer, 0x40, size);
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE CopyPixels(const WICRect* rect, UINT width, UINT height, WICPixelFormatGUID* format,
                                         WICBitmapTransformOptions transform, UINT stride, UINT size,
                                         BYTE* buffer) override {
        if (rect || *format != GUID_WICPixelFormat24bppBGR || transform != WICBitmapTransformRotate0 ||
            static_cast<std::size_t>(stride) * height > size || stride < width * 3)
            return E_INVALIDARG;
        scaledTo = {width, height};
        std::memset(buffer, 0x40, size);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetClosestSize(UINT* width, UINT* height) override {
        UINT shift = 3;
        while (shift > 0 && ((width_ + (1u << shift) - 1) >> shift) < *width) --shift;
        *width = (width_ + (1u << shift) - 1) >> shift;
        *height = (height_ + (1u << shift) - 1) >> shift;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetClosestPixelFormat(WICPixelFormatGUID* format) override {
        return GetPixelFormat(format);
    }
    HRESULT STDMETHODCALLTYPE DoesSupportTransform(WICBitmapTransformOptions transform, BOOL* supported) override {
        *supported = transform == WICBitmapTransformRotate0;
        return S_OK;
    }

    UINT fullSizeRows = 0;
    PixelSize scaledTo;

private:
    UINT width_, height_;
    bool offersTransform_;
    ULONG references_ = 1;
};

TEST_F(PictureTest, ADecoderThatScalesWhileDecodingIsAskedForTheSmallestSizeThatCoversTheScreen) {
    com_ptr<IWICImagingFactory> factory;
    ASSERT_HRESULT_SUCCEEDED(
        CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory)));
    DecodeOptions options{kScreen, Resampler::Own, defaultMaxSourcePixels()};

    FakeFrame scaling(4000, 3000, true);
    const auto picture = decodeSource(factory.Get(), &scaling, options);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(scaling.scaledTo, (PixelSize{500, 375})) << "1/8 still covers 133 x 100";
    EXPECT_EQ(scaling.fullSizeRows, 0u) << "the full size is never decoded";
    EXPECT_EQ(picture->widthPx(), 4000);
    EXPECT_EQ(picture->bitmapWidth(), 133);
    EXPECT_EQ(picture->bitmapHeight(), 100);
    EXPECT_EQ(pixelOf(*picture, 66, 50) & 0xFFFFFF, 0x404040u);

    FakeFrame plain(800, 600, false);
    const auto fallback = decodeSource(factory.Get(), &plain, options);
    ASSERT_NE(fallback, nullptr);
    EXPECT_EQ(plain.fullSizeRows, 600u) << "every row once, through the resampler";
    EXPECT_EQ(fallback->bitmapWidth(), 133);

    options.maxSourcePixels = 200000;
    FakeFrame huge(4000, 3000, true);
    EXPECT_NE(decodeSource(factory.Get(), &huge, options), nullptr) << "500 x 375 decoded pixels are within the limit";
    FakeFrame hugePlain(4000, 3000, false);
    EXPECT_EQ(decodeSource(factory.Get(), &hugePlain, options), nullptr);
    EXPECT_EQ(hugePlain.fullSizeRows, 0u);
}

// The picture window's image control, given a picture the way the program
// gives it one, ends up exactly as large as the decoded bitmap: it is drawn
// 1:1, without a second scaling.
TEST_F(PictureTest, ThePictureWindowShowsTheBitmapAtItsOwnSize) {
    Win32WindowSystem windows{GetModuleHandleW(nullptr)};
    FormLayout layout{.name = "FrmPic", .border = Border::None, .backColor = rgb(0, 0, 0)};
    layout.controls = {{.name = "Image1", .kind = ControlKind::Image, .width = 15, .height = 15}};
    Form form(windows, layout);
    const ScreenMetrics screen = windows.screen();
    const float sw = static_cast<float>(screen.widthPx * screen.twipsPerPixelX);
    const float sh = static_cast<float>(screen.heightPx * screen.twipsPerPixelY);
    form.move(0, 0, sw, sh);
    Control& image = form["Image1"];
    const struct {
        UINT width, height;
    } cases[] = {{800, 600}, {600, 800}, {100, 10}, {3, 7}, {1999, 1001}, {2500, 1406}};
    Win32PictureLoader loader;
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.width << " x " << c.height);
        const std::string name = std::to_string(c.width) + "x" + std::to_string(c.height) + ".bmp";
        write(name, encoded(GUID_ContainerFormatBmp, c.width, c.height, solid(c.width, c.height, 0xFF5A5A5A)));
        const auto picture = loader.load(dir.file(name));
        ASSERT_NE(picture, nullptr);
        pictavo::placeFitted(image, picture, sw, sh);
        RECT client{};
        GetClientRect(static_cast<Win32Form&>(*form.native()).controlWindow(0), &client);
        const auto& bitmap = dynamic_cast<const Win32Picture&>(*picture);
        EXPECT_EQ(client.right, bitmap.bitmapWidth());
        EXPECT_EQ(client.bottom, bitmap.bitmapHeight());
    }
    form.unload();
}

}  // namespace
}  // namespace pictavo::platform::win32
