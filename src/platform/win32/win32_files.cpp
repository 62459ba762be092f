#include "platform/win32/win32_files.h"

#include <windows.h>

#include <algorithm>

#include "platform/win32/text_conv.h"
#include "platform/win32/unique_handle.h"

namespace pictavo::platform::win32 {

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

bool hasWildcard(const std::string& path) { return path.find_first_of("*?") != std::string::npos; }

std::string joined(const std::string& dir, const std::string& name) {
    if (dir.empty()) return name;
    const char last = dir.back();
    return last == '\\' || last == '/' || (dir.size() == 2 && last == ':') ? dir + name : dir + "\\" + name;
}

bool isDotEntry(const wchar_t* name) {
    return (name[0] == L'.' && name[1] == L'\0') || (name[0] == L'.' && name[1] == L'.' && name[2] == L'\0');
}

void sortNames(std::vector<std::wstring>& names) {
    std::sort(names.begin(), names.end(), [](const std::wstring& a, const std::wstring& b) {
        return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()),
                                    TRUE) == CSTR_LESS_THAN;
    });
}

template <typename Keep>
std::optional<std::vector<std::string>> listDirectory(const std::string& searchPath, Keep keep) {
    WIN32_FIND_DATAW data{};
    unique_hfind find(FindFirstFileExW(apiPath(searchPath).c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                       nullptr, FIND_FIRST_EX_LARGE_FETCH));
    std::vector<std::wstring> names;
    if (!find) {
        if (GetLastError() == ERROR_FILE_NOT_FOUND) return std::vector<std::string>{};
        return std::nullopt;
    }
    do {
        if (!isDotEntry(data.cFileName) && keep(data)) names.emplace_back(data.cFileName);
    } while (FindNextFileW(find.get(), &data));
    sortNames(names);
    std::vector<std::string> result;
    result.reserve(names.size());
    for (const auto& name : names) result.push_back(narrow(name));
    return result;
}

}  // namespace

std::wstring apiPath(const std::string& path) {
    std::wstring wide = widen(path);
    if (wide.size() <= MAX_PATH - 12 || wide.starts_with(L"\\\\?\\")) return wide;
    const DWORD needed = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return wide;
    std::wstring full(needed, L'\0');
    const DWORD length = GetFullPathNameW(wide.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed) return wide;
    full.resize(length);
    if (full.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

std::int64_t Win32Files::fileSize(const std::string& path) {
    if (path.empty() || hasWildcard(path)) return -1;
    const std::wstring name = apiPath(path);
    WIN32_FIND_DATAW data{};
    {
        unique_hfind find(FindFirstFileW(name.c_str(), &data));
        if (!find) return -1;
    }
    if (data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) return -1;
    unique_hfile file(
        CreateFileW(name.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return -1;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) return -1;
    return size.QuadPart;
}

bool Win32Files::exists(const std::string& path) {
    if (path.empty()) return false;
    return GetFileAttributesW(apiPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool Win32Files::deleteFile(const std::string& path) {
    if (path.empty()) return false;
    return DeleteFileW(apiPath(path).c_str()) != 0;
}

bool Win32Files::writeFile(const std::string& path, const std::string& bytes) {
    if (path.empty()) return false;
    unique_hfile file(CreateFileW(apiPath(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    std::size_t done = 0;
    while (done < bytes.size()) {
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
        DWORD written = 0;
        if (!WriteFile(file.get(), bytes.data() + done, chunk, &written, nullptr) || written == 0) return false;
        done += written;
    }
    return true;
}

std::optional<std::string> Win32Files::readFile(const std::string& path) {
    if (path.empty()) return std::nullopt;
    unique_hfile file(CreateFileW(apiPath(path).c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 0) return std::nullopt;
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(size.QuadPart));
    char buffer[1 << 16];
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr)) return std::nullopt;
        if (read == 0) break;
        bytes.append(buffer, read);
    }
    return bytes;
}

std::vector<std::string> Win32Files::drives() {
    std::vector<std::string> result;
    wchar_t buffer[512];
    const DWORD length = GetLogicalDriveStringsW(static_cast<DWORD>(std::size(buffer)), buffer);
    if (length == 0 || length >= std::size(buffer)) return result;
    for (const wchar_t* p = buffer; *p; p += wcslen(p) + 1) {
        std::wstring root(p);
        if (root.size() >= 2 && root[1] == L':') result.push_back(narrow(root.substr(0, 2)));
    }
    return result;
}

std::string Win32Files::currentDirectory() {
    const DWORD needed = GetCurrentDirectoryW(0, nullptr);
    if (needed == 0) return {};
    std::wstring dir(needed, L'\0');
    const DWORD length = GetCurrentDirectoryW(needed, dir.data());
    if (length == 0 || length >= needed) return {};
    dir.resize(length);
    return narrow(dir);
}

std::optional<std::vector<std::string>> Win32Files::subdirectories(const std::string& dir) {
    return listDirectory(joined(dir, "*"), [](const WIN32_FIND_DATAW& data) {
        return (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    });
}

std::optional<std::vector<std::string>> Win32Files::matchingFiles(const std::string& dir,
                                                                  const std::string& pattern) {
    // Like a file list box with its default settings: plain files only.
    return listDirectory(joined(dir, pattern.empty() ? "*" : pattern), [](const WIN32_FIND_DATAW& data) {
        return (data.dwFileAttributes &
                (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) == 0;
    });
}

}  // namespace pictavo::platform::win32
