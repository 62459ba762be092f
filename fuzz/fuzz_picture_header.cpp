// The sizes picture files claim, read from any bytes.

#include <cstring>

#include "fuzz_text.h"
#include "platform/pictures/picture_header.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    pictavo::platform::readHeaderSize([&](std::uint64_t offset, void* buffer, std::size_t wanted) -> std::size_t {
        if (offset >= size) return 0;
        const std::size_t n = std::min<std::size_t>(wanted, size - offset);
        std::memcpy(buffer, data + offset, n);
        return n;
    });
    return 0;
}
