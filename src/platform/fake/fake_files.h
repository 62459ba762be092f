#pragma once
// Files on the real disk below a root directory: the program's path
// "C:\\A\\B.JPG" is the host file <root>/C/A/B.JPG. A bare name lies in the
// current directory, "C:\\" unless changed.

#include <filesystem>
#include <set>
#include <string>

#include "platform/files.h"

namespace pictavo::platform::fake {

class FakeFiles final : public Files {
public:
    explicit FakeFiles(std::filesystem::path root);

    std::int64_t fileSize(const std::string& path) override;
    bool exists(const std::string& path) override;
    bool deleteFile(const std::string& path) override;
    bool writeFile(const std::string& path, const std::string& bytes) override;
    std::optional<std::string> readFile(const std::string& path) override;
    std::vector<std::string> drives() override;
    std::string currentDirectory() override { return currentDir; }
    std::optional<std::vector<std::string>> subdirectories(const std::string& dir) override;
    std::optional<std::vector<std::string>> matchingFiles(const std::string& dir,
                                                          const std::string& pattern) override;

    // The host file that stands for a path of the program.
    std::filesystem::path host(const std::string& path) const;
    const std::filesystem::path& root() const { return root_; }

    std::string currentDir = "C:\\";
    std::set<std::string> readOnlyDirs;  // program paths of directories that refuse new files
    std::vector<std::string> drivesWithoutMedium;  // listed as drives, but cannot be read
    bool throwOnSize = false;  // fileSize fails the way std::filesystem does

private:
    std::filesystem::path root_;
};

// Windows-style wildcard match of a name against a pattern with * and ?,
// ignoring letter case (ASCII).
bool wildcardMatch(const std::string& name, const std::string& pattern);

}  // namespace pictavo::platform::fake
