#pragma once

#include <string>

namespace pictavo {

// Word n (from 1) of the command line's argument text. Double quotes group
// words and are dropped; every blank outside quotes starts a new word. Word 0
// and words that do not exist are empty.
std::string CmdArg(const std::string& args, int n);

}  // namespace pictavo
