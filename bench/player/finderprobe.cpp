// The media finder page searching a folder in the running player, for scan_vs_find.sh:
//
//   kivo_finder_probe FOLDER   prints the files found, the search's wall time in ms, how many
//                              times a second the page was repainted meanwhile and the longest
//                              time in ms the window went without a repaint
//
// A timer asks for a repaint every 20 ms, as an animation would; the page counts the repaints
// that reached the screen.
#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>

#include "player/lists/window/mediafinderpanel.h"
#include "player/transport/window/playercontainers.h"
#include "player/transport/window/playerdlg.h"
#include "uisupport/flatcontrols.h"
#include "uisupport/registry.h"

namespace {

// Counts the paints of a widget and the longest time between two of them.
class CPaintWatch : public QObject {
public:
    explicit CPaintWatch(QWidget &widget) { widget.installEventFilter(this); }

    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::Paint && m_clock.isValid()) {
            const qint64 now = m_clock.elapsed();
            m_longestGap = std::max(m_longestGap, now - m_last);
            m_last = now;
            ++m_paints;
        }
        return QObject::eventFilter(watched, event);
    }
    void start() {
        m_clock.start();
        m_last = 0;
    }
    int paints() const { return m_paints; }
    qint64 longestGap() const { return m_longestGap; }

private:
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_longestGap = 0;
    int m_paints = 0;
};

}  // namespace

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    QTemporaryDir scratch;
    COVRegistry registry(scratch.filePath(QStringLiteral("KIVOP.conf")));
    CPlayerDlg panel(registry, {});
    CInfoContainerWnd &info = *panel.infoContainer();
    info.resize(300, 600);
    info.show();
    CMediaFinderPanel &finder = *info.finderPanel();
    finder.folderBox().setEditText(QString::fromLocal8Bit(argv[1]));
    CPaintWatch watch(finder);
    QTimer animation;
    QObject::connect(&animation, &QTimer::timeout, &finder, [&finder] { finder.update(); });
    bool ended = false;
    QObject::connect(&finder, &CMediaFinderPanel::searchEnded, [&ended] { ended = true; });

    QElapsedTimer clock;
    watch.start();
    animation.start(20);
    clock.start();
    finder.search();
    while (!ended && clock.elapsed() < 600000) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    const double seconds = double(clock.elapsed()) / 1000;
    std::printf("%zu %.1f %.1f %lld\n", panel.foundFiles().size(), seconds * 1000,
                watch.paints() / std::max(seconds, 0.001),
                static_cast<long long>(watch.longestGap()));
    return 0;
}
