#include "renderthread.h"

CRenderThread::CRenderThread(const QString &name, std::function<void(bool)> render)
    : m_context(std::make_unique<QObject>()), m_render(std::move(render)) {
    m_thread.setObjectName(name);
    m_context->moveToThread(&m_thread);
    m_thread.start();
}

CRenderThread::~CRenderThread() {
    stop();
}

void CRenderThread::post(std::function<void()> work) {
    QMetaObject::invokeMethod(m_context.get(), std::move(work), Qt::QueuedConnection);
}

void CRenderThread::requestRender(bool redrawAnyway) {
    if (redrawAnyway) {
        m_redrawAnyway = true;
    }
    if (!m_renderQueued.exchange(true)) {
        post([this] {
            m_renderQueued = false;
            m_render(!m_redrawAnyway.exchange(false));
        });
    }
}

void CRenderThread::runAndWait(const std::function<void()> &work) {
    if (!m_thread.isRunning()) {
        return;
    }
    QMetaObject::invokeMethod(m_context.get(), work, Qt::BlockingQueuedConnection);
}

void CRenderThread::stop() {
    m_thread.quit();
    m_thread.wait();
}
