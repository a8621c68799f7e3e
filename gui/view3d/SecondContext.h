// A second GL context that shares its objects (buffers, textures, renderbuffers) with
// the view's, current on a thread of its own. With Mesa's software rasteriser each
// context sets up its primitives on the thread that draws them, so two contexts drawing
// separate parts of the view at once use both processors for it (see
// MeshRenderer::drawWireFaces).
#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>

class QOpenGLContext;
class QOpenGLFunctions;
class QOffscreenSurface;
class QThread;

namespace vortel::view {

class SecondContext {
public:
    SecondContext() = default;
    ~SecondContext() { stop(); }
    SecondContext(const SecondContext&) = delete;
    SecondContext& operator=(const SecondContext&) = delete;

    // GUI thread: creates the context, sharing with `share`, and its thread, and makes it
    // current there. False (and nothing left behind) when either cannot be had.
    bool start(QOpenGLContext* share);
    // Runs `cleanup` (when given) on the thread with the context current, then ends the
    // thread and frees the context. GUI thread.
    void stop(std::function<void(QOpenGLFunctions&)> cleanup = {});
    bool running() const { return m_thread != nullptr; }

    // Runs job on the second thread with its context current; returns at once. One job
    // at a time: the next post waits for the last one.
    void post(std::function<void(QOpenGLFunctions&)> job);
    // Returns when the job posted last has returned.
    void wait();

private:
    void run();

    QThread* m_thread = nullptr;
    QOpenGLContext* m_context = nullptr;
    QOffscreenSurface* m_surface = nullptr;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::function<void(QOpenGLFunctions&)> m_job;
    bool m_busy = false, m_quit = false;
    int m_state = 0;  // 0 starting, 1 current, -1 could not be made current
};

}  // namespace vortel::view
