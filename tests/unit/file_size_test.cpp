#include "index/file_size.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/fake/fake_platform.h"

namespace pictavo {
namespace {

TEST(FileSize, LengthOfPlainFilesOtherwiseMinusOne) {
    platform::fake::FakePlatform fake;
    for (const auto& [path, bytes] : {std::pair{"C:\\EMPTY.JPG", ""}, {"C:\\FIVE.TXT", "12345"}, {"C:\\A\\B.JPG", "abc"}}) {
        std::filesystem::create_directories(fake.files.host(path).parent_path());
        std::ofstream(fake.files.host(path)) << bytes;
    }
    std::filesystem::create_directories(fake.files.host("C:\\A\\DIR"));
    const std::vector<std::pair<std::string, std::int64_t>> cases = {
        {"C:\\EMPTY.JPG", 0}, {"C:\\FIVE.TXT", 5}, {"C:\\A\\B.JPG", 3}, {"C:\\MISSING.JPG", -1},
        {"C:\\NO\\X.JPG", -1}, {"C:\\A\\DIR", -1}, {"C:\\A", -1}, {"", -1},
    };
    auto p = fake.platform();
    for (const auto& [path, expected] : cases) EXPECT_EQ(FileSize(p, path), expected) << path;
    EXPECT_TRUE(fake.system.traces.empty());
}

TEST(FileSize, AFileSystemThatThrowsGivesMinusOneAndATrace) {
    platform::fake::FakePlatform fake;
    fake.files.throwOnSize = true;
    auto p = fake.platform();
    EXPECT_EQ(FileSize(p, "C:\\X.JPG"), -1);
    ASSERT_EQ(fake.system.traces.size(), 1u);
    EXPECT_NE(fake.system.traces[0].find("C:\\X.JPG"), std::string::npos);
}

}  // namespace
}  // namespace pictavo
