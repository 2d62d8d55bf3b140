// The media finder's scan as a command for scan_vs_find.sh: `kivo_lists_probe FOLDER` searches
// the folder and prints the number of files found.

#include <cstdio>

#include "player/lists/mediascan.h"

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    size_t found = 0;
    kivo::lists::CMediaScan scan(
        [&](std::vector<kivo::lists::CFoundFile> batch) { found += batch.size(); });
    if (scan.run(argv[1]) != kivo::lists::CMediaScan::Outcome::Finished) {
        std::fprintf(stderr, "%s: cannot search %s\n", argv[0], argv[1]);
        return 1;
    }
    std::printf("%zu\n", found);
    return 0;
}
