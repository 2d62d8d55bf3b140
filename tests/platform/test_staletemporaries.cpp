#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "platform/atomicfile.h"
#include "platform/staletemporaries.h"

namespace fs = std::filesystem;

namespace {

// Big enough that a save takes a while, so that kills land in the middle of writing.
constexpr size_t kSaveBytes = size_t{4} << 20;

class StaleTemporaries : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "kivo-stale-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        m_dir = pattern;
        m_target = m_dir / "scenes.scv";
    }
    void TearDown() override {
        for (const pid_t child : m_children) {
            ::kill(child, SIGKILL);
            ::waitpid(child, nullptr, 0);
        }
        fs::remove_all(m_dir);
    }

    std::vector<std::string> temporaries() const {
        std::vector<std::string> names;
        for (const auto &entry : fs::directory_iterator(m_dir)) {
            if (entry.is_regular_file() &&
                kivo::isTemporaryNameOf(entry.path().filename().string(), m_target.string())) {
                names.push_back(entry.path().filename().string());
            }
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    // A process that opens a save of the target, writes part of it, tells the parent so through
    // a pipe and then waits, its temporary open and locked, until it is killed.
    pid_t startStuckWriter() {
        int ready[2];
        EXPECT_EQ(::pipe(ready), 0);
        const pid_t child = ::fork();
        if (child == 0) {
            ::close(ready[0]);
            kivo::CReplacingFile file(m_target.string());
            FILE *out = file.open();
            const std::vector<char> half(kSaveBytes / 2, 'x');
            const bool wrote = out != nullptr &&
                               std::fwrite(half.data(), 1, half.size(), out) == half.size() &&
                               std::fflush(out) == 0;
            const char answer = wrote ? '1' : '0';
            (void)!::write(ready[1], &answer, 1);
            for (;;) {
                ::pause();
            }
        }
        ::close(ready[1]);
        char answer = 0;
        EXPECT_EQ(::read(ready[0], &answer, 1), 1);
        ::close(ready[0]);
        EXPECT_EQ(answer, '1');
        m_children.push_back(child);
        return child;
    }

    void killAndReap(pid_t child) {
        ASSERT_EQ(::kill(child, SIGKILL), 0);
        ASSERT_EQ(::waitpid(child, nullptr, 0), child);
        m_children.erase(std::remove(m_children.begin(), m_children.end(), child),
                         m_children.end());
    }

    static void touch(const fs::path &path) { std::ofstream(path) << "someone else's"; }

    static std::vector<uint8_t> contentOf(char fill) {
        return std::vector<uint8_t>(kSaveBytes, static_cast<uint8_t>(fill));
    }

    // A whole save: the full length, one fill byte throughout.
    static bool isWhole(const std::vector<uint8_t> &bytes) {
        return bytes.size() == kSaveBytes &&
               std::all_of(bytes.begin(), bytes.end(), [&](uint8_t b) { return b == bytes[0]; });
    }

    fs::path m_dir;
    fs::path m_target;
    std::vector<pid_t> m_children;
};

TEST_F(StaleTemporaries, TemporaryNamesAreMatchedExactly) {
    const std::string target = "/any/where/scenes.scv";
    EXPECT_TRUE(kivo::isTemporaryNameOf(".scenes.scv.a1B2c3", target));
    for (const char *other :
         {"scenes.scv.a1B2c3", ".scenes.scv.a1B2c", ".scenes.scv.a1B2c34", ".scenes.scv.a1-2c3",
          ".other.scv.a1B2c3", ".scenes.scv", ".scenes.scv.bak.a1B2c3", "..scenes.scv.a1B2c3"}) {
        EXPECT_FALSE(kivo::isTemporaryNameOf(other, target)) << other;
    }
    EXPECT_EQ(fs::path(kivo::temporaryPatternOf(target)).filename(), ".scenes.scv.XXXXXX");
}

// Killed writers leave their temporaries; the next save removes them, keeps the temporary of a
// writer that is still alive, and leaves every other file alone.
TEST_F(StaleTemporaries, TheNextSaveRemovesOnlyWhatKilledWritersLeft) {
    ASSERT_EQ(kivo::writeFileAtomically(m_target, contentOf('a')), 1);
    const pid_t alive = startStuckWriter();
    const std::vector<std::string> live = temporaries();
    ASSERT_EQ(live.size(), 1u);
    // Every writer cleans up after the killed ones before it, never after the live one.
    killAndReap(startStuckWriter());
    const std::vector<std::string> firstDead = temporaries();
    ASSERT_EQ(firstDead.size(), 2u);
    killAndReap(startStuckWriter());
    const std::vector<std::string> secondDead = temporaries();
    ASSERT_EQ(secondDead.size(), 2u);
    EXPECT_NE(secondDead, firstDead);
    EXPECT_TRUE(std::find(secondDead.begin(), secondDead.end(), live[0]) != secondDead.end());

    const std::vector<fs::path> bystanders = {
        m_dir / ".other.scv.a1B2c3", m_dir / "scenes.scv.a1B2c3", m_dir / ".scenes.scv.a1B2c34",
        m_dir / ".scenes.scv.bak.a1B2c3", m_dir / "notes.txt"};
    for (const fs::path &path : bystanders) {
        touch(path);
    }
    fs::create_directory(m_dir / ".scenes.scv.Dir123");

    ASSERT_EQ(kivo::writeFileAtomically(m_target, contentOf('b')), 1);
    EXPECT_EQ(temporaries(), live);
    EXPECT_TRUE(fs::is_directory(m_dir / ".scenes.scv.Dir123"));
    for (const fs::path &path : bystanders) {
        EXPECT_TRUE(fs::exists(path)) << path;
    }
    EXPECT_EQ(kivo::readWholeFile(m_target), contentOf('b'));

    killAndReap(alive);
    ASSERT_EQ(kivo::writeFileAtomically(m_target, contentOf('c')), 1);
    EXPECT_TRUE(temporaries().empty());
    EXPECT_EQ(kivo::readWholeFile(m_target), contentOf('c'));
}

// A process saving over and over is killed at random moments: after every kill the target is
// whole (old or new content), and the next save leaves no temporary behind.
TEST_F(StaleTemporaries, RandomKillsDuringSavesLeaveNoLitter) {
    ASSERT_EQ(kivo::writeFileAtomically(m_target, contentOf('0')), 1);
    std::mt19937 random(25);
    std::uniform_int_distribution<int> delayMs(0, 40);
    int leftBehind = 0;
    for (int round = 0; round < 20; ++round) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (char fill = 'A';; fill = fill == 'Z' ? 'A' : static_cast<char>(fill + 1)) {
                kivo::writeFileAtomically(m_target.string(), contentOf(fill));
            }
        }
        m_children.push_back(child);
        std::this_thread::sleep_for(std::chrono::milliseconds(5 + delayMs(random)));
        killAndReap(child);
        const auto bytes = kivo::readWholeFile(m_target);
        ASSERT_TRUE(bytes.has_value());
        ASSERT_TRUE(isWhole(*bytes)) << "round " << round;
        leftBehind += static_cast<int>(temporaries().size());
        ASSERT_EQ(kivo::writeFileAtomically(m_target, contentOf('0')), 1);
        ASSERT_TRUE(temporaries().empty()) << "round " << round;
    }
    // Most kills land while a temporary is being written; otherwise the test proves nothing.
    EXPECT_GT(leftBehind, 5);
}

}  // namespace
