#pragma once
// The in-memory picture list: entries "path|dir", the directory table and the
// counters. The tables grow as needed; slot 0 is never written.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pictavo {

struct PicEntry {
    std::string path;
    int dir = 0;
};

struct PicListState {
    std::vector<std::string> PicList = std::vector<std::string>(1);
    int PicCount = 0;
    int PicPos = 0;
    std::vector<int> DirStart = std::vector<int>(1);
    int DirCount = 0;
    std::string LastDir;
    std::string PicDir;
    std::string PicStatus;
    int CachedCount = 0;

    // A new scan: DirCount 0, LastDir and PicDir empty. The tables keep their slots.
    void prepareScan();
    // Appends one picture: raises count, opens a directory when the path's
    // directory part differs from the last one, stores "path|dir".
    void addPicture(std::string_view path, int& count);
    // PicPos, " / ", PicCount.
    std::string statusText() const;
    // Entry k split at its first "|", or nothing when k is outside 1 ... PicCount
    // or the entry has no "|" after its first character.
    std::optional<PicEntry> entry(int k) const;
};

// "path|dir" split at the first "|" when it stands at the second character or later.
std::optional<PicEntry> splitEntry(const std::string& entry);

// Everything up to and including the last "\", or empty when there is none.
std::string directoryPart(const std::string& path);

}  // namespace pictavo
