#pragma once

#include <string>

namespace pictavo {

// The search index file for a source text: <temp dir>PTAV-DIR (<key>) .TMP.
// tmp and temp are the environment's "TMP" and "TEMP". The key keeps only
// characters a file name may hold, and a name longer than the path limit is
// shortened to a prefix of the key plus a hash of the whole source text.
std::string indexFileName(const std::string& source, const std::string& tmp, const std::string& temp);

// The temporary directory: "TMP", else "TEMP", else "C:\", ending in "\".
std::string temporaryDirectory(const std::string& tmp, const std::string& temp);

// The key alone, before any shortening: "\" becomes "_", ".", ":", "*", "?"
// vanish, "<", ">", "|", "\"", "/" and control characters become "_", and the
// last character is dropped when the key is longer than one character.
std::string indexKey(const std::string& source);

}  // namespace pictavo
