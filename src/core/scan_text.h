#pragma once
// The texts of the picture scan: the batch file that has the command
// interpreter list the source, and the search index that it writes.

#include <functional>
#include <string>
#include <string_view>

#include "platform/system.h"

namespace pictavo {

// The batch file's three lines, each ended by CR LF, as UTF-8 text. Every "%"
// is doubled, since the interpreter would expand it.
std::string batchFileText(const std::string& source, bool subdirectories, const std::string& indexFile,
                          const std::string& batchFile);

// The batch file's text in the OEM code page that the interpreter reads batch
// files in. Where the source or a file name holds characters that code page
// lacks (a directory named in Cyrillic or Chinese on a Western system), each
// run of them is written as a variable, "%PTAV_1%", "%PTAV_2%", ..., one per
// distinct run, that the interpreter finds in its environment. A variable's
// value holds no "%", so nothing in it is expanded again.
struct EncodedBatchFile {
    std::string bytes;
    platform::EnvironmentVariables variables;
};
EncodedBatchFile encodeBatchFile(const std::string& text, platform::System& system);

// Whether a text can stand inside a quoted batch-file line: no double quote
// and no control character, which would end the quotes or the line.
bool safeInBatchLine(const std::string& text);

// Whether an index line names a picture: upper-cased and trimmed of blanks,
// it ends in .BMP, .GIF, .JPG, .JPEG or .PNG.
bool isPictureLine(std::string_view line);

// Calls onLine for every line of an index file, until it returns false (then
// the result is false): UTF-16LE as the interpreter's Unicode output writes
// it, or 8-bit text in the OEM code page as earlier versions kept it. Lines
// end at LF, with a CR before it dropped.
bool forEachIndexLine(const std::string& bytes, platform::System& system,
                      const std::function<bool(std::string_view)>& onLine);

}  // namespace pictavo
