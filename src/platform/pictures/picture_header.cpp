#include "platform/pictures/picture_header.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace pictavo::platform {

namespace {

using Bytes = std::array<unsigned char, 32>;

std::uint32_t le16(const unsigned char* p) { return static_cast<std::uint32_t>(p[0] | (p[1] << 8)); }
std::uint32_t be16(const unsigned char* p) { return static_cast<std::uint32_t>((p[0] << 8) | p[1]); }
std::uint32_t le32(const unsigned char* p) { return le16(p) | (le16(p + 2) << 16); }
std::uint32_t be32(const unsigned char* p) { return (be16(p) << 16) | be16(p + 2); }

std::optional<HeaderSize> png(const Bytes& head) {
    static constexpr unsigned char kSignature[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    for (std::size_t i = 0; i < sizeof kSignature; ++i)
        if (head[i] != kSignature[i]) return std::nullopt;
    if (head[12] != 'I' || head[13] != 'H' || head[14] != 'D' || head[15] != 'R') return std::nullopt;
    return HeaderSize{PictureKind::Png, be32(&head[16]), be32(&head[20])};
}

std::optional<HeaderSize> bmp(const Bytes& head) {
    if (head[0] != 'B' || head[1] != 'M') return std::nullopt;
    if (le32(&head[14]) == 12) return HeaderSize{PictureKind::Bmp, le16(&head[18]), le16(&head[20])};
    const auto width = static_cast<std::int32_t>(le32(&head[18]));
    const auto height = static_cast<std::int32_t>(le32(&head[22]));
    // A negative height marks a top-down bitmap.
    return HeaderSize{PictureKind::Bmp, static_cast<std::uint32_t>(std::llabs(width)),
                      static_cast<std::uint32_t>(std::llabs(height))};
}

// The larger of the logical screen and the first frame: a decoder may
// allocate either.
std::optional<HeaderSize> gif(const Bytes& head, const ReadAt& read) {
    if (head[0] != 'G' || head[1] != 'I' || head[2] != 'F') return std::nullopt;
    HeaderSize size{PictureKind::Gif, le16(&head[6]), le16(&head[8])};
    std::uint64_t at = 13;
    if (head[10] & 0x80) at += 3u * (2u << (head[10] & 7));
    for (int blocks = 0; blocks < 4096; ++blocks) {
        unsigned char introducer = 0;
        if (!read(at, &introducer, 1)) return size;
        if (introducer == 0x2C) {
            unsigned char descriptor[9];
            if (read(at + 1, descriptor, sizeof descriptor)) {
                size.width = std::max(size.width, le16(&descriptor[4]));
                size.height = std::max(size.height, le16(&descriptor[6]));
            }
            return size;
        }
        if (introducer != 0x21) return size;
        at += 2;  // introducer and label
        for (unsigned char length = 1; length != 0; at += length) {
            if (!read(at, &length, 1)) return size;
            ++at;
        }
    }
    return size;
}

bool isStartOfFrame(unsigned char marker) {
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

std::optional<HeaderSize> jpeg(const Bytes& head, const ReadAt& read) {
    if (head[0] != 0xFF || head[1] != 0xD8) return std::nullopt;
    std::uint64_t at = 2;
    for (int segments = 0; segments < 65536; ++segments) {
        unsigned char marker[2];
        if (!read(at, marker, 2)) return std::nullopt;
        if (marker[0] != 0xFF) return std::nullopt;
        if (marker[1] == 0xFF) {  // fill byte
            ++at;
            continue;
        }
        at += 2;
        if (marker[1] == 0x01 || (marker[1] >= 0xD0 && marker[1] <= 0xD7)) continue;  // no length
        if (marker[1] == 0xD9 || marker[1] == 0xDA) return std::nullopt;  // image data before any frame
        unsigned char segment[7];
        if (!read(at, segment, sizeof segment)) return std::nullopt;
        if (isStartOfFrame(marker[1]))
            return HeaderSize{PictureKind::Jpeg, be16(&segment[5]), be16(&segment[3])};
        const std::uint32_t length = be16(segment);
        if (length < 2) return std::nullopt;
        at += length;
    }
    return std::nullopt;
}

}  // namespace

std::optional<HeaderSize> readHeaderSize(const ReadAt& read) {
    Bytes head{};
    if (!read(0, head.data(), 26)) return std::nullopt;
    if (auto size = png(head)) return size;
    if (auto size = bmp(head)) return size;
    if (auto size = gif(head, read)) return size;
    return jpeg(head, read);
}

}  // namespace pictavo::platform
