#include "core/file_size.h"

#include <gtest/gtest.h>

#include "platform/fake/fake_platform.h"

namespace pictavo {
namespace {

TEST(FileSize, AFileSystemFailureIsAFileThatCannotBeOpenedAndLeavesATrace) {
    platform::fake::FakePlatform fake;
    auto p = fake.platform();
    ASSERT_TRUE(fake.files.writeFile("C:\\X.JPG", "12345"));
    EXPECT_EQ(FileSize(p, "C:\\X.JPG"), 5);
    EXPECT_EQ(FileSize(p, "C:\\MISSING.JPG"), -1);
    EXPECT_TRUE(fake.system.traces.empty());
    fake.files.throwOnSize = true;
    EXPECT_EQ(FileSize(p, "C:\\X.JPG"), -1);
    ASSERT_EQ(fake.system.traces.size(), 1u);
    EXPECT_EQ(fake.system.traces[0].rfind("size of C:\\X.JPG not read: ", 0), 0u) << fake.system.traces[0];
}

}  // namespace
}  // namespace pictavo
