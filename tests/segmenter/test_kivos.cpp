// The KIVOS program run as a user runs it.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "scene/scvfile.h"
#include "scene/videodescription.h"

namespace fs = std::filesystem;

namespace {

std::string fixture(const std::string &name) {
    const char *dir = std::getenv("KIVO_FIXTURES");
    return std::string(dir ? dir : "fixtures") + "/" + name;
}

std::string quoted(const std::string &text) {
    std::string out = "'";
    for (char c : text) {
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return out + "'";
}

std::string readText(const fs::path &path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class Kivos : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() /
                ("kivo-kivos-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    // Runs KIVOS with the arguments (already quoted) and returns its exit status; standard
    // output and error are kept. Standard error is a file, not a terminal: no progress bar.
    // Runs KIVOS with the arguments, behind an optional command prefix (such as `env -u X`).
    int kivos(const std::string &arguments, const std::string &prefix = "") {
        const std::string command = prefix + quoted(KIVOS_PATH) + " " + arguments + " >" +
                                    quoted((m_dir / "out.txt").string()) + " 2>" +
                                    quoted((m_dir / "err.txt").string()) + " </dev/null";
        const int status = std::system(command.c_str());
        m_out = readText(m_dir / "out.txt");
        m_err = readText(m_dir / "err.txt");
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    fs::path m_dir;
    std::string m_out;
    std::string m_err;
};

std::vector<double> scenesIn(const CVideoDescription &description) {
    std::vector<double> frames;
    if (description.root().childCount() == 1) {
        const CSceneNode *levelOne = description.root().child(0);
        for (int i = 0; i < levelOne->childCount(); ++i) {
            frames.push_back(levelOne->child(i)->frame());
        }
    }
    return frames;
}

}  // namespace

TEST_F(Kivos, SegmentsNextToTheVideoByDefault) {
    const fs::path video = m_dir / "news clip.mkv";
    fs::copy_file(fixture("cuts.mkv"), video);
    ASSERT_EQ(kivos("--segment " + quoted(video.string())), 0) << m_err;
    const fs::path scv = m_dir / "news clip.scv";
    EXPECT_NE(m_out.find(scv.string()), std::string::npos) << m_out;
    CVideoDescription description;
    ASSERT_EQ(loadScv(scv.string(), description), ScvReadResult::Ok);
    EXPECT_EQ(description.mediaPath(), video.string());
    EXPECT_EQ(scenesIn(description), (std::vector<double>{0, 40, 80, 120}));
    EXPECT_EQ(m_err, "");
}

TEST_F(Kivos, WritesTheChosenFilesAndTheSceneTable) {
    const fs::path scv = m_dir / "out.scv";
    const fs::path csv = m_dir / "scenes.csv";
    ASSERT_EQ(kivos("--segment " + quoted(fixture("cuts.mp4")) + " --csv " + quoted(csv.string()) +
                    " --output " + quoted(scv.string())),
              0)
        << m_err;
    CVideoDescription description;
    ASSERT_EQ(loadScv(scv.string(), description), ScvReadResult::Ok);
    EXPECT_EQ(description.mediaPath(), fs::absolute(fixture("cuts.mp4")).string());
    std::istringstream table(readText(csv));
    std::vector<std::string> lines;
    for (std::string line; std::getline(table, line);) {
        lines.push_back(line);
    }
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], "index,first_frame,time,score");
    EXPECT_EQ(lines[1], "1,0,00:00:00,");
    EXPECT_EQ(lines[2].substr(0, 18), "2,40,00:00:01,0.99");
    EXPECT_EQ(lines[3].substr(0, 16), "3,80,00:00:03,0.");
    EXPECT_EQ(lines[4].substr(0, 17), "4,120,00:00:04,0.");
    EXPECT_NE(m_out.find(csv.string()), std::string::npos);
}

TEST_F(Kivos, QuietPrintsNothing) {
    ASSERT_EQ(kivos("--segment " + quoted(fixture("fade.mp4")) + " --quiet --output " +
                    quoted((m_dir / "fade.scv").string())),
              0);
    EXPECT_EQ(m_out, "");
    EXPECT_EQ(m_err, "");
    EXPECT_TRUE(fs::exists(m_dir / "fade.scv"));
}

TEST_F(Kivos, RefusesWhatItCannotSegment) {
    const fs::path text = m_dir / "notes.avi";
    std::ofstream(text) << "not a video\n";
    EXPECT_EQ(kivos("--segment " + quoted(text.string())), 2);
    EXPECT_NE(m_err.find("본 파일은 자동분할을 지원하지 않습니다."), std::string::npos) << m_err;
    EXPECT_FALSE(fs::exists(m_dir / "notes.scv"));

    EXPECT_EQ(kivos("--segment " + quoted((m_dir / "missing.mp4").string())), 2);
    EXPECT_EQ(kivos("--segment " + quoted(fixture("audio.m4a")) + " --output " +
                    quoted((m_dir / "audio.scv").string())),
              2);
    EXPECT_FALSE(fs::exists(m_dir / "audio.scv"));
}

TEST_F(Kivos, UsageForAnythingElse) {
    for (const std::string arguments : {"--segment", "--help", "-x a.mp4", "a.mp4 b.mp4", "''",
                                        "--segment a.mp4 --output", "--segment a.mp4 --bogus"}) {
        EXPECT_EQ(kivos(arguments), 2) << arguments;
        EXPECT_EQ(m_err.find("usage: KIVOS --segment VIDEO"), 0u) << arguments;
        EXPECT_EQ(std::count(m_err.begin(), m_err.end(), '\n'), 1) << arguments;
    }
}

TEST_F(Kivos, TheWindowWithoutADisplaySaysSo) {
    // Both forms that open the window: empty, and with a video loaded.
    for (const std::string &arguments : {std::string(), quoted(fixture("cuts.mp4"))}) {
        EXPECT_EQ(kivos(arguments, "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "), 2)
            << arguments;
        EXPECT_NE(m_err.find("no display"), std::string::npos) << m_err;
        EXPECT_NE(m_err.find("usage: KIVOS --segment VIDEO"), std::string::npos) << m_err;
    }
}

TEST_F(Kivos, NeverWritesOverTheVideo) {
    const fs::path video = m_dir / "clip.scv";  // a video that happens to carry the .scv name
    fs::copy_file(fixture("blackstart.mp4"), video);
    const std::string before = readText(video);
    EXPECT_EQ(kivos("--segment " + quoted(video.string())), 2);
    EXPECT_EQ(kivos("--segment " + quoted(video.string()) + " --output " +
                    quoted((m_dir / "ok.scv").string()) + " --csv " + quoted(video.string())),
              2);
    EXPECT_EQ(readText(video), before);
    EXPECT_NE(m_err.find("is the video itself"), std::string::npos) << m_err;
}

TEST_F(Kivos, UnwritableOutputFails) {
    EXPECT_EQ(kivos("--segment " + quoted(fixture("blackstart.mp4")) + " --output " +
                    quoted((m_dir / "no/such/dir/out.scv").string())),
              1);
    EXPECT_NE(m_err.find("cannot write"), std::string::npos);
}

// A damaged file gives the same scene table on every run, whatever the decoder threads do.
TEST_F(Kivos, ADamagedFileGivesTheSameScenesEveryRun) {
    for (const char *name : {"damaged/cuts.flip0.01.mp4", "damaged/cuts.noise64k.mp4"}) {
        const fs::path csv = m_dir / "scenes.csv";
        std::string first;
        for (int run = 0; run < 4; ++run) {
            ASSERT_EQ(
                kivos("--segment " + quoted(fixture(name)) + " --quiet --csv " +
                      quoted(csv.string()) + " --output " + quoted((m_dir / "out.scv").string())),
                0)
                << name;
            const std::string table = readText(csv);
            ASSERT_NE(table.find("\n1,0,"), std::string::npos) << name;
            if (run == 0) {
                first = table;
            }
            EXPECT_EQ(table, first) << name << " run " << run;
        }
    }
}
