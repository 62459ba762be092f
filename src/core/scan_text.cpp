#include "core/scan_text.h"

#include <algorithm>

#include "platform/utf8.h"

namespace pictavo {

namespace {

std::string doublePercent(const std::string& text) {
    std::string out;
    for (char c : text) {
        out += c;
        if (c == '%') out += '%';
    }
    return out;
}

std::string utf16leToUtf8(const std::string& bytes) {
    std::string out;
    out.reserve(bytes.size() / 2);
    std::size_t i = bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE' ? 2 : 0;
    auto unit = [&](std::size_t at) {
        return static_cast<unsigned>(static_cast<unsigned char>(bytes[at])) |
               (static_cast<unsigned>(static_cast<unsigned char>(bytes[at + 1])) << 8);
    };
    for (; i + 1 < bytes.size(); i += 2) {
        unsigned code = unit(i);
        if (code >= 0xD800 && code < 0xDC00 && i + 3 < bytes.size()) {
            const unsigned low = unit(i + 2);
            if (low >= 0xDC00 && low < 0xE000) {
                code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            } else {
                code = 0xFFFD;
            }
        } else if (code >= 0xD800 && code < 0xE000) {
            code = 0xFFFD;
        }
        platform::appendUtf8(out, code);
    }
    return out;
}

// Calls onLine for every line of text, without its CR LF or LF, until it returns false.
bool forEachLine(std::string_view text, const std::function<bool(std::string_view)>& onLine) {
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::size_t stop = end;
        if (stop > start && text[stop - 1] == '\r') --stop;
        if (!onLine(text.substr(start, stop - start))) return false;
        start = end + 1;
    }
    return true;
}

}  // namespace

std::string batchFileText(const std::string& source, bool subdirectories, const std::string& indexFile,
                          const std::string& batchFile) {
    return "@ECHO OFF\r\n"
           "DIR \"" + doublePercent(source) + "\" /b" + (subdirectories ? " /s" : "") + " /on >\"" +
           doublePercent(indexFile) + "\"\r\n"
           "DEL \"" + doublePercent(batchFile) + "\" >NUL\r\n";
}

EncodedBatchFile encodeBatchFile(const std::string& text, platform::System& system) {
    if (auto whole = system.utf8ToOem(text)) return {std::move(*whole), {}};
    EncodedBatchFile file;
    std::string run;
    auto endRun = [&] {
        if (run.empty()) return;
        auto same = std::find_if(file.variables.begin(), file.variables.end(),
                                 [&](const auto& variable) { return variable.second == run; });
        if (same == file.variables.end())
            same = file.variables.emplace(same, "PTAV_" + std::to_string(file.variables.size() + 1), run);
        file.bytes += "%" + same->first + "%";
        run.clear();
    };
    for (std::size_t i = 0; i < text.size();) {
        const std::string character = text.substr(i, platform::decodeUtf8(text, i).length);
        i += character.size();
        if (auto oem = system.utf8ToOem(character)) {
            endRun();
            file.bytes += *oem;
        } else {
            run += character;
        }
    }
    endRun();
    return file;
}

bool safeInBatchLine(const std::string& text) {
    return std::none_of(text.begin(), text.end(),
                        [](char c) { return c == '"' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
}

bool isPictureLine(std::string_view line) {
    const std::size_t first = line.find_first_not_of(' ');
    if (first == std::string_view::npos) return false;
    const std::string_view name = line.substr(first, line.find_last_not_of(' ') - first + 1);
    auto endsWith = [&](std::string_view suffix) {
        return name.size() >= suffix.size() &&
               std::equal(suffix.begin(), suffix.end(), name.end() - static_cast<std::ptrdiff_t>(suffix.size()),
                          [](char wanted, char c) { return (c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c) == wanted; });
    };
    return endsWith(".BMP") || endsWith(".GIF") || endsWith(".JPG") || endsWith(".PNG") || endsWith(".JPEG");
}

bool forEachIndexLine(const std::string& bytes, platform::System& system,
                      const std::function<bool(std::string_view)>& onLine) {
    // An 8-bit listing holds no NUL byte; the Unicode one has one in nearly
    // every other byte.
    const bool utf16 = bytes.find('\0') != std::string::npos || (bytes.size() >= 2 && bytes[0] == '\xFF' &&
                                                                  bytes[1] == '\xFE');
    return forEachLine(utf16 ? utf16leToUtf8(bytes) : system.oemToUtf8(bytes), onLine);
}

}  // namespace pictavo
