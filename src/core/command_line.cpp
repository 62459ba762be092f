#include "core/command_line.h"

namespace pictavo {

std::string CmdArg(const std::string& args, int n) {
    std::string word;
    if (n < 1) return word;
    // Only word n is collected, so no table of words and no limit on their number.
    int current = 1;
    bool quoted = false;
    for (const char c : args) {
        if (c == '"') {
            quoted = !quoted;
        } else if (c == ' ' && !quoted) {
            if (current == n) break;
            ++current;
        } else if (current == n) {
            word += c;
        }
    }
    return word;
}

}  // namespace pictavo
