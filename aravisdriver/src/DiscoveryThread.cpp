#include "aravisdriver/src/DiscoveryThread.h"

#include <utility>

namespace vyrexaravis {

DiscoveryThread::DiscoveryThread(CameraList& cameras, Discover discover,
                                 std::chrono::milliseconds pause)
    : m_cameras(cameras), m_discover(std::move(discover)), m_pause(pause) {}

DiscoveryThread::~DiscoveryThread() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

bool DiscoveryThread::EnsureStarted() {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_started || m_stopping) {
        return m_started;
    }
    try {
        m_thread = std::thread(&DiscoveryThread::Run, this);
    } catch (...) {
        return false;
    }
    m_started = true;
    return true;
}

uint64_t DiscoveryThread::CompletedDiscoveries() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_completed;
}

void DiscoveryThread::Run() {
    do {
        try {
            m_cameras.Publish(m_discover());
            std::lock_guard<std::mutex> lock(m_mutex);
            ++m_completed;
        } catch (...) {
            // A discovery that failed (out of memory) leaves the previous
            // list in place; the next one tries again.
        }
    } while (WaitForPauseOrStop());
}

// True when the pause ran out, false when the thread is to stop.
bool DiscoveryThread::WaitForPauseOrStop() {
    std::unique_lock<std::mutex> lock(m_mutex);
    return !m_wake.wait_for(lock, m_pause, [this] { return m_stopping; });
}

} // namespace vyrexaravis
