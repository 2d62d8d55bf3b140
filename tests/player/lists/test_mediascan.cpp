#include <gtest/gtest.h>

#include <fstream>
#include <regex>

#include "player/lists/folderhistory.h"
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
    std::vector<std::string> paths;  // relative to the folder searched
    std::vector<CFoundFile> files;
    size_t batches = 0;
};

// Scans `root`; with `stop`, asks it to stop after the first batch.
CScanRun scan(const fs::path &root, size_t batchSize = 256, std::stop_source *stop = nullptr) {
    CScanRun run{};
    CMediaScan scanner(
        [&](std::vector<CFoundFile> batch) {
            ++run.batches;
            for (const CFoundFile &file : batch) {
                run.paths.push_back(fs::path(file.path).lexically_relative(root));
                run.files.push_back(file);
            }
            if (stop) {
                stop->request_stop();
            }
        },
        batchSize, std::chrono::hours(1));
    run.outcome = scanner.run(root, stop ? stop->get_token() : std::stop_token{});
    return run;
}

}  // namespace

TEST(MediaScan, FindsMediaFilesSubFoldersFirstWhereTheyCome) {
    const CScratchFolder root;
    makeFile(root.path() / "a.avi", 1234);
    makeFile(root.path() / "b" / "c.MP3");
    makeFile(root.path() / "b" / "deep" / "e.wav");
    makeFile(root.path() / "b" / "notes.txt");
    makeFile(root.path() / "d.wma");
    makeFile(root.path() / "small.dat", 31457279);
    makeFile(root.path() / "vcd.DAT", 31457280);
    makeFile(root.path() / "\xB0\xA1\xFF.mid");  // not UTF-8: found under its bytes

    const CScanRun run = scan(root.path(), 2);
    EXPECT_EQ(run.outcome, CMediaScan::Outcome::Finished);
    EXPECT_EQ(run.paths, (std::vector<std::string>{"a.avi", "b/c.MP3", "b/deep/e.wav", "d.wma",
                                                   "vcd.DAT", "\xB0\xA1\xFF.mid"}));
    EXPECT_EQ(run.batches, 3u);
    EXPECT_EQ(run.files[0].name, "a.avi");
    EXPECT_EQ(run.files[0].length, 1234u);
    EXPECT_TRUE(std::regex_match(run.files[0].creationDate, std::regex(R"(\d{4}-\d{2}-\d{2})")));
    EXPECT_EQ(run.files[4].length, 31457280u);
    EXPECT_TRUE(fs::exists(run.files[5].path));
    EXPECT_EQ(scan(root.path() / "missing").outcome, CMediaScan::Outcome::Unreadable);
    EXPECT_EQ(scan("").outcome, CMediaScan::Outcome::Unreadable);
}

TEST(MediaScan, StoppingKeepsWhatWasFound) {
    const CScratchFolder root;
    for (int i = 0; i < 20; ++i) {
        makeFile(root.path() / ("f" + std::to_string(i) + ".avi"));
    }
    std::stop_source stop;
    const CScanRun run = scan(root.path(), 3, &stop);
    EXPECT_EQ(run.outcome, CMediaScan::Outcome::Stopped);
    EXPECT_EQ(run.files.size(), 3u);
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

    // Each folder once ("via" leads to "elsewhere", entered already); a link to a file counts
    // under its own name, a dangling one not at all.
    const CScanRun run = scan(root.path());
    EXPECT_EQ(run.outcome, CMediaScan::Outcome::Finished);
    EXPECT_EQ(run.paths,
              (std::vector<std::string>{"elsewhere/linked.mp3", "in/alias.avi", "top.avi"}));
}

TEST(FolderHistory, AddsAFolderOnceWhateverItsCase) {
    kivo::lists::CFolderHistory history({"/Media", "/media"});
    EXPECT_TRUE(history.add("/영화"));
    EXPECT_FALSE(history.add("/영화"));
    EXPECT_FALSE(history.add("/MEDIA"));
    EXPECT_EQ(history.folders(), (std::vector<std::string>{"/Media", "/영화"}));
}
