#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <ctime>
#include <fstream>
#include <functional>
#include <map>
#include <regex>

#include "player/lists/folderfiles.h"
#include "player/lists/folderhistory.h"
#include "player/lists/localdate.h"
#include "player/lists/mediakind.h"
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
CScanRun scan(const fs::path &root, size_t batchSize = 256, std::stop_source *stop = nullptr,
              std::chrono::milliseconds batchInterval = std::chrono::hours(1)) {
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
        batchSize, batchInterval);
    run.outcome = scanner.run(root, stop ? stop->get_token() : std::stop_token{});
    return run;
}

// The files of a tree in the scan's order, by a plain recursive walk: a folder's entries in
// byte order of their names, a sub-folder's files where the sub-folder comes. With each file's
// length; `rule` says which names count for a length.
std::vector<std::pair<std::string, uintmax_t>> expectedFiles(
    const fs::path &root, const fs::path &folder,
    const std::function<bool(const std::string &, uintmax_t)> &rule) {
    std::map<std::string, fs::directory_entry> entries;
    for (const fs::directory_entry &entry : fs::directory_iterator(folder)) {
        entries.emplace(entry.path().filename().string(), entry);
    }
    std::vector<std::pair<std::string, uintmax_t>> files;
    for (const auto &[name, entry] : entries) {
        if (entry.is_directory()) {
            for (auto &file : expectedFiles(root, entry.path(), rule)) {
                files.push_back(std::move(file));
            }
        } else if (entry.is_regular_file() && rule(name, entry.file_size())) {
            files.emplace_back(entry.path().lexically_relative(root), entry.file_size());
        }
    }
    return files;
}

size_t openDescriptors() {
    return size_t(std::distance(fs::directory_iterator("/proc/self/fd"), {}));
}

// The process's limit of open descriptors lowered for a while.
class CDescriptorLimit {
public:
    explicit CDescriptorLimit(rlim_t most) {
        ::getrlimit(RLIMIT_NOFILE, &m_saved);
        rlimit lowered = m_saved;
        lowered.rlim_cur = most;
        ::setrlimit(RLIMIT_NOFILE, &lowered);
    }
    ~CDescriptorLimit() { ::setrlimit(RLIMIT_NOFILE, &m_saved); }

private:
    rlimit m_saved{};
};

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
    // Past the interval, each folder's files go out without waiting for a full batch.
    EXPECT_EQ(scan(root.path(), 1000, nullptr, std::chrono::milliseconds(0)).batches, 4u);
    EXPECT_EQ(scan(root.path() / "missing").outcome, CMediaScan::Outcome::Unreadable);
    EXPECT_EQ(scan("").outcome, CMediaScan::Outcome::Unreadable);
}

// Folders whose files and sub-folders alternate by name, three levels deep, so the records of a
// folder come before, between and after those of its sub-folders; the sizes and dates are read
// on other threads while the walk goes on, and must still come in the walk's order.
TEST(MediaScan, ManyFoldersComeInTheWalksOrderWithTheirLengths) {
    const CScratchFolder root;
    const char *const names[] = {"a.avi", "c.MP3", "e.txt", "g.dat", "i.Wma", "k.mkv"};
    size_t made = 0;
    const std::function<void(const fs::path &, int)> fill = [&](const fs::path &folder, int depth) {
        for (int i = 0; i < 6; ++i) {
            const uintmax_t length = made % 5 == 0 ? 31457280 + made : made % 7;
            makeFile(folder / names[i], length);
            ++made;
            if (depth < 3 && i % 2 == 0) {
                fill(folder / std::string(1, char('b' + 2 * i)), depth + 1);
            }
        }
    };
    fill(root.path(), 0);

    const auto expected =
        expectedFiles(root.path(), root.path(), [](const std::string &name, uintmax_t length) {
            const auto kind = kivo::lists::kindOfFileName(name);
            return kind.kind != kivo::lists::kUnsupported && (!kind.dat || length >= 31457280);
        });
    const CScanRun run = scan(root.path(), 7);
    EXPECT_EQ(run.outcome, CMediaScan::Outcome::Finished);
    ASSERT_EQ(run.files.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(run.paths[i], expected[i].first) << i;
        EXPECT_EQ(run.files[i].length, expected[i].second) << run.paths[i];
        EXPECT_EQ(run.files[i].name, fs::path(expected[i].first).filename()) << run.paths[i];
    }
    EXPECT_GT(expected.size(), 150u);
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

    // A larger tree, still being read when the stop comes: the folders open then are closed.
    for (int i = 0; i < 150; ++i) {
        for (int j = 0; j < 10; ++j) {
            makeFile(root.path() / ("d" + std::to_string(i)) / ("m" + std::to_string(j) + ".mp3"));
        }
    }
    const size_t descriptors = openDescriptors();
    std::stop_source laterStop;
    const CScanRun stopped = scan(root.path(), 5, &laterStop);
    EXPECT_EQ(stopped.outcome, CMediaScan::Outcome::Stopped);
    EXPECT_EQ(stopped.files.size(), 5u);
    EXPECT_EQ(openDescriptors(), descriptors);
}

// A desktop session may allow a process 1024 descriptors, or fewer: a tree of many more
// folders than that is still searched whole, however far the walk runs ahead of the reading.
TEST(MediaScan, AFewDescriptorsSearchATreeOfManyFolders) {
    const CScratchFolder root;
    for (int i = 0; i < 200; ++i) {
        for (int j = 0; j < 20; ++j) {
            makeFile(root.path() / ("d" + std::to_string(1000 + i)) /
                     ("m" + std::to_string(j) + ".avi"));
        }
    }
    const CDescriptorLimit limit(openDescriptors() + 80);
    const CScanRun run = scan(root.path());
    EXPECT_EQ(run.outcome, CMediaScan::Outcome::Finished);
    EXPECT_EQ(run.files.size(), 200u * 20u);
}

