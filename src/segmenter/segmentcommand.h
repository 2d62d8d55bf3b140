#pragma once

// `KIVOS --segment VIDEO [--output FILE.scv] [--csv FILE.csv] [--quiet]`: segments a video
// without a window and writes the scene description (and optionally a table of the scenes).
// `arguments` are the words after the program name. Returns the exit status: 0 done, 1 a file
// could not be written or the program is damaged, 2 bad arguments or a video that cannot be
// segmented.
int runSegmentCommand(int count, const char *const *arguments);

// The one-line usage text.
const char *segmentCommandUsage();
