#pragma once

#include <QObject>
#include <QThread>

#include <atomic>
#include <functional>
#include <memory>

// The thread on which a video surface draws with libmpv's render API. libmpv's player core may
// wait for a frame to be drawn, and the GUI thread calls the client API, which may wait for
// the core; drawing on the GUI thread would let each wait for the other (libmpv breaks that
// with a 200 ms timeout and a dropped frame). This thread calls nothing but the render API.
class CRenderThread {
public:
    // `render` draws one frame on the thread; its argument tells whether only a new frame from
    // libmpv needs drawing (no request since the last drawing asked for a redraw).
    CRenderThread(const QString &name, std::function<void(bool whenNewFrameOnly)> render);
    ~CRenderThread();
    CRenderThread(const CRenderThread &) = delete;
    CRenderThread &operator=(const CRenderThread &) = delete;

    // Runs work on the thread later; safe from any thread, including libmpv's callbacks.
    void post(std::function<void()> work);
    // Runs work on the thread and returns when it is done (GUI thread only).
    void runAndWait(const std::function<void()> &work);
    // Asks for one drawing; requests made while one waits are folded into it. Safe from any
    // thread.
    void requestRender(bool redrawAnyway);
    // Ends the thread once the work in hand is done; work still queued is dropped.
    void stop();

    QThread *thread() { return &m_thread; }

private:
    QThread m_thread;
    std::unique_ptr<QObject> m_context;  // lives on m_thread; queued work runs through it
    std::function<void(bool)> m_render;
    std::atomic<bool> m_renderQueued{false};
    std::atomic<bool> m_redrawAnyway{false};
};
