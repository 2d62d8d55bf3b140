#pragma once

#include <QObject>
#include <QThread>

#include <functional>
#include <memory>

// The thread on which a video surface draws with libmpv's render API. libmpv's player core may
// wait for a frame to be drawn, and the GUI thread calls the client API, which may wait for
// the core; drawing on the GUI thread would let each wait for the other (libmpv breaks that
// with a 200 ms timeout and a dropped frame). This thread calls nothing but the render API.
class CRenderThread {
public:
    explicit CRenderThread(const QString &name);
    ~CRenderThread();
    CRenderThread(const CRenderThread &) = delete;
    CRenderThread &operator=(const CRenderThread &) = delete;

    // Runs work on the thread later; safe from any thread, including libmpv's callbacks.
    void post(std::function<void()> work);
    // Runs work on the thread and returns when it is done (GUI thread only).
    void runAndWait(const std::function<void()> &work);
    // Ends the thread once the work in hand is done; work still queued is dropped.
    void stop();

    QThread *thread() { return &m_thread; }

private:
    QThread m_thread;
    std::unique_ptr<QObject> m_context;  // lives on m_thread; queued work runs through it
};
