// kivo-userguide TEMPLATE OUTPUT: writes the user guide with its keyboard table made from the
// player's accelerator data, in place of the template's "<!-- shortcut table -->" line. Run by
// the build, so the guide's keys cannot drift from the player's.
#include <QFile>
#include <QSaveFile>
#include <QString>

#include <cstdio>

#include "player/transport/shortcuttable.h"

int main(int argc, char **argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: kivo-userguide TEMPLATE OUTPUT\n");
        return 2;
    }
    QFile input(QString::fromLocal8Bit(argv[1]));
    if (!input.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "kivo-userguide: cannot read %s\n", argv[1]);
        return 1;
    }
    QString guide = QString::fromUtf8(input.readAll());
    const QString marker = QStringLiteral("<!-- shortcut table -->");
    if (guide.count(marker) != 1) {
        std::fprintf(stderr, "kivo-userguide: %s needs one \"%s\" line\n", argv[1],
                     qPrintable(marker));
        return 1;
    }
    guide.replace(marker, kivo::player::shortcutTableHtml());
    QSaveFile output(QString::fromLocal8Bit(argv[2]));
    if (!output.open(QIODevice::WriteOnly) || output.write(guide.toUtf8()) < 0 ||
        !output.commit()) {
        std::fprintf(stderr, "kivo-userguide: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
