#pragma once

#include <string>

namespace pictavo {

inline constexpr int kVersionMajor = 1;
inline constexpr int kVersionMinor = 13;
inline constexpr int kVersionRevision = 1;

// "1.13a": major, ".", the minor number's last two digits, the revision letter.
// UTF-8.
std::string VerStr(int major = kVersionMajor, int minor = kVersionMinor, int revision = kVersionRevision);

}  // namespace pictavo
