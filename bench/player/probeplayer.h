#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>

#include "media/playback/playbackengine.h"
#include "player/transport/window/playerdlg.h"
#include "uisupport/registry.h"

// The player as the benchmark probes drive it: the control panel on scratch settings, with no
// sound output, shown.
class CProbePlayer {
public:
    CProbePlayer()
        : m_registry(m_scratch.filePath(QStringLiteral("KIVOP.conf"))), m_panel(m_registry, {}) {
        m_panel.session().engine().setAudioOutput(QStringLiteral("null"));
        m_panel.show();
    }

    CPlayerDlg &panel() { return m_panel; }
    // A path in the probe's scratch folder, removed at its end.
    QString scratchPath(const QString &name) const { return m_scratch.filePath(name); }

    // Opens the file, playing when asked; false, said on standard error, when it cannot.
    bool open(const QString &path, bool play) {
        if (m_panel.openFile(path, play) == 1) {
            return true;
        }
        std::fprintf(stderr, "cannot open %s\n", qPrintable(path));
        return false;
    }

private:
    QTemporaryDir m_scratch;
    COVRegistry m_registry;
    CPlayerDlg m_panel;
};

// Serves the event loop until done() holds or limitMs have passed; whether done() holds.
inline bool waitFor(const std::function<bool()> &done, int limitMs = 20000) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < limitMs) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 2);
    }
    return done();
}
