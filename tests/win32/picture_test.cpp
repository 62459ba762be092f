// Picture decoding through WIC and drawing of the decoded bitmap.

#include <gtest/gtest.h>
#include <objbase.h>
#include <windows.h>

#include <cstring>

#include "platform/win32/win32_files.h"
#include "platform/win32/win32_picture.h"
#include "platform/win32/win32_picture_loader.h"
#include "test_support.h"

namespace pictavo::platform::win32 {
namespace {

using testing::TempDir;

// A 24-bit bottom-up BMP of one colour.
std::string bmp(int width, int height, COLORREF color) {
    const int stride = (width * 3 + 3) & ~3;
    const int imageSize = stride * height;
    std::string bytes(54 + static_cast<std::size_t>(imageSize), '\0');
    auto put32 = [&](std::size_t at, std::uint32_t v) { std::memcpy(bytes.data() + at, &v, 4); };
    auto put16 = [&](std::size_t at, std::uint16_t v) { std::memcpy(bytes.data() + at, &v, 2); };
    bytes[0] = 'B';
    bytes[1] = 'M';
    put32(2, static_cast<std::uint32_t>(bytes.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(width));
    put32(22, static_cast<std::uint32_t>(height));
    put16(26, 1);
    put16(28, 24);
    put32(34, static_cast<std::uint32_t>(imageSize));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::size_t at = 54 + static_cast<std::size_t>(y * stride + x * 3);
            bytes[at] = static_cast<char>(GetBValue(color));
            bytes[at + 1] = static_cast<char>(GetGValue(color));
            bytes[at + 2] = static_cast<char>(GetRValue(color));
        }
    return bytes;
}

// The smallest GIF: one white pixel.
const unsigned char kGif[] = {0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x01, 0x00, 0x01, 0x00, 0x80, 0x00, 0x00, 0xFF,
                              0xFF, 0xFF, 0x00, 0x00, 0x00, 0x21, 0xF9, 0x04, 0x01, 0x00, 0x00, 0x00, 0x00, 0x2C,
                              0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 0x02, 0x02, 0x44, 0x01, 0x00,
                              0x3B};

class PictureTest : public ::testing::Test {
protected:
    void SetUp() override { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    void TearDown() override { CoUninitialize(); }
    TempDir dir;
    Win32Files files;
};

TEST_F(PictureTest, LoadsPicturesWithTheirNaturalSize) {
    ASSERT_TRUE(files.writeFile(dir.file("wide.bmp"), bmp(100, 10, RGB(255, 0, 0))));
    ASSERT_TRUE(files.writeFile(dir.file("narrow Grüße.BMP"), bmp(3, 7, RGB(0, 0, 255))));
    ASSERT_TRUE(files.writeFile(dir.file("dot.gif"),
                                std::string(reinterpret_cast<const char*>(kGif), sizeof kGif)));
    Win32PictureLoader loader;
    const struct {
        const char* name;
        int width, height;
    } cases[] = {{"wide.bmp", 100, 10}, {"narrow Grüße.BMP", 3, 7}, {"dot.gif", 1, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto picture = loader.load(dir.file(c.name));
        ASSERT_NE(picture, nullptr);
        EXPECT_EQ(picture->widthPx(), c.width);
        EXPECT_EQ(picture->heightPx(), c.height);
    }
}

TEST_F(PictureTest, FilesItCannotDecodeGiveNothing) {
    ASSERT_TRUE(files.writeFile(dir.file("broken.jpg"), "this is no picture"));
    ASSERT_TRUE(files.writeFile(dir.file("empty.png"), ""));
    std::string truncated = bmp(40, 40, RGB(1, 2, 3));
    truncated.resize(60);
    ASSERT_TRUE(files.writeFile(dir.file("truncated.bmp"), truncated));
    Win32PictureLoader loader;
    for (const char* name : {"broken.jpg", "empty.png", "truncated.bmp", "missing.jpg"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(loader.load(dir.file(name)), nullptr);
    }
    EXPECT_EQ(loader.load(""), nullptr);
}

TEST_F(PictureTest, DrawsItsPixelsStretchedAndAtNaturalSize) {
    ASSERT_TRUE(files.writeFile(dir.file("green.bmp"), bmp(4, 2, RGB(0, 200, 0))));
    Win32PictureLoader loader;
    const auto loaded = loader.load(dir.file("green.bmp"));
    const auto* picture = dynamic_cast<const Win32Picture*>(loaded.get());
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->bitmapWidth(), 4);
    EXPECT_EQ(picture->bitmapHeight(), 2);

    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP target = CreateCompatibleBitmap(screen, 40, 40);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(memory, target);
    const RECT all{0, 0, 40, 40};
    FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    drawPicture(memory, *picture, RECT{0, 0, 40, 20});
    EXPECT_EQ(GetPixel(memory, 20, 10), RGB(0, 200, 0));
    EXPECT_EQ(GetPixel(memory, 39, 19), RGB(0, 200, 0));
    EXPECT_EQ(GetPixel(memory, 20, 30), RGB(0, 0, 0));
    drawPicture(memory, *picture, RECT{0, 25, 4, 27});
    EXPECT_EQ(GetPixel(memory, 3, 26), RGB(0, 200, 0));
    EXPECT_EQ(GetPixel(memory, 5, 26), RGB(0, 0, 0));
    SelectObject(memory, old);
    DeleteObject(target);
    DeleteDC(memory);
}

}  // namespace
}  // namespace pictavo::platform::win32
