#include "shell/settings.h"

#include <cctype>
#include <charconv>
#include <cfloat>
#include <climits>
#include <cmath>
#include <optional>
#include <system_error>

namespace pictavo {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string trimBlanks(const std::string& text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && isBlank(text[first])) ++first;
    while (last > first && isBlank(text[last - 1])) --last;
    return text.substr(first, last - first);
}

// A text that is wholly a number: blanks around it, optional sign, optional
// exponent. Infinity, NaN, hex and out-of-range values do not count.
std::optional<double> wholeNumber(const std::string& text) {
    std::string body = trimBlanks(text);
    bool negative = false;
    if (!body.empty() && (body[0] == '+' || body[0] == '-')) {
        negative = body[0] == '-';
        body.erase(0, 1);
    }
    if (body.empty() || !(std::isdigit(static_cast<unsigned char>(body[0])) || body[0] == '.'))
        return std::nullopt;
    double value = 0;
    const char* end = body.data() + body.size();
    const auto [ptr, ec] = std::from_chars(body.data(), end, value, std::chars_format::general);
    if (ec != std::errc() || ptr != end || !std::isfinite(value)) return std::nullopt;
    return negative ? -value : value;
}

double roundHalfEven(double value) {
    const double down = std::floor(value);
    const double fraction = value - down;
    if (fraction > 0.5) return down + 1;
    if (fraction < 0.5) return down;
    return std::fmod(down, 2.0) == 0 ? down : down + 1;
}

// Rounded, then clamped into [low, high] while still a double, so that the
// conversion to int is always defined.
int roundedWithin(double value, int low, int high) {
    const double rounded = roundHalfEven(value);
    if (!(rounded >= low)) return low;  // also NaN
    if (rounded > high) return high;
    return static_cast<int>(rounded);
}

int checkBox(platform::SettingsStore& store, const char* key, int fallback) {
    const auto number = wholeNumber(store.read(kSettingsApp, kSettingsSection, key, std::to_string(fallback)));
    if (!number) return fallback;
    const double rounded = roundHalfEven(*number);
    if (rounded == 0 || rounded == 1 || rounded == 2) return static_cast<int>(rounded);
    return fallback;
}

}  // namespace

double leadingNumber(const std::string& text) {
    std::string digits = "0";  // from_chars wants a digit before a leading "."
    bool negative = false;
    bool signAllowed = true;
    bool seenPoint = false;
    bool seenDigit = false;
    bool nonZeroWhole = false;
    for (const char c : text) {
        if (isBlank(c)) continue;
        if ((c == '-' || c == '+') && signAllowed) {
            negative = c == '-';
        } else if (c == '.' && !seenPoint) {
            seenPoint = true;
            digits += c;
        } else if (c >= '0' && c <= '9') {
            seenDigit = true;
            if (c != '0' && !seenPoint) nonZeroWhole = true;
            digits += c;
        } else {
            break;
        }
        signAllowed = false;
    }
    if (!seenDigit) return 0;
    double value = 0;
    const char* end = digits.data() + digits.size();
    const auto [ptr, ec] = std::from_chars(digits.data(), end, value, std::chars_format::fixed);
    if (ec == std::errc::result_out_of_range) value = nonZeroWhole ? DBL_MAX : 0;
    else if (ec != std::errc()) return 0;
    if (value == 0) return 0;
    return negative ? -value : value;
}

std::string numberText(double value) {
    if (std::isnan(value) || value == 0) return "0";
    if (std::isinf(value)) value = value > 0 ? DBL_MAX : -DBL_MAX;
    // Fixed notation, so that leadingNumber, which knows no exponent, reads it back.
    char buffer[400];
    const auto [ptr, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    if (ec != std::errc()) return "0";
    return std::string(buffer, ptr);
}

Settings readSettings(platform::SettingsStore& store) {
    Settings s;
    auto read = [&store](const char* key, const std::string& fallback) {
        return store.read(kSettingsApp, kSettingsSection, key, fallback);
    };

    s.winTop = wholeNumber(read("WinTop", numberText(s.winTop))).value_or(s.winTop);
    s.winLeft = wholeNumber(read("WinLeft", numberText(s.winLeft))).value_or(s.winLeft);
    s.sourceFile = trimBlanks(read("SourceFile", s.sourceFile));
    s.subScan = checkBox(store, "SubScan", s.subScan);
    s.displayName = checkBox(store, "DisplayName", s.displayName);
    s.loop = checkBox(store, "Loop", s.loop);
    s.saveIndex = checkBox(store, "SaveIndex", s.saveIndex);
    s.transparence = leadingNumber(read("Transparence", numberText(s.transparence)));
    s.shadow = leadingNumber(read("Shadow", numberText(s.shadow)));
    s.continueDir = read("ContinueDir", s.continueDir);
    s.continuePos = roundedWithin(leadingNumber(read("Continue", std::to_string(s.continuePos))), 0, INT_MAX);
    if (const auto wait = wholeNumber(read("Wait", std::to_string(s.wait)))) s.wait = roundedWithin(*wait, 0, 60);
    return s;
}

void writeSettings(platform::SettingsStore& store, const Settings& s, bool interactive) {
    auto write = [&store](const char* key, const std::string& value) {
        store.write(kSettingsApp, kSettingsSection, key, value);
    };
    write("WinTop", numberText(s.winTop));
    write("WinLeft", numberText(s.winLeft));
    write("SubScan", std::to_string(s.subScan));
    write("DisplayName", std::to_string(s.displayName));
    write("SaveIndex", std::to_string(s.saveIndex));
    write("Loop", std::to_string(s.loop));
    write("Transparence", numberText(s.transparence));
    write("Shadow", numberText(s.shadow));
    if (interactive) {
        write("ContinueDir", s.continueDir);
        write("Continue", std::to_string(s.continuePos));
        write("SourceFile", s.sourceFile);
    }
    write("Wait", std::to_string(s.wait));
}

}  // namespace pictavo
