#include "core/version.h"

#include "platform/utf8.h"

namespace pictavo {

namespace {

// Unicode code points of Windows-1252 0x80...0x9F; the five unassigned bytes map
// to the C1 controls of the same value, as the Windows conversion does.
constexpr char32_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

std::string cp1252Char(int code) {
    std::string out;
    platform::appendUtf8(out, code >= 0x80 && code <= 0x9F ? kCp1252High[code - 0x80] : static_cast<char32_t>(code));
    return out;
}

}  // namespace

std::string VerStr(int major, int minor, int revision) {
    const std::string minorText = "00" + std::to_string(minor);
    std::string text = std::to_string(major) + "." + minorText.substr(minorText.size() - 2);
    if (revision > 0) {
        const long long code = revision == 9999 ? 223 : static_cast<long long>(revision) + 96;
        if (code <= 255) text += cp1252Char(static_cast<int>(code));
    }
    return text;
}

}  // namespace pictavo
