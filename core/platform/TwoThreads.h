// Work shared with a second thread: split in two halves, or taken in numbered chunks.
#pragma once

#include <atomic>
#include <barrier>
#include <cstddef>
#include <functional>
#include <system_error>
#include <thread>

namespace vortel {

// Runs each stage for half 0 here and for half 1 on a second thread, both halves
// of a stage done before the next begins; or, with `two` false (or no thread to
// be had), every stage for half 0 and then half 1 here.
template <class... Stages>
void runInHalves(bool two, const Stages&... stages) {
    if (two) {
        std::barrier sync(2);
        auto side = [&](int half) { ((stages(half), sync.arrive_and_wait()), ...); };
        try {
            std::thread second(side, 1);
            side(0);
            second.join();
            return;
        } catch (const std::system_error&) {
        }
    }
    ((stages(0), stages(1)), ...);
}

}  // namespace vortel

namespace vortel {

// Numbered chunks of work done in order on a second thread, while this thread takes
// each chunk as soon as it is finished (waitFor). Without a second thread (too few
// chunks, or none to be had) waitFor does the chunks itself, in the same order.
class ChunkWorker {
public:
    ChunkWorker() = default;
    ChunkWorker(const ChunkWorker&) = delete;
    ChunkWorker& operator=(const ChunkWorker&) = delete;
    ~ChunkWorker() { finish(); }

    void start(size_t chunks, std::function<void(size_t)> work) {
        finish();
        m_work = std::move(work);
        m_chunks = chunks;
        m_done.store(0, std::memory_order_relaxed);
        if (chunks < 2) return;
        try {
            m_thread = std::thread([this] {
                for (size_t c = 0; c < m_chunks; ++c) {
                    m_work(c);
                    m_done.store(c + 1, std::memory_order_release);
                    m_done.notify_one();
                }
            });
        } catch (const std::system_error&) {
        }
    }

    // Returns once chunk `chunk` (and every one before it) is done.
    void waitFor(size_t chunk) {
        if (!m_thread.joinable()) {
            for (size_t c = m_done.load(std::memory_order_relaxed); c <= chunk && c < m_chunks; ++c) {
                m_work(c);
                m_done.store(c + 1, std::memory_order_relaxed);
            }
            return;
        }
        for (size_t done = m_done.load(std::memory_order_acquire); done <= chunk && done < m_chunks;
             done = m_done.load(std::memory_order_acquire))
            m_done.wait(done, std::memory_order_acquire);
    }

    // Every chunk done and the thread gone.
    void finish() {
        if (m_thread.joinable()) {
            m_thread.join();
        } else if (m_chunks > 0) {
            waitFor(m_chunks - 1);
        }
        m_chunks = 0;
    }

private:
    std::function<void(size_t)> m_work;
    size_t m_chunks = 0;
    std::atomic<size_t> m_done{0};
    std::thread m_thread;
};

}  // namespace vortel
