#pragma once

#include <string>
#include <vector>

#include "indexpattern.h"

// The damaged copies of the codec fixtures that the fixture generator makes: damaged/STEM.KIND.EXT.
inline const std::vector<std::string> &damageKinds() {
    static const std::vector<std::string> kinds = {"flip0.01", "flip1",    "cut30",
                                                   "cut90",    "noise64k", "zerohead"};
    return kinds;
}

inline std::vector<std::string> codecFixtures(const std::string &kind) {
    std::vector<std::string> names;
    for (const char *variant :
         {".mp4", ".mkv", ".mpg", "-mpeg4.avi", ".wmv", "-mjpeg.avi", ".mov"}) {
        names.push_back(kind + variant);
    }
    return names;
}

inline std::string damagedCopy(const std::string &fixture, const std::string &kind) {
    const size_t dot = fixture.rfind('.');
    return fixturePath("damaged/" + fixture.substr(0, dot) + "." + kind + fixture.substr(dot));
}
