#include "scene/mediapath.h"

#include <gtest/gtest.h>

TEST(MediaPath, RelativeStoredPathsResolveAgainstTheScvFolder) {
    struct Case {
        const char *stored;
        const char *scv;
        const char *candidate;
    };
    const Case cases[] = {
        {"..\\movie.avi", "C:\\a\\b\\x.scv", "\\a\\movie.avi"},
        {"movie.avi", "C:\\a\\b\\x.scv", "\\a\\b\\movie.avi"},
        {"..\\..\\movie.avi", "C:\\a\\b\\c\\x.scv", "\\a\\movie.avi"},
        {"../movie.avi", "/home/u/a/b/x.scv", "/home/u/a/movie.avi"},
        {"..\\clips\\movie.avi", "/home/u/a/b/x.scv", "/home/u/a/clips/movie.avi"},
        {"movie.avi", "x.scv", "/movie.avi"},
        {"C:\\v\\movie.avi", "/home/u/x.scv", "C:\\v\\movie.avi"},
        {"/srv/movie.avi", "/home/u/x.scv", "/srv/movie.avi"},
        {"\\v\\movie.avi", "C:\\x.scv", "\\v\\movie.avi"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(mediaPathCandidate(c.stored, c.scv), c.candidate) << c.stored << " in " << c.scv;
    }
}

TEST(MediaPath, CandidateIsUsedOnlyWhenTheFileExists) {
    std::string asked;
    const auto existsOnly = [&](const std::string &wanted) {
        return [&asked, wanted](const std::string &path) {
            asked = path;
            return path == wanted;
        };
    };
    EXPECT_EQ(resolveMediaPath("..\\movie.avi", "C:\\a\\b\\x.scv", existsOnly("/a/movie.avi")),
              "/a/movie.avi");
    EXPECT_EQ(asked, "/a/movie.avi");
    EXPECT_EQ(resolveMediaPath("..\\movie.avi", "C:\\a\\b\\x.scv", existsOnly("/nowhere")),
              "..\\movie.avi");
    EXPECT_EQ(resolveMediaPath("", "/a/x.scv", existsOnly("")), "");
}

TEST(MediaPath, RelativeTest) {
    EXPECT_TRUE(isRelativeMediaPath("a.avi"));
    EXPECT_TRUE(isRelativeMediaPath("..\\a.avi"));
    EXPECT_FALSE(isRelativeMediaPath("/a.avi"));
    EXPECT_FALSE(isRelativeMediaPath("\\a.avi"));
    EXPECT_FALSE(isRelativeMediaPath("D:a.avi"));
    EXPECT_FALSE(isRelativeMediaPath(""));
}
