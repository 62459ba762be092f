#include "platform/pictures/picture_header.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace pictavo::platform {
namespace {

ReadAt readFrom(const std::string& bytes, int* calls = nullptr) {
    return [&bytes, calls](std::uint64_t offset, void* buffer, std::size_t size) -> std::size_t {
        if (calls) ++*calls;
        if (offset >= bytes.size()) return 0;
        const std::size_t n = std::min<std::size_t>(size, bytes.size() - offset);
        std::memcpy(buffer, bytes.data() + offset, n);
        return n;
    };
}

std::string be16(unsigned v) { return {static_cast<char>(v >> 8), static_cast<char>(v & 0xFF)}; }
std::string le16(unsigned v) { return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)}; }
std::string le32(std::uint32_t v) { return le16(v & 0xFFFF) + le16(v >> 16); }

std::string pngHeader(std::uint32_t w, std::uint32_t h) {
    return std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR", 16) + be16(w >> 16) + be16(w & 0xFFFF) + be16(h >> 16) +
           be16(h & 0xFFFF) + std::string(13, '\0');
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

std::string gifFrame(unsigned w, unsigned h) {
    return std::string("\x21\xF9\x04\x01\0\0\0\0", 8) +  // graphic control extension
           std::string("\x2C", 1) + le16(0) + le16(0) + le16(w) + le16(h) + std::string("\x80\x02", 2) +
           std::string(6, '\0') + std::string("\x02\x03\x4C\x01\x00\x01\x00\x00", 8);
}

std::string gifHeader(unsigned screenW, unsigned screenH, unsigned frameW, unsigned frameH,
                      unsigned laterW = 1, unsigned laterH = 1) {
    return "GIF89a" + le16(screenW) + le16(screenH) + std::string("\x80\0\0", 3) + std::string(6, '\0') +
           gifFrame(frameW, frameH) + gifFrame(laterW, laterH) + ";";
}

TEST(PictureHeader, ReadsTheSizeEachKindClaims) {
    const struct { const char* what; std::string bytes; PictureKind kind; std::uint32_t width, height; } cases[] = {
        {"png", pngHeader(30000, 20000), PictureKind::Png, 30000, 20000},
        {"bmp", bmpHeader(640, 480), PictureKind::Bmp, 640, 480},
        {"top-down bmp", bmpHeader(640, -480), PictureKind::Bmp, 640, 480},
        {"core bmp", "BM" + std::string(12, '\0') + le32(12) + le16(33) + le16(44) + std::string(10, '\0'),
         PictureKind::Bmp, 33, 44},
        {"jpeg after other segments", jpegHeader(6000, 4000), PictureKind::Jpeg, 6000, 4000},
        {"progressive jpeg", jpegHeader(65535, 65535, 0xC2), PictureKind::Jpeg, 65535, 65535},
        {"gif", gifHeader(100, 50, 10, 10), PictureKind::Gif, 100, 50},
        {"gif frame beyond its screen", gifHeader(1, 1, 60000, 50000), PictureKind::Gif, 60000, 50000},
        {"gif whose later frame is huge", gifHeader(20, 20, 10, 10, 65535, 40000), PictureKind::Gif, 65535, 40000},
        {"jpeg frame header behind junk bytes", jpegHeader(46341, 46341).insert(313, std::string("junk\0\xFF\0", 7)),
         PictureKind::Jpeg, 46341, 46341},
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

TEST(PictureHeader, OtherOrBrokenHeadersClaimNothing) {
    const std::string cases[] = {
        "",
        "this is no picture at all, just text",
        std::string("\xFF\xD8\xFF\xDA", 4) + std::string(40, '\0'),  // image data before any frame header
        jpegHeader(10, 10).substr(0, 40),                             // ends inside the segments
        std::string("\xFF\xD8\xFF\xE1\0\x01", 6) + std::string(40, '\0'),  // a segment shorter than its length field
        std::string("II*\0", 4) + std::string(40, '\0'),              // TIFF
    };
    for (const auto& bytes : cases) EXPECT_FALSE(readHeaderSize(readFrom(bytes)).has_value()) << bytes.size();
}

// A JPEG whose frame header follows 70,000 empty comment segments is read in
// a few blocks, not a few bytes at a time.
TEST(PictureHeader, ReadsTheFileInBlocks) {
    std::string comments;
    for (int i = 0; i < 70000; ++i) comments += std::string("\xFF\xFE\0\x02", 4);
    const std::string jpeg = jpegHeader(64, 48).insert(2, comments);
    int calls = 0;
    const auto size = readHeaderSize(readFrom(jpeg, &calls));
    ASSERT_TRUE(size.has_value());
    EXPECT_EQ(size->width, 64u);
    EXPECT_LE(calls, 6);
}

}  // namespace
}  // namespace pictavo::platform
