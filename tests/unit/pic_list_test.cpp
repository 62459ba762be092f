#include "index/pic_list.h"

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
    for (int d = 2; d <= list.DirCount; ++d) ASSERT_LT(list.DirStart[d - 1], list.DirStart[d]) << d;
    int d = list.DirCount >= 1 ? 1 : 0;
    for (int k = 1; k <= list.PicCount; ++k) {
        while (d < list.DirCount && list.DirStart[d + 1] <= k) ++d;
        const auto e = list.entry(k);
        ASSERT_TRUE(e.has_value()) << k;
        ASSERT_EQ(e->dir, d) << "entry " << k;
    }
}

struct AddStep {
    std::string path, entry;  // entry: PicList(count) afterwards
    int dirCount;
    std::string picDir;
};

void runSteps(const std::vector<AddStep>& steps) {
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

TEST(AddPicture, OpensADirectoryWhenTheDirectoryPartChanges) {
    runSteps({
        {"C:\\A\\X.JPG", "C:\\A\\X.JPG|1", 1, "C:\\A\\"},
        {"C:\\A\\Y.JPG", "C:\\A\\Y.JPG|1", 1, "C:\\A\\"},
        {"C:\\B\\Z.GIF", "C:\\B\\Z.GIF|2", 2, "C:\\B\\"},
        {"C:\\B\\SUB\\Q.PNG", "C:\\B\\SUB\\Q.PNG|3", 3, "C:\\B\\SUB\\"},
    });
}

TEST(AddPicture, BareNamesStayInTheCurrentDirectory) {
    runSteps({{"X.JPG", "X.JPG|0", 0, ""}, {"Y.JPG", "Y.JPG|0", 0, ""}});
    runSteps({
        {"C:\\A\\X.JPG", "C:\\A\\X.JPG|1", 1, "C:\\A\\"},
        {"Y.JPG", "Y.JPG|1", 1, "C:\\A\\"},
        {"C:\\A\\Z.JPG", "C:\\A\\Z.JPG|1", 1, "C:\\A\\"},
    });
}

TEST(AddPicture, EveryChangeOpensANewNumberEvenForAKnownDirectory) {
    runSteps({
        {"C:\\A\\1.JPG", "C:\\A\\1.JPG|1", 1, "C:\\A\\"},
        {"C:\\B\\2.JPG", "C:\\B\\2.JPG|2", 2, "C:\\B\\"},
        {"C:\\A\\3.JPG", "C:\\A\\3.JPG|3", 3, "C:\\A\\"},
        {"C:\\a\\4.JPG", "C:\\a\\4.JPG|4", 4, "C:\\a\\"},
        {"\\5.JPG", "\\5.JPG|5", 5, "\\"},
    });
}

TEST(AddPicture, LargeListsAreComplete) {
    constexpr int kDirs = 5000;
    constexpr int kPerDir = 20;
    PicListState list;
    list.prepareScan();
    for (int d = 1; d <= kDirs; ++d)
        for (int p = 1; p <= kPerDir; ++p)
            list.addPicture("D:\\F" + std::to_string(d) + "\\P" + std::to_string(p) + ".JPG", list.PicCount);

    ASSERT_EQ(list.PicCount, kDirs * kPerDir);
    ASSERT_EQ(list.DirCount, kDirs);
    for (int d = 1; d <= kDirs; ++d) ASSERT_EQ(list.DirStart[d], (d - 1) * kPerDir + 1) << d;
    EXPECT_EQ(list.PicList[100000], "D:\\F5000\\P20.JPG|5000");
    expectConsistent(list);
}

TEST(AddPicture, AShorterSecondScanOverwritesInPlace) {
    PicListState list;
    for (int i = 1; i <= 10; ++i) list.addPicture("C:\\D" + std::to_string(i % 3) + "\\" + std::to_string(i), list.PicCount);
    const auto slots = list.PicList.size();

    list.PicCount = 0;
    list.prepareScan();
    for (const char* path : {"E:\\X\\1.JPG", "E:\\X\\2.JPG", "E:\\Y\\3.JPG", "E:\\Y\\4.JPG"})
        list.addPicture(path, list.PicCount);

    EXPECT_EQ(list.PicList.size(), slots);
    EXPECT_EQ(list.DirCount, 2);
    EXPECT_EQ(list.PicList[1], "E:\\X\\1.JPG|1");
    EXPECT_EQ(list.PicList[4], "E:\\Y\\4.JPG|2");
    EXPECT_FALSE(list.entry(5).has_value());
    expectConsistent(list);
}

TEST(PicList, EntryOnlyInsideTheCountAndTheTable) {
    PicListState list;
    list.addPicture("C:\\A\\X.JPG", list.PicCount);
    list.addPicture("C:\\A\\Y.JPG", list.PicCount);
    for (const int k : {-1, 0, 3}) EXPECT_FALSE(list.entry(k).has_value()) << k;
    ASSERT_TRUE(list.entry(2).has_value());
    EXPECT_EQ(list.entry(2)->path, "C:\\A\\Y.JPG");
    list.PicCount = 50;
    EXPECT_FALSE(list.entry(50).has_value());
}

TEST(SplitEntry, SplitsAtTheFirstBar) {
    struct Case {
        std::string entry;
        std::optional<PicEntry> expected;
    };
    const std::vector<Case> cases = {
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
    for (const auto& c : cases) {
        const auto got = splitEntry(c.entry);
        ASSERT_EQ(got.has_value(), c.expected.has_value()) << c.entry;
        if (!got) continue;
        EXPECT_EQ(got->path, c.expected->path) << c.entry;
        EXPECT_EQ(got->dir, c.expected->dir) << c.entry;
    }
}

TEST(DirectoryPart, UpToTheLastBackslash) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"C:\\FOTOS\\URLAUB\\IMG_0001.JPG", "C:\\FOTOS\\URLAUB\\"}, {"C:\\BILD.GIF", "C:\\"},
        {"X.JPG", ""}, {"\\X.JPG", "\\"}, {"", ""},
    };
    for (const auto& [path, expected] : cases) EXPECT_EQ(directoryPart(path), expected) << path;
}

}  // namespace
}  // namespace pictavo
