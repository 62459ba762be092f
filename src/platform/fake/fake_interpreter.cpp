#include "platform/fake/fake_interpreter.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "platform/utf8.h"

namespace pictavo::platform::fake {

namespace fs = std::filesystem;

namespace {

std::string upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); });
    return text;
}

// A batch line as the interpreter expands it: "%%" is "%", "%name%" the
// variable's value (empty when it is not set), and a lone "%" goes.
std::string expanded(const std::string& line, const EnvironmentVariables& variables) {
    std::string out;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] != '%') {
            out += line[i];
            continue;
        }
        const std::size_t close = line.find('%', i + 1);
        if (close == std::string::npos) continue;
        const std::string name = upper(line.substr(i + 1, close - i - 1));
        if (name.empty()) out += '%';
        for (const auto& [set, value] : variables)
            if (!name.empty() && upper(set) == name) out += value;
        i = close;
    }
    return out;
}

// The quoted arguments of an expanded batch line.
std::vector<std::string> quotedParts(const std::string& line) {
    std::vector<std::string> parts;
    std::size_t at = 0;
    while ((at = line.find('"', at)) != std::string::npos) {
        const std::size_t end = line.find('"', at + 1);
        if (end == std::string::npos) break;
        parts.push_back(line.substr(at + 1, end - at - 1));
        at = end + 1;
    }
    return parts;
}

std::string join(const std::string& dir, const std::string& name) {
    return !dir.empty() && dir.back() == '\\' ? dir + name : dir + "\\" + name;
}

struct Entry {
    std::string name;
    bool directory;
};

std::vector<Entry> entriesOf(FakeFiles& files, const std::string& dir) {
    std::vector<Entry> entries;
    std::error_code ec;
    for (const auto& item : fs::directory_iterator(files.host(dir.empty() ? files.currentDir : dir), ec)) {
        const std::string name = item.path().filename().string();
        if (name.starts_with(".")) continue;  // hidden
        entries.push_back({name, item.is_directory(ec)});
    }
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return upper(a.name) < upper(b.name); });
    return entries;
}

void listInto(FakeFiles& files, const std::string& dir, const std::string& pattern, bool subdirectories,
              std::vector<std::string>& out) {
    const std::vector<Entry> entries = entriesOf(files, dir);
    for (const Entry& e : entries)
        if (wildcardMatch(e.name, pattern)) out.push_back(subdirectories ? join(dir, e.name) : e.name);
    if (!subdirectories) return;
    for (const Entry& e : entries)
        if (e.directory) listInto(files, join(dir, e.name), pattern, true, out);
}

void appendUtf16(std::string& out, const std::string& utf8) {
    auto unit = [&](char32_t u) {
        out += static_cast<char>(u & 0xFF);
        out += static_cast<char>(u >> 8);
    };
    for (std::size_t i = 0; i < utf8.size();) {
        const Utf8Char c = decodeUtf8(utf8, i);
        i += c.length;
        char32_t code = c.code;
        if (code >= 0x10000) {
            code -= 0x10000;
            unit(0xD800 + (code >> 10));
            unit(0xDC00 + (code & 0x3FF));
        } else {
            unit(code);
        }
    }
}

}  // namespace

std::vector<std::string> directoryListing(FakeFiles& files, const std::string& source, bool subdirectories) {
    std::vector<std::string> out;
    std::error_code ec;
    std::string dir = source, pattern = "*";
    if (!fs::is_directory(files.host(source), ec)) {
        const std::size_t slash = source.find_last_of('\\');
        dir = slash == std::string::npos ? std::string() : source.substr(0, slash + 1);
        if (dir.size() > 3 && dir.back() == '\\') dir.pop_back();
        pattern = slash == std::string::npos ? source : source.substr(slash + 1);
    }
    if (!dir.empty() && !fs::is_directory(files.host(dir), ec)) return out;
    listInto(files, dir.empty() ? files.currentDir : dir, pattern, subdirectories, out);
    return out;
}

void runInterpreter(FakeFiles& files, FakeSystem& system, const std::string& commandLine) {
    const bool unicode = upper(commandLine).find(" /U ") != std::string::npos;
    const auto parts = quotedParts(commandLine.substr(commandLine.find("/C")));
    if (parts.empty()) return;
    const auto batch = files.readFile(parts.back());
    if (!batch) return;
    const std::string text = system.oemToUtf8(*batch);
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) end = text.size();
        const std::string line = expanded(text.substr(start, end - start), system.startedWith);
        start = end + 2;
        const auto args = quotedParts(line);
        if (upper(line).starts_with("DIR ") && args.size() == 2) {
            const bool recurse = upper(line).find(" /S") != std::string::npos;
            std::string listing;
            for (const std::string& entry : directoryListing(files, args[0], recurse)) {
                if (unicode) {
                    appendUtf16(listing, entry + "\r\n");
                } else {
                    listing += system.utf8ToOem(entry).value_or(std::string(entry.size(), '?')) + "\r\n";
                }
            }
            files.writeFile(args[1], listing);
        } else if (upper(line).starts_with("DEL ") && args.size() == 1) {
            files.deleteFile(args[0]);
        }
    }
}

}  // namespace pictavo::platform::fake
