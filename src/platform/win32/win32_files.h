#pragma once
// Files on Windows, through the wide-character API.

#include "platform/files.h"

namespace pictavo::platform::win32 {

class Win32Files final : public Files {
public:
    std::int64_t fileSize(const std::string& path) override;
    bool exists(const std::string& path) override;
    bool deleteFile(const std::string& path) override;
    bool writeFile(const std::string& path, const std::string& bytes) override;
    std::optional<std::string> readFile(const std::string& path) override;
    std::vector<std::string> drives() override;
    std::string currentDirectory() override;
    std::optional<std::vector<std::string>> subdirectories(const std::string& dir) override;
    std::optional<std::vector<std::string>> matchingFiles(const std::string& dir, const std::string& pattern) override;
};

// A path the file API accepts at any length: long paths become absolute
// "\\?\" paths, short ones stay as they are.
std::wstring apiPath(const std::string& path);

}  // namespace pictavo::platform::win32
