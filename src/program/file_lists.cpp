#include "program/file_lists.h"

#include <algorithm>
#include <cctype>

namespace pictavo {

namespace {
std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
    return text;
}

std::string upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); });
    return text;
}

// "C:" and "C:\" are the root; "C:\A\" is "C:\A".
std::string normalised(std::string path) {
    if (path.size() == 2 && path[1] == ':') return path + "\\";
    while (path.size() > 3 && path.back() == '\\') path.pop_back();
    return path;
}

// "C:\A\B" -> {"C:\", "C:\A", "C:\A\B"}.
std::vector<std::string> chain(const std::string& path) {
    std::vector<std::string> parts;
    std::size_t at = path.find('\\');
    if (at == std::string::npos) return {path};
    parts.push_back(path.substr(0, at + 1));
    while ((at = path.find('\\', at + 1)) != std::string::npos) parts.push_back(path.substr(0, at));
    if (path.size() > parts.back().size() && path.back() != '\\') parts.push_back(path);
    return parts;
}

std::string lastName(const std::string& path) {
    const std::size_t slash = path.find_last_of('\\');
    return slash == std::string::npos || slash + 1 == path.size() ? path : path.substr(slash + 1);
}
}  // namespace

std::string withBackslash(const std::string& path) {
    return !path.empty() && path.back() == '\\' ? path : path + "\\";
}

std::string filePart(const std::string& text) {
    const std::size_t slash = text.find_last_of('\\');
    if (slash == std::string::npos) return text;
    std::string part = text.substr(slash + 1);
    part.erase(part.find_last_not_of(' ') + 1);
    return part;
}

DriveList::DriveList(platform::Control& list, platform::Files& files) : list_(list), files_(files) {
    list_.onClick = [this] {
        if (filling_) return;
        const int index = list_.listIndex();
        if (index < 0 || index >= static_cast<int>(drives_.size())) return;
        // A drive without a medium keeps the list on the drive it had.
        if (!setDrive(drives_[static_cast<std::size_t>(index)])) fill();
    };
}

void DriveList::fill() {
    filling_ = true;
    list_.setItems(drives_);
    const auto it = std::find_if(drives_.begin(), drives_.end(),
                                 [&](const std::string& d) { return lower(d) == drive_; });
    if (it != drives_.end()) list_.setListIndex(static_cast<int>(it - drives_.begin()));
    filling_ = false;
}

void DriveList::reset() {
    drives_ = files_.drives();
    drive_ = lower(files_.currentDirectory().substr(0, 2));
    fill();
}

bool DriveList::setDrive(const std::string& drive) {
    const std::string wanted = lower(drive.substr(0, 2));
    if (wanted.size() < 2 || wanted[1] != ':' || !files_.subdirectories(upper(wanted) + "\\")) return false;
    if (wanted == drive_) return true;
    drive_ = wanted;
    fill();
    if (onChange) onChange();
    return true;
}

DirList::DirList(platform::Control& list, platform::Files& files) : list_(list), files_(files) {
    list_.onClick = [this] {
        if (!filling_ && onClick) onClick();
    };
    list_.onDblClick = [this] {
        const int index = list_.listIndex();
        if (index >= 0 && index < static_cast<int>(targets_.size()))
            setPath(targets_[static_cast<std::size_t>(index)]);
    };
}

void DirList::reset() { show(normalised(files_.currentDirectory()), false); }

bool DirList::setPath(const std::string& path) { return show(normalised(path), true); }

bool DirList::show(const std::string& path, bool notify) {
    const auto subdirectories = files_.subdirectories(path);
    if (!subdirectories) return false;
    if (path == path_) return true;
    path_ = path;
    std::vector<std::string> items;
    targets_.clear();
    const std::vector<std::string> parents = chain(path_);
    for (std::size_t depth = 0; depth < parents.size(); ++depth) {
        items.push_back(std::string(depth * 2, ' ') + (depth == 0 ? parents[0] : lastName(parents[depth])));
        targets_.push_back(parents[depth]);
    }
    for (const std::string& name : *subdirectories) {
        items.push_back(std::string(parents.size() * 2, ' ') + name);
        targets_.push_back(withBackslash(path_) + name);
    }
    filling_ = true;
    list_.setItems(std::move(items));
    list_.setListIndex(static_cast<int>(parents.size()) - 1);
    filling_ = false;
    if (notify && onChange) onChange();
    return true;
}

FileList::FileList(platform::Control& list, platform::Files& files) : list_(list), files_(files) {
    list_.onClick = [this] {
        if (!filling_ && onClick) onClick();
    };
    list_.onDblClick = [this] {
        if (onDblClick) onDblClick();
    };
}

void FileList::reset(const std::string& path) {
    path_.clear();
    pattern_ = "*.*";
    fill(path, pattern_);
}

bool FileList::setPath(const std::string& path) { return fill(path, pattern_); }

bool FileList::setPattern(const std::string& pattern) { return fill(path_, pattern); }

bool FileList::fill(const std::string& path, const std::string& pattern) {
    auto names = files_.matchingFiles(path, pattern);
    if (!names) return false;
    path_ = path;
    pattern_ = pattern;
    filling_ = true;
    list_.setItems(std::move(*names));
    filling_ = false;
    return true;
}

std::string FileList::fileName() {
    const int index = list_.listIndex();
    const auto& items = list_.items();
    return index >= 0 && index < static_cast<int>(items.size()) ? items[static_cast<std::size_t>(index)] : "";
}

}  // namespace pictavo
