#include <cstdio>
#include <string_view>

#include "segmenter/segmentcommand.h"

int main(int argc, char **argv) {
    if (argc >= 2 && std::string_view(argv[1]) == "--segment") {
        return runSegmentCommand(argc - 1, argv + 1);
    }
    std::fprintf(stderr, "%s\n", segmentCommandUsage());
    return 2;
}
