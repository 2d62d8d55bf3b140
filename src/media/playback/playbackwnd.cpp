// The engine's window: the video surface, the blocking open, painting, full screen and mouse
// buttons.

#include "media/playback/playbackwnd.h"

#include "media/playback/logoplacement.h"
#include "playbacklog.h"
#include "videosurface.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QMouseEvent>
#include <QPainter>

CPlaybackWnd::CPlaybackWnd(QWidget *parent)
    : QWidget(parent),
      m_ownEngine(std::make_unique<CPlaybackEngine>()),
      m_engine(m_ownEngine.get()) {
    attach();
}

CPlaybackWnd::CPlaybackWnd(CPlaybackEngine &engine, QWidget *parent)
    : QWidget(parent), m_engine(&engine) {
    attach();
}

CPlaybackWnd::~CPlaybackWnd() {
    // The engine moves its video off the surface first, so that the media plays on without
    // pictures; the render context goes before the engine could destroy its handle.
    if (m_engine != nullptr) {
        m_engine->attachVideoOutput(nullptr);
    }
    m_surface.reset();
}

void CPlaybackWnd::attach() {
    setAttribute(Qt::WA_OpaquePaintEvent);
    connect(m_engine, &CPlaybackEngine::graphEvent, this, &CPlaybackWnd::graphEvent);
    connect(m_engine, &CPlaybackEngine::tick, this, &CPlaybackWnd::tick);
    connect(m_engine, &CPlaybackEngine::steppedEnd, this, &CPlaybackWnd::steppedEnd);
    mpv_handle *handle = m_engine->renderHandle();
    if (handle == nullptr) {
        return;  // no libmpv: nothing to show
    }
    m_surface = createVideoSurface(handle, this);
    if (!m_surface) {
        // Files still open and play; their video is decoded and thrown away.
        qCWarning(lcPlayback) << "no video renderer; media will play without pictures";
        return;
    }
    m_engine->attachVideoOutput(this);
    updateSurfaceVisibility();
}

void CPlaybackWnd::mediaChanged() {
    if (m_engine->state() == CPlaybackEngine::kClosed) {
        if (m_fullScreen) {
            leaveFullScreen();
        }
        if (m_surface) {
            m_surface->clear();
        }
    }
    updateSurfaceVisibility();
    update();
}

void CPlaybackWnd::releaseRenderContext() {
    m_surface.reset();
}

void CPlaybackWnd::engineDestroyed() {
    m_engine = nullptr;
}

int CPlaybackWnd::open(const QString &path) {
    const int ticket = m_engine->startOpen(path);
    if (ticket == 0) {
        return 0;
    }
    int result = 0;
    QEventLoop loop;
    connect(m_engine, &CPlaybackEngine::openFinished, &loop,
            [&result, &loop, ticket](int finished, int outcome) {
                if (finished == ticket) {
                    result = outcome;
                    loop.quit();
                }
            });
    // Deleting the window or its engine meanwhile ends the wait with 0: neither reports again.
    connect(this, &QObject::destroyed, &loop, &QEventLoop::quit);
    connect(m_engine, &QObject::destroyed, &loop, &QEventLoop::quit);
    loop.exec();
    return result;
}

QString CPlaybackWnd::rendererName() const {
    return m_surface ? QString::fromLatin1(m_surface->rendererName()) : QString();
}

quint64 CPlaybackWnd::picturesDrawn() const {
    return m_surface ? m_surface->picturesDrawn() : 0;
}

int CPlaybackWnd::setFullScreen(bool on) {
    if (!m_engine->hasVideo()) {
        return 0;
    }
    if (on == m_fullScreen) {
        return 1;
    }
    if (!on) {
        leaveFullScreen();
        return 1;
    }
    if (parentWidget() != nullptr) {
        m_geometryBeforeFullScreen = geometry();
        setWindowFlag(Qt::Window, true);
    }
    showFullScreen();
    m_fullScreen = true;
    return 1;
}

void CPlaybackWnd::leaveFullScreen() {
    if (parentWidget() != nullptr) {
        setWindowFlag(Qt::Window, false);
        setWindowState(windowState() & ~Qt::WindowFullScreen);
        setGeometry(m_geometryBeforeFullScreen);
        show();
    } else {
        showNormal();
    }
    m_fullScreen = false;
}

void CPlaybackWnd::showVideo(bool show) {
    m_videoShown = show;
    updateSurfaceVisibility();
}

void CPlaybackWnd::updateSurfaceVisibility() {
    if (!m_surface) {
        return;
    }
    m_surface->place(rect());
    m_surface->widget()->setVisible(m_engine->state() != CPlaybackEngine::kClosed &&
                                    m_engine->hasVideo() && m_videoShown);
}

void CPlaybackWnd::setLogoBitmap(const QImage &logo) {
    m_logo = logo;
    update();
}

void CPlaybackWnd::setBackgroundColour(const QColor &colour) {
    m_background = colour;
    update();
}

void CPlaybackWnd::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.fillRect(rect(), m_background);
    if (m_logo.isNull()) {
        return;
    }
    const QRect target = logoRect(size(), m_logo.size());
    if (!target.isEmpty()) {
        painter.drawImage(target, m_logo);
    }
}

void CPlaybackWnd::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    if (m_surface) {
        m_surface->place(rect());
    }
}

void CPlaybackWnd::mousePressEvent(QMouseEvent *event) {
    if (event->button() == Qt::LeftButton) {
        postSignal(&CPlaybackWnd::leftButton);
    } else if (event->button() == Qt::RightButton) {
        postSignal(&CPlaybackWnd::rightButton);
    }
    event->accept();
}

void CPlaybackWnd::postSignal(void (CPlaybackWnd::*signal)()) {
    QMetaObject::invokeMethod(
        this, [this, signal] { emit(this->*signal)(); }, Qt::QueuedConnection);
}

void CPlaybackWnd::closeEvent(QCloseEvent *event) {
    // The window manager closed the full-screen video: playback was ended by the user. The
    // window returns into its parent; the parent decides what stopping means.
    if (m_engine != nullptr) {
        m_engine->reportUserAbort();
    }
    if (m_fullScreen && parentWidget() != nullptr) {
        event->ignore();
        leaveFullScreen();
        return;
    }
    QWidget::closeEvent(event);
}
