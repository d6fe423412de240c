#include "aravisdriver/src/DiscoveryThread.h"

#include "Waiting.h"

#include <gtest/gtest.h>

#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <fstream>
#include <mutex>
#include <new>
#include <string>
#include <thread>

namespace vyrexaravis {
namespace {

using namespace std::chrono_literals;

// The threads of this process, as the system counts them.
int ThreadsOfThisProcess() {
    std::ifstream status("/proc/self/status");
    std::string field;
    while (status >> field) {
        if (field == "Threads:") {
            int threads = 0;
            status >> threads;
            return threads;
        }
    }
    return -1;
}

// Whether the thread of this process with that id sleeps (blocked in a wait).
bool Sleeps(pid_t thread) {
    std::ifstream stat("/proc/self/task/" + std::to_string(thread) + "/stat");
    std::string line;
    std::getline(stat, line);
    const size_t end = line.rfind(')'); // the name in parentheses may hold blanks
    return end != std::string::npos && line.compare(end, 4, ") S ") == 0;
}

uint32_t CountOf(const CameraList& list) {
    uint32_t count = 0;
    list.EnumerateCameras(nullptr, &count, 1);
    return count;
}

std::vector<Camera> Cameras(size_t count) {
    std::vector<Camera> cameras(count);
    for (size_t i = 0; i < count; ++i) {
        cameras[i].interfaceName = "camera" + std::to_string(i);
    }
    return cameras;
}

// A discovery that stays in progress until the test lets it finish, like
// Aravis waiting out its discovery timeout.
class HeldDiscovery {
public:
    std::vector<Camera> operator()() {
        std::unique_lock<std::mutex> lock(m_mutex);
        ++m_started;
        m_changed.notify_all();
        m_changed.wait(lock, [this] { return m_open || m_released > 0; });
        if (!m_open) {
            --m_released;
        }
        return Cameras(m_started);
    }
    void waitUntilStarted(int passes) {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait(lock, [&] { return m_started >= passes; });
    }
    void release() {
        std::lock_guard<std::mutex> lock(m_mutex);
        ++m_released;
        m_changed.notify_all();
    }
    // Every pass from now on completes at once.
    void open() {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_open = true;
        m_changed.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_started = 0;
    int m_released = 0;
    bool m_open = false;
};

TEST(DiscoveryThread, NothingRunsBeforeTheFirstStart) {
    std::atomic<int> passes{0};
    const int threadsBefore = ThreadsOfThisProcess();
    {
        CameraList list;
        DiscoveryThread thread(
            list,
            [&] {
                ++passes;
                return Cameras(1);
            },
            1ms);
        EXPECT_EQ(ThreadsOfThisProcess(), threadsBefore) << "no thread that could run";
        EXPECT_EQ(thread.CompletedDiscoveries(), 0u);
    }
    EXPECT_EQ(passes.load(), 0);
}

TEST(DiscoveryThread, PublishesEachCompletedDiscovery) {
    CameraList list;
    HeldDiscovery discovery;
    DiscoveryThread thread(
        list, [&] { return discovery(); }, 1ms);
    ASSERT_TRUE(thread.EnsureStarted());
    EXPECT_TRUE(thread.EnsureStarted()) << "a second start is no error";
    discovery.waitUntilStarted(1);
    EXPECT_EQ(CountOf(list), 0u) << "published before the discovery completed";
    discovery.release();
    EXPECT_TRUE(waitUntil([&] { return CountOf(list) == 1; }));
    discovery.waitUntilStarted(2);
    discovery.release();
    EXPECT_TRUE(waitUntil([&] { return CountOf(list) == 2; }));
    EXPECT_GE(thread.CompletedDiscoveries(), 2u);
    discovery.open(); // so that the thread can stop
}

TEST(DiscoveryThread, CallersAreAnsweredWhileADiscoveryIsInProgress) {
    CameraList list;
    list.Publish(Cameras(3));
    HeldDiscovery discovery;
    DiscoveryThread thread(
        list, [&] { return discovery(); }, 1ms);
    thread.EnsureStarted();
    discovery.waitUntilStarted(1);
    // The discovery is held: these calls would hang if they waited for it.
    std::vector<CameraEntry> entries(3);
    uint32_t count = 3;
    EXPECT_EQ(list.EnumerateCameras(entries.data(), &count, 1), 0);
    EXPECT_EQ(count, 3u);
    uint32_t value = 0;
    EXPECT_EQ(list.GetCameraProperty("camera2", 1, &value), 0);
    discovery.open();
}

TEST(DiscoveryThread, StoppingEndsTheThreadAfterTheDiscoveryInProgress) {
    CameraList list;
    HeldDiscovery discovery;
    std::atomic<bool> destroyed{false};
    std::atomic<bool> destroying{false};
    const pid_t self = pid_t(syscall(SYS_gettid));
    std::thread stopper;
    {
        DiscoveryThread thread(
            list, [&] { return discovery(); }, 1h);
        thread.EnsureStarted();
        discovery.waitUntilStarted(1);
        // The destructor below waits for the held pass; release it from aside.
        stopper = std::thread([&] {
            // Once the destroying thread sleeps, it waits in the destructor.
            EXPECT_TRUE(waitUntil([&] { return destroying.load() && Sleeps(self); }));
            EXPECT_FALSE(destroyed.load()) << "did not wait for the discovery in progress";
            discovery.release();
        });
        destroying = true;
    }
    destroyed = true;
    stopper.join();
    EXPECT_EQ(CountOf(list), 1u) << "the last discovery is still published";
}

// A thread that waited out the hour would run into the test's time limit.
TEST(DiscoveryThread, StoppingCutsThePauseShort) {
    CameraList list;
    DiscoveryThread thread(
        list, [] { return Cameras(1); }, 1h);
    thread.EnsureStarted();
    ASSERT_TRUE(waitUntil([&] { return thread.CompletedDiscoveries() == 1; }));
}

TEST(DiscoveryThread, AFailedDiscoveryKeepsThePreviousList) {
    CameraList list;
    std::atomic<int> passes{0};
    DiscoveryThread thread(
        list,
        [&]() -> std::vector<Camera> {
            if (++passes == 2) {
                throw std::bad_alloc();
            }
            return Cameras(passes == 1 ? 2 : 5);
        },
        1ms);
    thread.EnsureStarted();
    ASSERT_TRUE(waitUntil([&] { return passes.load() >= 3; }));
    EXPECT_TRUE(waitUntil([&] { return CountOf(list) == 5; }));
    EXPECT_GE(thread.CompletedDiscoveries(), 2u);
}

TEST(DiscoveryThread, ManyReadersDuringManyPublishes) {
    CameraList list;
    std::atomic<int> size{0};
    DiscoveryThread thread(
        list, [&] { return Cameras(size_t(++size % 7)); }, 0ms);
    thread.EnsureStarted();
    std::vector<std::thread> readers;
    for (int r = 0; r < 3; ++r) {
        readers.emplace_back([&] {
            for (int i = 0; i < 300; ++i) {
                uint32_t count = 0;
                list.EnumerateCameras(nullptr, &count, 1);
                std::vector<CameraEntry> entries(count);
                uint32_t filled = count;
                ASSERT_EQ(list.EnumerateCameras(entries.data(), &filled, 1), 0);
                for (uint32_t e = 0; e < std::min(count, filled); ++e) {
                    ASSERT_EQ(entries[e].interfaceName, "camera" + std::to_string(e));
                }
            }
        });
    }
    for (std::thread& reader : readers) {
        reader.join();
    }
}

} // namespace
} // namespace vyrexaravis
