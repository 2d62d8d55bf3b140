#include <gtest/gtest.h>

#include "uisupport/filefilter.h"

namespace {

struct FilterCase {
    const char *windows;
    QStringList qt;
};

TEST(FileFilter, ConvertsWindowsPairsToQtFilters) {
    const FilterCase cases[] = {
        // The image-saving filter of the scene controls: the trailing ';' and '|' vanish and
        // the other case of each extension is matched as well.
        {"Jpeg Files (*.JPG)|*.JPG;|BMP Files (*.BMP)|*.BMP;|",
         {"Jpeg Files (*.JPG *.jpg)", "BMP Files (*.BMP *.bmp)"}},
        // A text whose parentheses are words, not patterns, keeps them.
        {"모든 미디어 파일(모든 형식)|*.mpeg;*.avi;|",
         {"모든 미디어 파일(모든 형식) (*.mpeg *.MPEG *.avi *.AVI)"}},
        // "*.*" means every file on Windows.
        {"모든 파일 (*.*)|*.*;|", {"모든 파일 (*)"}},
        // A pattern list in the text that differs from the real patterns is not replaced.
        {"영상분할 파일 (*.scv)|*.scv", {"영상분할 파일 (*.scv *.SCV)"}},
        {"Movies (*.mov;*.qt)|*.mov;*.qt;|", {"Movies (*.mov *.MOV *.qt *.QT)"}},
        // Pairs without patterns and a dangling text are dropped.
        {"Nothing||Text only", {}},
        {"", {}},
    };
    for (const FilterCase &c : cases) {
        EXPECT_EQ(kivo::ui::qtFileFilters(QString::fromUtf8(c.windows)), c.qt) << c.windows;
    }
}

TEST(FileFilter, JoinsFiltersForOneStringDialogs) {
    EXPECT_EQ(kivo::ui::qtFileFilterString("A (*.a)|*.a|B|*.b;*.c|"),
              QString("A (*.a *.A);;B (*.b *.B *.c *.C)"));
}

}  // namespace
