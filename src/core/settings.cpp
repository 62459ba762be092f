#include "core/settings.h"

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

// The stored texts, read with their defaults; a text that does not convert
// leaves a trace line naming what was taken instead.
class StoredValues {
public:
    StoredValues(platform::SettingsStore& store, const TraceLine& trace) : store_(store), trace_(trace) {}

    std::string text(const char* key, const std::string& fallback) {
        return store_.read(kSettingsApp, kSettingsSection, key, fallback);
    }

    // A text that is wholly a number, else the default.
    double number(const char* key, double fallback) {
        const std::string stored = text(key, numberText(fallback));
        const auto value = wholeNumber(stored);
        if (!value) rejected(key, stored, fallback);
        return value.value_or(fallback);
    }

    // 0, 1 or 2 after rounding, else the default.
    int checkBox(const char* key, int fallback) {
        const std::string stored = text(key, std::to_string(fallback));
        const auto value = wholeNumber(stored);
        const double rounded = value ? roundHalfEven(*value) : -1;
        if (rounded == 0 || rounded == 1 || rounded == 2) return static_cast<int>(rounded);
        rejected(key, stored, fallback);
        return fallback;
    }

    // The leading number of the text, as the classic conversion reads it.
    double leading(const char* key, double fallback) {
        const std::string stored = text(key, numberText(fallback));
        const double value = leadingNumber(stored);
        if (!wholeNumber(stored)) rejected(key, stored, value);
        return value;
    }

    // The leading number rounded and held within low ... high.
    int leadingWithin(const char* key, int fallback, int low, int high) {
        const std::string stored = text(key, std::to_string(fallback));
        const double value = leadingNumber(stored);
        const int held = roundedWithin(value, low, high);
        if (!wholeNumber(stored) || held != roundHalfEven(value)) rejected(key, stored, held);
        return held;
    }

    // A whole number rounded and held within low ... high, else the default.
    int numberWithin(const char* key, int fallback, int low, int high) {
        const std::string stored = text(key, std::to_string(fallback));
        const auto value = wholeNumber(stored);
        const int held = value ? roundedWithin(*value, low, high) : fallback;
        if (!value || held != roundHalfEven(*value)) rejected(key, stored, held);
        return held;
    }

private:
    void rejected(const char* key, const std::string& stored, double taken) {
        if (trace_)
            trace_(std::string("setting ") + key + " \"" + stored + "\" did not convert; " + numberText(taken) +
                   " taken");
    }

    platform::SettingsStore& store_;
    const TraceLine& trace_;
};

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

Settings readSettings(platform::SettingsStore& store, const TraceLine& trace) {
    Settings s;
    StoredValues in(store, trace);
    s.winTop = in.number("WinTop", s.winTop);
    s.winLeft = in.number("WinLeft", s.winLeft);
    s.sourceFile = trimBlanks(in.text("SourceFile", s.sourceFile));
    s.subScan = in.checkBox("SubScan", s.subScan);
    s.displayName = in.checkBox("DisplayName", s.displayName);
    s.loop = in.checkBox("Loop", s.loop);
    s.saveIndex = in.checkBox("SaveIndex", s.saveIndex);
    s.transparence = in.leading("Transparence", s.transparence);
    s.shadow = in.leading("Shadow", s.shadow);
    s.continueDir = in.text("ContinueDir", s.continueDir);
    s.continuePos = in.leadingWithin("Continue", s.continuePos, 0, INT_MAX);
    s.wait = in.numberWithin("Wait", s.wait, 0, 60);
    return s;
}

void writeSettings(platform::SettingsStore& store, const Settings& s, bool interactive, const TraceLine& trace) {
    auto write = [&](const char* key, const std::string& value) {
        if (!store.write(kSettingsApp, kSettingsSection, key, value) && trace)
            trace(std::string("setting ") + key + " not written");
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
