// The backend's own thread: runs one discovery after another, with a pause
// between them, and publishes each completed one. A discovery over the
// network takes about a second (Aravis waits out its discovery timeout), so
// it runs here and never on a caller's thread.
#pragma once

#include "aravisdriver/src/CameraList.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace vyrexaravis {

class DiscoveryThread {
public:
    using Discover = std::function<std::vector<Camera>()>;

    // Nothing runs until EnsureStarted.
    DiscoveryThread(CameraList& cameras, Discover discover, std::chrono::milliseconds pause);

    // Stops the thread: it ends after the discovery in progress, if any.
    ~DiscoveryThread();

    DiscoveryThread(const DiscoveryThread&) = delete;
    DiscoveryThread& operator=(const DiscoveryThread&) = delete;

    // Starts the thread on the first call; later calls return at once. False
    // when no thread could be made (the next call tries again).
    bool EnsureStarted();

    // The number of discoveries published so far.
    uint64_t CompletedDiscoveries() const;

private:
    void Run();
    bool WaitForPauseOrStop();

    CameraList& m_cameras;
    const Discover m_discover;
    const std::chrono::milliseconds m_pause;

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_started = false;
    bool m_stopping = false;
    uint64_t m_completed = 0;
    std::thread m_thread;
};

} // namespace vyrexaravis
