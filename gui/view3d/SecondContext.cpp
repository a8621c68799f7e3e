#include "view3d/SecondContext.h"

#include <QCoreApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QThread>

namespace vortel::view {

bool SecondContext::start(QOpenGLContext* share) {
    stop();
    if (!share) return false;
    m_surface = new QOffscreenSurface;
    m_surface->setFormat(share->format());
    m_surface->create();
    m_context = new QOpenGLContext;
    m_context->setShareContext(share);
    m_context->setFormat(share->format());
    if (!m_surface->isValid() || !m_context->create() || m_context->shareContext() != share) {
        delete m_context;
        delete m_surface;
        m_context = nullptr;
        m_surface = nullptr;
        return false;
    }
    m_quit = false;
    m_busy = false;
    m_state = 0;
    m_thread = QThread::create([this] { run(); });
    m_context->moveToThread(m_thread);
    m_thread->start();
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_state != 0; });
    const bool ok = m_state == 1;
    lock.unlock();
    if (!ok) stop();
    return ok;
}

void SecondContext::run() {
    const bool current = m_context->makeCurrent(m_surface);
    QOpenGLFunctions functions;
    if (current) functions.initializeOpenGLFunctions();
    std::unique_lock lock(m_mutex);
    m_state = current ? 1 : -1;
    m_changed.notify_all();
    while (current) {
        m_changed.wait(lock, [this] { return m_quit || m_busy; });
        if (m_busy) {
            auto job = std::move(m_job);
            lock.unlock();
            job(functions);
            lock.lock();
            m_busy = false;
            m_changed.notify_all();
            continue;
        }
        break;  // quit with no job left
    }
    lock.unlock();
    if (current) m_context->doneCurrent();
    // Back to the GUI thread, which frees it once this thread has ended.
    m_context->moveToThread(QCoreApplication::instance() ? QCoreApplication::instance()->thread() : nullptr);
}

void SecondContext::post(std::function<void(QOpenGLFunctions&)> job) {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return !m_busy; });
    m_job = std::move(job);
    m_busy = true;
    m_changed.notify_all();
}

void SecondContext::wait() {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return !m_busy; });
}

void SecondContext::stop(std::function<void(QOpenGLFunctions&)> cleanup) {
    if (!m_thread) return;
    if (cleanup && m_state == 1) post(std::move(cleanup));
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return !m_busy; });
        m_quit = true;
        m_changed.notify_all();
    }
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
    delete m_context;
    delete m_surface;
    m_context = nullptr;
    m_surface = nullptr;
}

}  // namespace vortel::view
