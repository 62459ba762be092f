#include "core/index_file_name.h"

#include <cstddef>
#include <cstdint>

#include "platform/utf8.h"

namespace pictavo {

namespace {

constexpr std::size_t kMaxPath = 259;       // MAX_PATH without the terminating NUL
constexpr std::size_t kMaxComponent = 255;  // longest single name the file systems accept
const std::string kPrefix = "PTAV-DIR (";
const std::string kSuffix = ") .TMP";

std::size_t charLength(const std::string& text, std::size_t i) { return platform::decodeUtf8(text, i).length; }

// Start of the UTF-8 character that ends text (text not empty).
std::size_t lastCharStart(const std::string& text) {
    std::size_t last = 0;
    for (std::size_t i = 0; i < text.size(); i += charLength(text, i)) last = i;
    return last;
}

// What the UTF-8 character counts in UTF-16: two units above the BMP, one otherwise
// (a malformed byte becomes one replacement character).
std::size_t utf16Units(std::size_t utf8Length) { return utf8Length == 4 ? 2 : 1; }

std::size_t utf16Length(const std::string& text) {
    std::size_t units = 0;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = charLength(text, i);
        units += utf16Units(length);
        i += length;
    }
    return units;
}

std::uint32_t fnv1a(const std::string& text) {
    std::uint32_t hash = 2166136261u;
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 16777619u;
    }
    return hash;
}

std::string hex8(std::uint32_t value) {
    static const char digits[] = "0123456789ABCDEF";
    std::string text(8, '0');
    for (int i = 7; i >= 0; --i, value >>= 4) text[static_cast<std::size_t>(i)] = digits[value & 0xF];
    return text;
}

// The longest prefix of key, on a character boundary, of at most units UTF-16 units.
std::string keyPrefix(const std::string& key, std::size_t units) {
    std::size_t used = 0;
    std::size_t i = 0;
    while (i < key.size()) {
        const std::size_t length = charLength(key, i);
        if (used + utf16Units(length) > units) break;
        used += utf16Units(length);
        i += length;
    }
    return key.substr(0, i);
}

}  // namespace

std::string indexKey(const std::string& source) {
    std::string key;
    for (const char c : source) {
        switch (c) {
            case '.': case ':': case '*': case '?':
                break;
            case '\\': case '<': case '>': case '|': case '"': case '/':
                key += '_';
                break;
            default:
                key += static_cast<unsigned char>(c) < 0x20 ? '_' : c;
        }
    }
    if (!key.empty()) {
        const std::size_t last = lastCharStart(key);
        if (last > 0) key.erase(last);
    }
    return key;
}

std::string temporaryDirectory(const std::string& tmp, const std::string& temp) {
    std::string dir = !tmp.empty() ? tmp : !temp.empty() ? temp : "C:\\";
    if (dir.back() != '\\') dir += '\\';
    return dir;
}

std::string indexFileName(const std::string& source, const std::string& tmp, const std::string& temp) {
    const std::string dir = temporaryDirectory(tmp, temp);
    const std::string key = indexKey(source);
    const std::size_t dirUnits = utf16Length(dir);
    const std::size_t fixedUnits = kPrefix.size() + kSuffix.size();
    const std::size_t keyUnits = utf16Length(key);
    if (dirUnits + fixedUnits + keyUnits <= kMaxPath && fixedUnits + keyUnits <= kMaxComponent)
        return dir + kPrefix + key + kSuffix;

    // Too long: a prefix of the key keeps the name readable, the hash of the whole
    // source keeps sources with the same prefix apart.
    std::string tag = hex8(fnv1a(source));
    tag.insert(tag.begin(), '~');
    const std::size_t taken = dirUnits + fixedUnits + tag.size();
    std::size_t room = taken < kMaxPath ? kMaxPath - taken : 0;
    const std::size_t componentTaken = fixedUnits + tag.size();
    if (componentTaken + room > kMaxComponent) room = kMaxComponent - componentTaken;
    return dir + kPrefix + keyPrefix(key, room) + tag + kSuffix;
}

}  // namespace pictavo
