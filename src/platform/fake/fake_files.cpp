#include "platform/fake/fake_files.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <system_error>

namespace pictavo::platform::fake {

namespace fs = std::filesystem;

namespace {
char upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

std::string parentOf(const std::string& path) {
    const auto slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}
}  // namespace

FakeFiles::FakeFiles(fs::path root) : root_(std::move(root)) {
    std::error_code ec;
    fs::create_directories(root_ / "C", ec);
}

fs::path FakeFiles::host(const std::string& path) const {
    std::string full = path;
    if (full.size() < 2 || full[1] != ':') full = currentDir + full;
    fs::path result = root_ / std::string(1, upper(full[0]));
    std::string part;
    for (std::size_t i = 2; i <= full.size(); ++i) {
        if (i == full.size() || full[i] == '\\') {
            if (!part.empty()) result /= part;
            part.clear();
        } else {
            part += full[i];
        }
    }
    return result;
}

std::int64_t FakeFiles::fileSize(const std::string& path) {
    const fs::path file = host(path);
    if (throwOnSize) throw fs::filesystem_error("file size", file, std::make_error_code(std::errc::io_error));
    std::error_code ec;
    if (!fs::is_regular_file(file, ec) || file.filename().string().starts_with(".")) return -1;
    const auto size = fs::file_size(file, ec);
    return ec ? -1 : static_cast<std::int64_t>(size);
}

bool FakeFiles::exists(const std::string& path) {
    std::error_code ec;
    return fs::exists(host(path), ec);
}

bool FakeFiles::deleteFile(const std::string& path) {
    std::error_code ec;
    const fs::path file = host(path);
    return fs::is_regular_file(file, ec) && fs::remove(file, ec);
}

bool FakeFiles::writeFile(const std::string& path, const std::string& bytes) {
    std::string dir = parentOf(path.size() >= 2 && path[1] == ':' ? path : currentDir + path);
    if (dir.size() > 3 && dir.back() == '\\') dir.pop_back();
    for (const auto& locked : readOnlyDirs)
        if (fs::path(host(locked)) == fs::path(host(dir))) return false;
    std::ofstream out(host(path), std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

std::optional<std::string> FakeFiles::readFile(const std::string& path) {
    std::error_code ec;
    const fs::path file = host(path);
    if (!fs::is_regular_file(file, ec)) return std::nullopt;
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> FakeFiles::drives() {
    std::vector<std::string> result;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(root_, ec)) {
        const std::string name = entry.path().filename().string();
        if (entry.is_directory() && name.size() == 1 && std::isalpha(static_cast<unsigned char>(name[0])))
            result.push_back(name + ":");
    }
    result.insert(result.end(), drivesWithoutMedium.begin(), drivesWithoutMedium.end());
    std::sort(result.begin(), result.end());
    return result;
}

std::optional<std::vector<std::string>> FakeFiles::subdirectories(const std::string& dir) {
    std::error_code ec;
    fs::directory_iterator it(host(dir), ec);
    if (ec) return std::nullopt;
    std::vector<std::string> result;
    for (const auto& entry : it)
        if (entry.is_directory(ec)) result.push_back(entry.path().filename().string());
    std::sort(result.begin(), result.end());
    return result;
}

std::optional<std::vector<std::string>> FakeFiles::matchingFiles(const std::string& dir,
                                                                 const std::string& pattern) {
    std::error_code ec;
    fs::directory_iterator it(host(dir), ec);
    if (ec) return std::nullopt;
    std::vector<std::string> result;
    for (const auto& entry : it) {
        const std::string name = entry.path().filename().string();
        if (entry.is_regular_file(ec) && wildcardMatch(name, pattern)) result.push_back(name);
    }
    std::sort(result.begin(), result.end());
    return result;
}

bool wildcardMatch(const std::string& name, const std::string& pattern) {
    // "*.*" matches names without a dot too, as on Windows.
    if (pattern == "*.*" || pattern == "*") return true;
    std::size_t n = 0, p = 0, starP = std::string::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || upper(pattern[p]) == upper(name[n]))) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && (pattern[p] == '*' || pattern[p] == '.')) ++p;
    return p == pattern.size();
}

}  // namespace pictavo::platform::fake