// The readers on their own, with more threads than this machine may run side by side and with
// none (the system gave none; the caller reads everything): every folder's records in the order
// its names were added, nothing for names that are not there (a file gone since the listing),
// are no plain file or are shorter than asked.
TEST(FolderFileReaders, ReadEveryFolderAndPassOverWhatIsGone) {
    const CScratchFolder root;
    for (int i = 0; i < 40; ++i) {
        const fs::path folder = root.path() / std::to_string(i);
        makeFile(folder / "short.dat", 10);
        makeFile(folder / "long.dat", 31457280);
        makeFile(folder / ("clip" + std::to_string(i) + ".avi"), 1000 + i);
        fs::create_directory(folder / "inner.avi");
    }
    for (const unsigned threads : {4u, 0u}) {
        std::vector<std::shared_ptr<kivo::lists::CFolderFiles>> folders;
        {
            kivo::lists::CFolderFileReaders readers(threads, {});
            for (int i = 0; i < 40; ++i) {
                const std::string path = root / (std::to_string(i) + "/");
                auto folder = std::make_shared<kivo::lists::CFolderFiles>(
                    ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC), path);
                folder->add("clip" + std::to_string(i) + ".avi", 0);
                folder->add("gone.avi", 0);
                folder->add("short.dat", 31457280);
                folder->add("long.dat", 31457280);
                folder->add("inner.avi", 0);
                folders.push_back(folder);
                readers.submit(std::move(folder));
            }
            while (readers.readNext()) {
            }
            for (const auto &folder : folders) {
                folder->waitUntilReady();
            }
        }
        kivo::lists::CLocalDates dates;
        for (int i = 0; i < 40; ++i) {
            const kivo::lists::CFolderFiles &folder = *folders[size_t(i)];
            const std::optional<CFoundFile> clip = folder.record(0, dates);
            ASSERT_TRUE(clip) << threads << " threads, folder " << i;
            EXPECT_EQ(clip->name, "clip" + std::to_string(i) + ".avi");
            EXPECT_EQ(clip->path,
                      root / (std::to_string(i) + "/clip" + std::to_string(i) + ".avi"));
            EXPECT_EQ(clip->length, uint64_t(1000 + i));
            EXPECT_FALSE(folder.record(1, dates));
            EXPECT_FALSE(folder.record(2, dates));
            EXPECT_EQ(folder.record(3, dates).value_or(CFoundFile{}).length, 31457280u);
            EXPECT_FALSE(folder.record(4, dates));
            EXPECT_FALSE(folder.record(5, dates));
        }
    }
}

// The scan's lookup by name agrees with the playlist's by path, names of every shape.
TEST(MediaKind, ANamesKindIsTheKindOfItsPath) {
    const char *const names[] = {"a.avi",       "A.AVI",        "x.Mp3",     "clip.m2ts",
                                 "song.midi",   "song.midis",   "noext",     ".avi",
                                 "avi",         "a.",           "a..mp3",    "a.mp3.txt",
                                 "a.txt.mp3",   "a.DAT",        "a.dat.avi", "a.wv",
                                 "a.w",         "\xB0\xA1.ogg", "a.\xC0VI",  "back\\slash.avi",
                                 "dot.at.end.", "a.tS",         "a.mpegs"};
    for (const char *name : names) {
        const kivo::lists::CNameKind kind = kivo::lists::kindOfFileName(name);
        EXPECT_EQ(kind.kind, kivo::lists::kindOfPath(name)) << name;
        EXPECT_EQ(kind.dat, kivo::lists::lowerExtension(name) == "dat") << name;
    }
}

// Dates come from the last day remembered while a time is in it: across the clock changes of
// zones that change at two in the morning, skip midnight, repeat the hour before or after it, every
// time in ten-minute steps (forwards, then backwards) gets the date the C library gives it.
TEST(LocalDates, RememberedDaysGiveTheDatesOfTheZone) {
    const std::string saved = ::getenv("TZ") ? ::getenv("TZ") : "";
    const bool hadZone = ::getenv("TZ") != nullptr;
    const std::pair<const char *, time_t> changes[] = {
        {"Europe/Berlin", 1711846800},      // 2024-03-31 02:00 -> 03:00
        {"Europe/Berlin", 1729990800},      // 2024-10-27 03:00 -> 02:00
        {"America/Sao_Paulo", 1541300400},  // 2018-11-04 00:00 -> 01:00
        {"America/Sao_Paulo", 1550368800},  // 2019-02-17 00:00 -> 02-16 23:00
        {"America/Havana", 1699160400},     // 2023-11-05 01:00 -> 00:00
        {"UTC", 1700000000},
    };
    for (const auto &[zone, change] : changes) {
        ASSERT_TRUE(fs::exists(fs::path("/usr/share/zoneinfo") / zone)) << zone;
        ::setenv("TZ", zone, 1);
        ::tzset();
        std::vector<time_t> times;
        for (time_t t = change - 3 * 86400; t < change + 3 * 86400; t += 600) {
            times.push_back(t);
        }
        for (int pass = 0; pass < 2; ++pass) {
            kivo::lists::CLocalDates dates;
            for (const time_t t : times) {
                struct tm local {};
                char text[32] = {};
                ::localtime_r(&t, &local);
                std::strftime(text, sizeof text, "%Y-%m-%d", &local);
                ASSERT_EQ(dates.textOf(t), text) << zone << " at " << t;
            }
            std::reverse(times.begin(), times.end());
        }
    }
    if (hadZone) {
        ::setenv("TZ", saved.c_str(), 1);
    } else {
        ::unsetenv("TZ");
    }
    ::tzset();
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
