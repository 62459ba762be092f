#include "platform/pictures/picture_header.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace pictavo::platform {

namespace {

// Walks through a file in blocks; what lies beyond kScanLimit is left to the
// decoder's own check, so that a file of junk costs little.
constexpr std::size_t kBlockBytes = 64 * 1024;
constexpr std::uint64_t kScanLimit = 64ull << 20;

class BlockReader {
public:
    explicit BlockReader(const ReadAt& read) : read_(read) {}

    // False when the bytes are not all there.
    bool read(std::uint64_t offset, void* buffer, std::size_t size) {
        auto* out = static_cast<unsigned char*>(buffer);
        while (size > 0) {
            if (offset >= kScanLimit || !load(offset)) return false;
            const std::size_t at = static_cast<std::size_t>(offset - blockStart_);
            const std::size_t n = std::min(size, block_.size() - at);
            std::memcpy(out, block_.data() + at, n);
            out += n, offset += n, size -= n;
        }
        return true;
    }
    std::optional<unsigned char> byte(std::uint64_t offset) {
        unsigned char b = 0;
        return read(offset, &b, 1) ? std::optional(b) : std::nullopt;
    }

private:
    bool load(std::uint64_t offset) {
        if (offset >= blockStart_ && offset < blockStart_ + block_.size()) return true;
        blockStart_ = offset - offset % kBlockBytes;
        block_.resize(kBlockBytes);
        block_.resize(read_(blockStart_, block_.data(), kBlockBytes));
        return offset < blockStart_ + block_.size();
    }

    const ReadAt& read_;
    std::vector<unsigned char> block_;
    std::uint64_t blockStart_ = 0;
};

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

// Skips a run of data sub-blocks; the offset after its terminator.
std::optional<std::uint64_t> skipSubBlocks(BlockReader& file, std::uint64_t at) {
    for (;;) {
        const auto length = file.byte(at);
        if (!length) return std::nullopt;
        at += 1 + *length;
        if (*length == 0) return at;
    }
}

// The largest of the logical screen and every frame: a decoder may allocate
// any of them, some when they open the file.
std::optional<HeaderSize> gif(const Bytes& head, BlockReader& file) {
    if (head[0] != 'G' || head[1] != 'I' || head[2] != 'F') return std::nullopt;
    HeaderSize size{PictureKind::Gif, le16(&head[6]), le16(&head[8])};
    std::uint64_t at = 13;
    if (head[10] & 0x80) at += 3u * (2u << (head[10] & 7));
    for (;;) {
        const auto introducer = file.byte(at);
        if (introducer == 0x2C) {
            unsigned char descriptor[9];
            if (!file.read(at + 1, descriptor, sizeof descriptor)) return size;
            size.width = std::max(size.width, le16(&descriptor[4]));
            size.height = std::max(size.height, le16(&descriptor[6]));
            at += 1 + sizeof descriptor;
            if (descriptor[8] & 0x80) at += 3u * (2u << (descriptor[8] & 7));
            const auto next = skipSubBlocks(file, at + 1);  // after the LZW code size
            if (!next) return size;
            at = *next;
        } else if (introducer == 0x21) {
            const auto next = skipSubBlocks(file, at + 2);  // after introducer and label
            if (!next) return size;
            at = *next;
        } else {
            return size;  // the trailer, junk or the end of the file
        }
    }
}

bool isStartOfFrame(unsigned char marker) {
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// The next marker code at or after at, skipping what decoders skip: bytes
// other than 0xFF, fill bytes and stuffed zeros.
std::optional<unsigned char> nextMarker(BlockReader& file, std::uint64_t& at) {
    for (;;) {
        auto b = file.byte(at++);
        while (b && *b != 0xFF) b = file.byte(at++);
        while (b == 0xFF) b = file.byte(at++);
        if (!b) return std::nullopt;
        if (*b != 0) return b;
    }
}

std::optional<HeaderSize> jpeg(const Bytes& head, BlockReader& file) {
    if (head[0] != 0xFF || head[1] != 0xD8) return std::nullopt;
    std::uint64_t at = 2;
    for (;;) {
        const auto marker = nextMarker(file, at);
        if (!marker) return std::nullopt;
        if (*marker == 0x01 || (*marker >= 0xD0 && *marker <= 0xD8)) continue;  // no length
        if (*marker == 0xD9 || *marker == 0xDA) return std::nullopt;  // image data before any frame
        if (isStartOfFrame(*marker)) {
            unsigned char frame[7];
            if (!file.read(at, frame, sizeof frame)) return std::nullopt;
            return HeaderSize{PictureKind::Jpeg, be16(&frame[5]), be16(&frame[3])};
        }
        unsigned char lengthField[2];
        if (!file.read(at, lengthField, sizeof lengthField)) return std::nullopt;
        const std::uint32_t length = be16(lengthField);
        if (length < 2) return std::nullopt;
        at += length;
    }
}

}  // namespace

std::optional<HeaderSize> readHeaderSize(const ReadAt& read) {
    BlockReader file(read);
    Bytes head{};
    if (!file.read(0, head.data(), 26)) return std::nullopt;
    if (auto size = png(head)) return size;
    if (auto size = bmp(head)) return size;
    if (auto size = gif(head, file)) return size;
    return jpeg(head, file);
}

}  // namespace pictavo::platform
