#pragma once
// Files: lengths, existence, deleting, writing whole files and reading them back.
// Paths are UTF-8 in the program's own (Windows) form, e.g. "C:\\TEMP\\X.TMP".

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pictavo::platform {

class Files {
public:
    virtual ~Files() = default;
    // Length in bytes of a plain file (hidden files, system files and
    // directories are not found), or -1 when it is missing or cannot be opened.
    virtual std::int64_t fileSize(const std::string& path) = 0;
    // Whether a name exists, without opening it.
    virtual bool exists(const std::string& path) = 0;
    virtual bool deleteFile(const std::string& path) = 0;
    // Creates or replaces the file with exactly these bytes.
    virtual bool writeFile(const std::string& path, const std::string& bytes) = 0;
    // The whole file's bytes, or nothing when it cannot be opened.
    virtual std::optional<std::string> readFile(const std::string& path) = 0;

    // For the source selection dialog's lists.
    virtual std::vector<std::string> drives() = 0;  // "C:", "D:", ...
    virtual std::string currentDirectory() = 0;
    // Subdirectory names of dir, sorted; nothing when dir cannot be read.
    virtual std::optional<std::vector<std::string>> subdirectories(const std::string& dir) = 0;
    // File names in dir matching the pattern (with * and ?), sorted.
    virtual std::optional<std::vector<std::string>> matchingFiles(const std::string& dir,
                                                                  const std::string& pattern) = 0;
};

}  // namespace pictavo::platform
