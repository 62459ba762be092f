#pragma once
// UTF-8: reading one character, and appending a code point.

#include <cstddef>
#include <string>
#include <string_view>

namespace pictavo::platform {

struct Utf8Char {
    char32_t code = 0;
    std::size_t length = 1;  // bytes
};

// The character that starts at text[at] (at < text.size()). A malformed or
// cut-off sequence counts as one byte standing for U+FFFD, so that a reader
// never swallows more than one character of bad text.
inline Utf8Char decodeUtf8(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (length == 1) return {lead < 0x80 ? lead : char32_t{0xFFFD}, 1};
    if (at + length > text.size()) return {0xFFFD, 1};
    char32_t code = lead & (0x7Fu >> length);
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[at + k]);
        if ((next & 0xC0) != 0x80) return {0xFFFD, 1};
        code = (code << 6) | (next & 0x3Fu);
    }
    return {code, length};
}

inline void appendUtf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

}  // namespace pictavo::platform
