#include "index/file_size.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "platform/fake/fake_files.h"

namespace pictavo {
namespace {

namespace fs = std::filesystem;

class FileSizeTest : public ::testing::Test {
protected:
    FileSizeTest()
        : root_(fs::temp_directory_path() / ("pictavo-filesize-" + std::to_string(std::random_device{}()))),
          files_(root_) {}
    ~FileSizeTest() override {
        std::error_code ec;
        fs::remove_all(root_, ec);
    }

    fs::path root_;
    platform::fake::FakeFiles files_;
};

TEST_F(FileSizeTest, LengthOfPlainFilesOtherwiseMinusOne) {
    ASSERT_TRUE(files_.writeFile("C:\\EMPTY.JPG", ""));
    ASSERT_TRUE(files_.writeFile("C:\\FIVE.TXT", "12345"));
    fs::create_directories(files_.host("C:\\A\\DIR"));
    ASSERT_TRUE(files_.writeFile("C:\\A\\B.JPG", "abc"));

    struct Case {
        std::string path;
        std::int64_t expected;
    };
    const std::vector<Case> cases = {
        {"C:\\EMPTY.JPG", 0},
        {"C:\\FIVE.TXT", 5},
        {"C:\\A\\B.JPG", 3},
        {"C:\\MISSING.JPG", -1},
        {"C:\\NO\\X.JPG", -1},
        {"C:\\A\\DIR", -1},
        {"C:\\A", -1},
        {"", -1},
    };
    for (const auto& c : cases) EXPECT_EQ(FileSize(files_, c.path), c.expected) << c.path;
}

TEST_F(FileSizeTest, AsksTheFileSystemOnce) {
    files_.sizeQueries = 0;
    FileSize(files_, "C:\\X.JPG");
    EXPECT_EQ(files_.sizeQueries, 1);
}

}  // namespace
}  // namespace pictavo
