#pragma once
// Drive, directory and file lists for the source dialog, built on plain list
// boxes and the file facility. Each notices a change of its drive, directory
// or pattern, and says nothing when set to what it already shows, which is
// what ends the dialog's chain of change handlers.

#include <functional>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/form.h"

namespace pictavo {

class DriveList {
public:
    DriveList(platform::Control& list, platform::Files& files);
    void reset();  // the current drive, without a change notice
    const std::string& drive() const { return drive_; }  // "c:"
    // False, and nothing changes, when the drive cannot be read.
    bool setDrive(const std::string& drive);
    std::function<void()> onChange;

private:
    void fill();
    platform::Control& list_;
    platform::Files& files_;
    std::vector<std::string> drives_;
    std::string drive_;
    bool filling_ = false;
};

class DirList {
public:
    DirList(platform::Control& list, platform::Files& files);
    void reset();  // the current directory, without a change notice
    const std::string& path() const { return path_; }
    // A bare drive such as "C:" stands for its root. False, and nothing
    // changes, when the directory cannot be read.
    bool setPath(const std::string& path);
    std::function<void()> onClick;   // the user selected an entry
    std::function<void()> onChange;  // the directory changed

private:
    bool show(const std::string& path, bool notify);
    platform::Control& list_;
    platform::Files& files_;
    std::string path_;
    std::vector<std::string> targets_;  // the directory each entry opens
    bool filling_ = false;
};

class FileList {
public:
    FileList(platform::Control& list, platform::Files& files);
    void reset(const std::string& path);  // pattern "*.*"
    bool setPath(const std::string& path);
    bool setPattern(const std::string& pattern);
    std::string fileName();  // the selected file, or empty
    std::function<void()> onClick;
    std::function<void()> onDblClick;

private:
    bool fill(const std::string& path, const std::string& pattern);
    platform::Control& list_;
    platform::Files& files_;
    std::string path_;
    std::string pattern_ = "*.*";
    bool filling_ = false;
};

// Path parts of the dialog's pattern text.
std::string filePart(const std::string& text);  // after the last "\", trailing blanks removed
std::string withBackslash(const std::string& path);

}  // namespace pictavo
