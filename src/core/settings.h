#pragma once
// The twelve persisted settings, their defaults, and the conversions between
// stored texts and values.

#include <functional>
#include <string>

#include "platform/settings_store.h"

namespace pictavo {

inline constexpr const char* kSettingsApp = "Corvane";
inline constexpr const char* kSettingsSection = "Pictavo";

struct Settings {
    double winTop = 480;
    double winLeft = 480;
    std::string sourceFile = "C:\\*.*";  // blanks trimmed
    int subScan = 1;                     // check-box values 0, 1, 2
    int displayName = 1;
    int loop = 0;
    int saveIndex = 1;
    double transparence = 0;
    double shadow = 1;
    std::string continueDir;
    int continuePos = 0;  // never below 0
    int wait = 3;         // 0 ... 60
};

// Takes the one line of trace that a failure the program goes on from leaves.
using TraceLine = std::function<void(const std::string& line)>;

// Reads every key, each with its own default; a stored text that does not
// convert takes the default (or the nearest value in range) and is traced.
Settings readSettings(platform::SettingsStore& store, const TraceLine& trace);

// Writes the keys in shutdown order; the source, "ContinueDir" and "Continue"
// only when interactive. A value that could not be written is traced, and the
// others are written all the same.
void writeSettings(platform::SettingsStore& store, const Settings& settings, bool interactive,
                   const TraceLine& trace);

// The numeric value of a text's leading number: blanks are skipped, "." is the
// decimal point, reading stops at the first other character; 0 without a number.
double leadingNumber(const std::string& text);

// A number as decimal text without blanks: "480", "12.5", "-3".
std::string numberText(double value);

}  // namespace pictavo
