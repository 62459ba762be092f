#include "core/pic_list.h"

#include <algorithm>
#include <climits>
#include <cstddef>

namespace pictavo {

namespace {

// Makes slot index exist, doubling the capacity so that a long scan stays linear.
template <typename T>
T& slot(std::vector<T>& table, std::size_t index) {
    if (index >= table.size()) {
        if (index >= table.capacity()) table.reserve(std::max(index + 1, table.capacity() * 2));
        table.resize(index + 1);
    }
    return table[index];
}

// The decimal number at the start of text, saturated to the int range.
int leadingInt(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > INT_MAX) value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative) return value > INT_MAX ? INT_MIN : static_cast<int>(-value);
    return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

}  // namespace

void PicListState::prepareScan() {
    DirCount = 0;
    LastDir.clear();
    PicDir.clear();
}

void PicListState::addPicture(std::string_view path, int& count) {
    ++count;
    // Compared in place: a scan adds every picture of a directory in a row.
    if (const auto slash = path.find_last_of('\\'); slash != std::string_view::npos) {
        const std::string_view dir = path.substr(0, slash + 1);
        if (dir != PicDir) PicDir.assign(dir);
    }
    if (PicDir != LastDir) {
        ++DirCount;
        LastDir = PicDir;
        if (DirCount >= 1) slot(DirStart, static_cast<std::size_t>(DirCount)) = count;
    }
    // Slot 0 is never written, whatever count the caller passed.
    if (count >= 1) {
        std::string& entry = slot(PicList, static_cast<std::size_t>(count));
        entry.assign(path);
        entry += '|';
        entry += std::to_string(DirCount);
    }
}

std::string PicListState::statusText() const {
    return std::to_string(PicPos) + " / " + std::to_string(PicCount);
}

std::optional<PicEntry> PicListState::entry(int k) const {
    if (k < 1 || k > PicCount || static_cast<std::size_t>(k) >= PicList.size()) return std::nullopt;
    return splitEntry(PicList[static_cast<std::size_t>(k)]);
}

std::optional<PicEntry> splitEntry(const std::string& entry) {
    const auto bar = entry.find('|');
    if (bar == std::string::npos || bar == 0) return std::nullopt;
    return PicEntry{entry.substr(0, bar), leadingInt(entry.substr(bar + 1))};
}

std::string directoryPart(const std::string& path) {
    const auto slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace pictavo
