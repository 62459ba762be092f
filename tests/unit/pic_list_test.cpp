#include "core/pic_list.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace pictavo {
namespace {

// Every entry 1 ... PicCount carries the directory its DirStart range says.
void expectConsistent(const PicListState& list) {
    if (list.DirCount >= 1) {
        ASSERT_EQ(list.DirStart[1], 1);
    }
    int d = list.DirCount >= 1 ? 1 : 0;
    for (int k = 1; k <= list.PicCount; ++k) {
        while (d < list.DirCount && list.DirStart[d + 1] <= k) ++d;
        const auto e = list.entry(k);
        ASSERT_TRUE(e.has_value()) << k;
        ASSERT_EQ(e->dir, d) << "entry " << k;
    }
}

TEST(AddPicture, OpensADirectoryWhenTheDirectoryPartChanges) {
    struct Step {
        std::string path, entry;  // entry: PicList(count) afterwards
        int dirCount;
        std::string picDir;
    };
    const std::vector<std::vector<Step>> scans = {
        {{"C:\\A\\X.JPG", "C:\\A\\X.JPG|1", 1, "C:\\A\\"},
         {"C:\\A\\Y.JPG", "C:\\A\\Y.JPG|1", 1, "C:\\A\\"},
         {"C:\\B\\Z.GIF", "C:\\B\\Z.GIF|2", 2, "C:\\B\\"},
         {"C:\\B\\SUB\\Q.PNG", "C:\\B\\SUB\\Q.PNG|3", 3, "C:\\B\\SUB\\"}},
        // Bare names stay in the current directory.
        {{"X.JPG", "X.JPG|0", 0, ""}, {"Y.JPG", "Y.JPG|0", 0, ""}},
        {{"C:\\A\\X.JPG", "C:\\A\\X.JPG|1", 1, "C:\\A\\"},
         {"Y.JPG", "Y.JPG|1", 1, "C:\\A\\"},
         {"C:\\A\\Z.JPG", "C:\\A\\Z.JPG|1", 1, "C:\\A\\"}},
        // Every change opens a new number, even for a directory seen before.
        {{"C:\\A\\1.JPG", "C:\\A\\1.JPG|1", 1, "C:\\A\\"},
         {"C:\\B\\2.JPG", "C:\\B\\2.JPG|2", 2, "C:\\B\\"},
         {"C:\\A\\3.JPG", "C:\\A\\3.JPG|3", 3, "C:\\A\\"},
         {"C:\\a\\4.JPG", "C:\\a\\4.JPG|4", 4, "C:\\a\\"},
         {"\\5.JPG", "\\5.JPG|5", 5, "\\"}},
    };
    for (const auto& steps : scans) {
        PicListState list;
        list.prepareScan();
        for (std::size_t i = 0; i < steps.size(); ++i) {
            list.addPicture(steps[i].path, list.PicCount);
            ASSERT_EQ(list.PicCount, static_cast<int>(i + 1)) << steps[i].path;
            EXPECT_EQ(list.PicList[i + 1], steps[i].entry);
            EXPECT_EQ(list.DirCount, steps[i].dirCount) << steps[i].path;
            EXPECT_EQ(list.PicDir, steps[i].picDir) << steps[i].path;
            EXPECT_EQ(list.LastDir, steps[i].picDir) << steps[i].path;
        }
        expectConsistent(list);
        EXPECT_EQ(list.PicList[0], "");
    }
}

// The second scan is large: 5,000 directories of 20 pictures.
TEST(AddPicture, ASecondScanStartsOverAndLargeListsAreComplete) {
    PicListState list;
    for (int i = 1; i <= 10; ++i)
        list.addPicture("C:\\D" + std::to_string(i % 3) + "\\" + std::to_string(i), list.PicCount);
    list.PicCount = 0;
    list.prepareScan();
    for (int d = 1; d <= 5000; ++d)
        for (int p = 1; p <= 20; ++p)
            list.addPicture("D:\\F" + std::to_string(d) + "\\P" + std::to_string(p) + ".JPG", list.PicCount);
    ASSERT_EQ(list.PicCount, 100000);
    ASSERT_EQ(list.DirCount, 5000);
    for (int d = 1; d <= 5000; ++d) ASSERT_EQ(list.DirStart[d], (d - 1) * 20 + 1) << d;
    EXPECT_EQ(list.PicList[100000], "D:\\F5000\\P20.JPG|5000");
    expectConsistent(list);
    for (const int k : {-1, 0, 100001}) EXPECT_FALSE(list.entry(k).has_value()) << k;
    EXPECT_EQ(list.entry(1).value().path, "D:\\F1\\P1.JPG");
    list.PicCount = 200000;
    EXPECT_FALSE(list.entry(150000).has_value()) << "beyond the table";
}

TEST(SplitEntry, SplitsAtTheFirstBar) {
    const std::vector<std::pair<std::string, std::optional<PicEntry>>> cases = {
        {"C:\\FOTOS\\URLAUB\\IMG_0001.JPG|3", PicEntry{"C:\\FOTOS\\URLAUB\\IMG_0001.JPG", 3}},
        {"IMG_0001.JPG|0", PicEntry{"IMG_0001.JPG", 0}},
        {"X|1024", PicEntry{"X", 1024}},
        {"X|12x", PicEntry{"X", 12}},
        {"X|", PicEntry{"X", 0}},
        {"A|B|7", PicEntry{"A", 0}},
        {" C:\\A B\\X.JPG |5", PicEntry{" C:\\A B\\X.JPG ", 5}},
        {"X|99999999999", PicEntry{"X", 2147483647}},
        {"|3", std::nullopt},
        {"X.JPG", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [entry, expected] : cases) {
        const auto got = splitEntry(entry);
        ASSERT_EQ(got.has_value(), expected.has_value()) << entry;
        if (got) {
            EXPECT_EQ(std::pair(got->path, got->dir), std::pair(expected->path, expected->dir)) << entry;
        }
    }
}

}  // namespace
}  // namespace pictavo
