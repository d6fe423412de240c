#include "task_registry.h"

#include "preemption_lock.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

namespace {

// How long unloading waits for tasks still running; a task blocked for good
// must not hold up the end of the process.
constexpr std::chrono::seconds kUnloadWait{5};

class Registry {
public:
    // Tasks use the preemption lock until their last moment: it must outlive
    // the registry's joins.
    Registry() { preemptionLockPrepare(); }

    ~Registry() {
        std::unique_lock<std::mutex> hold(m_mutex);
        m_changed.wait_for(hold, kUnloadWait, [this] { return m_running == 0; });
        joinFinished(hold);
    }

    void starting() {
        std::unique_lock<std::mutex> hold(m_mutex);
        joinFinished(hold); // threads that ended since the last start
        ++m_running;
    }

    void startFailed() {
        std::lock_guard<std::mutex> hold(m_mutex);
        --m_running;
        m_changed.notify_all();
    }

    void finished(pthread_t self) {
        std::lock_guard<std::mutex> hold(m_mutex);
        --m_running;
        m_finished.push_back(self);
        m_changed.notify_all();
    }

private:
    // A finished thread is at most a few instructions from its end: joining
    // it does not wait long.
    void joinFinished(std::unique_lock<std::mutex>& hold) {
        std::vector<pthread_t> ended;
        ended.swap(m_finished);
        hold.unlock();
        for (pthread_t thread : ended) {
            pthread_join(thread, nullptr);
        }
        hold.lock();
    }

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<pthread_t> m_finished;
    size_t m_running = 0;
};

Registry& registry() {
    static Registry instance;
    return instance;
}

} // namespace

void taskRegistryStarting() {
    registry().starting();
}

void taskRegistryStartFailed() {
    registry().startFailed();
}

void taskRegistryFinished(pthread_t self) {
    registry().finished(self);
}
