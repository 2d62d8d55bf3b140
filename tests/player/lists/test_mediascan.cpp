#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <stop_token>

#include "player/lists/folderhistory.h"
#include "player/lists/foundfiles.h"
#include "player/lists/mediascan.h"
#include "scratchfolder.h"

namespace fs = std::filesystem;
using kivo::lists::CFoundFile;
using kivo::lists::CMediaScan;

namespace {

void makeFile(const fs::path &path, uintmax_t size = 1) {
    fs::create_directories(path.parent_path());
    std::ofstream(path).put('x');
    fs::resize_file(path, size);  // sparse beyond the first byte
}

struct CScanRun {
    CMediaScan::Outcome outcome;
    std::vector<CFoundFile> files;
    size_t batches = 0;
};

CScanRun scan(const std::string &folder, size_t batchSize = 256,
              std::stop_source *stopAfterFirst = nullptr) {
    CScanRun run{};
    CMediaScan scanner(
        [&](std::vector<CFoundFile> batch) {
            ++run.batches;
            run.files.insert(run.files.end(), batch.begin(), batch.end());
            if (stopAfterFirst) {
                stopAfterFirst->request_stop();
            }
        },
        batchSize, std::chrono::hours(1));
    run.outcome =
        scanner.run(folder, stopAfterFirst ? stopAfterFirst->get_token() : std::stop_token{});
    return run;
}

std::vector<std::string> relativePaths(const CScanRun &run, const fs::path &root) {
    std::vector<std::string> paths;
    for (const CFoundFile &file : run.files) {
        paths.push_back(fs::path(file.path).lexically_relative(root).string());
    }
    return paths;
}

}  // namespace

TEST(MediaScan, FindsMediaFilesSubFoldersFirstWhereTheyCome) {
    const CScratchFolder root;
    makeFile(root.path() / "a.avi", 1234);
    makeFile(root.path() / "b" / "c.MP3");
    makeFile(root.path() / "b" / "deep" / "e.wav");
    makeFile(root.path() / "b" / "notes.txt");
    makeFile(root.path() / "d.wma");
    makeFile(root.path() / "noext");
    makeFile(root.path() / "small.dat", 31457279);
    makeFile(root.path() / "vcd.DAT", 31457280);
    fs::create_directories(root.path() / "empty");

    const CScanRun run = scan(root.path().string(), 2);
    EXPECT_EQ(run.outcome, CMediaScan::Outcome::Finished);
    EXPECT_EQ(relativePaths(run, root.path()),
              (std::vector<std::string>{"a.avi", "b/c.MP3", "b/deep/e.wav", "d.wma", "vcd.DAT"}));
    EXPECT_EQ(run.batches, 3u);  // two full batches and the rest
    ASSERT_FALSE(run.files.empty());
    const CFoundFile &first = run.files.front();
    EXPECT_EQ(first.name, "a.avi");
    EXPECT_EQ(first.length, 1234u);
    EXPECT_TRUE(std::regex_match(first.creationDate, std::regex(R"(\d{4}-\d{2}-\d{2})")))
        << first.creationDate;
    EXPECT_EQ(run.files.back().length, 31457280u);

    // A folder text with its closing '/' gives the same paths.
    EXPECT_EQ(scan(root.path().string() + "/").files, run.files);
    EXPECT_EQ(scan((root.path() / "missing").string()).outcome, CMediaScan::Outcome::Unreadable);
    EXPECT_TRUE(CMediaScan::accepts("x.dat", 31457280));
    EXPECT_FALSE(CMediaScan::accepts("x.dat", 31457279));
}

TEST(MediaScan, StoppingKeepsWhatWasFound) {
    const CScratchFolder root;
    for (int i = 0; i < 20; ++i) {
        makeFile(root.path() / ("f" + std::to_string(i) + ".avi"));
    }
    std::stop_source stop;
    const CScanRun run = scan(root.path().string(), 3, &stop);
    EXPECT_EQ(run.outcome, CMediaScan::Outcome::Stopped);
    EXPECT_EQ(run.files.size(), 3u);
    EXPECT_EQ(run.batches, 1u);

    std::stop_source before;
    before.request_stop();
    EXPECT_EQ(
        CMediaScan([](std::vector<CFoundFile>) {}).run(root.path().string(), before.get_token()),
        CMediaScan::Outcome::Stopped);
}

TEST(MediaScan, LinksAreFollowedButNeverInALoop) {
    const CScratchFolder root;
    makeFile(root.path() / "top.avi");
    makeFile(root.path() / "elsewhere" / "linked.mp3");
    fs::create_directories(root.path() / "in");
    fs::create_directory_symlink("..", root.path() / "in" / "up");
    fs::create_directory_symlink(".", root.path() / "in" / "self");
    fs::create_directory_symlink(root.path() / "elsewhere", root.path() / "via");
    fs::create_symlink(root.path() / "top.avi", root.path() / "in" / "alias.avi");
    fs::create_symlink(root.path() / "gone.avi", root.path() / "in" / "dangling.avi");

    const CScanRun run = scan(root.path().string());
    EXPECT_EQ(run.outcome, CMediaScan::Outcome::Finished);
    // Each folder once (the link "via" finds "elsewhere" entered already); a link to a file is
    // listed under its own name, a dangling one is not.
    EXPECT_EQ(relativePaths(run, root.path()),
              (std::vector<std::string>{"elsewhere/linked.mp3", "in/alias.avi", "top.avi"}));
}

TEST(MediaScan, NamesThatAreNotUtf8KeepTheirBytesThroughTheFile) {
    const CScratchFolder root;
    const std::string name = "\xB0\xA1\xFF.avi";  // CP949 bytes and a stray one
    makeFile(root.path() / name);
    const CScanRun run = scan(root.path().string());
    ASSERT_EQ(run.files.size(), 1u);
    EXPECT_EQ(run.files[0].name, name);

    std::vector<CFoundFile> loaded;
    ASSERT_TRUE(kivo::lists::readFoundFiles(kivo::lists::foundFilesBytes(run.files), loaded));
    EXPECT_EQ(loaded, run.files);
    EXPECT_TRUE(fs::exists(loaded[0].path));
}

TEST(FolderHistory, AddsAFolderOnceWhateverItsCase) {
    kivo::lists::CFolderHistory history({"/Media", "/media", "/music"});
    EXPECT_EQ(history.folders(), (std::vector<std::string>{"/Media", "/music"}));
    EXPECT_TRUE(history.add("/영화"));
    EXPECT_FALSE(history.add("/영화"));
    EXPECT_FALSE(history.add("/MUSIC"));
    EXPECT_TRUE(history.add("/music/"));
    EXPECT_EQ(history.folders(),
              (std::vector<std::string>{"/Media", "/music", "/영화", "/music/"}));
}
