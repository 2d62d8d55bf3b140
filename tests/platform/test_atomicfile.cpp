#include "platform/atomicfile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

class AtomicFile : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() /
                ("kivo-atomic-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override {
        fs::permissions(m_dir, fs::perms::owner_all);
        fs::remove_all(m_dir);
    }

    std::string read(const fs::path &path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    fs::path m_dir;
};

std::vector<uint8_t> bytesOf(const std::string &text) {
    return {text.begin(), text.end()};
}

}  // namespace

TEST_F(AtomicFile, ReplacesTheTargetAndLeavesNoTemporaryFile) {
    const fs::path target = m_dir / "scenes.scv";
    ASSERT_EQ(kivo::writeFileAtomically(target, bytesOf("first")), 1);
    ASSERT_EQ(kivo::writeFileAtomically(target, bytesOf("second, longer")), 1);
    EXPECT_EQ(read(target), "second, longer");
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()), 1);
}

TEST_F(AtomicFile, ReplacementKeepsThePermissionsOfTheFileItReplaces) {
    const fs::path target = m_dir / "private.scv";
    ASSERT_EQ(kivo::writeFileAtomically(target, bytesOf("one")), 1);
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_EQ(kivo::writeFileAtomically(target, bytesOf("two")), 1);
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(read(target), "two");
}

TEST_F(AtomicFile, FailureLeavesThePreviousFileWhole) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root ignores directory permissions";
    }
    const fs::path target = m_dir / "scenes.scv";
    ASSERT_EQ(kivo::writeFileAtomically(target, bytesOf("precious")), 1);
    fs::permissions(m_dir, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_EQ(kivo::writeFileAtomically(target, bytesOf("lost?")), 0);
    EXPECT_EQ(read(target), "precious");
}

TEST_F(AtomicFile, FailedRenameKeepsWhatWasThereAndCleansUp) {
    // A folder cannot be replaced by a file: the write must fail without touching it.
    const fs::path target = m_dir / "taken";
    fs::create_directories(target / "inside");
    EXPECT_EQ(kivo::writeFileAtomically(target, bytesOf("data")), 0);
    EXPECT_TRUE(fs::is_directory(target / "inside"));
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()), 1);
}

TEST_F(AtomicFile, MissingFolderOrEmptyPathFails) {
    EXPECT_EQ(kivo::writeFileAtomically(m_dir / "no" / "such" / "x.scv", bytesOf("x")), 0);
    EXPECT_EQ(kivo::writeFileAtomically("", bytesOf("x")), 0);
}

TEST_F(AtomicFile, ReadWholeFileRefusesDirectoriesAndMissingFiles) {
    const fs::path target = m_dir / "a.bin";
    ASSERT_EQ(kivo::writeFileAtomically(target, bytesOf("abc")), 1);
    EXPECT_EQ(kivo::readWholeFile(target).value_or(std::vector<uint8_t>{}), bytesOf("abc"));
    EXPECT_FALSE(kivo::readWholeFile(m_dir).has_value());
    EXPECT_FALSE(kivo::readWholeFile(m_dir / "missing").has_value());
}
