// The lifecycle as a host may drive it: from several threads at once, and
// with the last reference dropped while a notification is in flight.
#include "RunningExpert.h"

#include <atomic>
#include <chrono>
#include <future>
#include <random>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

constexpr auto kStorm = 2500ms;
constexpr int kHostThreads = 4;

using LifecycleRaces = RunningExpert;

// Four host threads start, stop and re-register at random while the driver
// changes all the time. Every call returns, there is never more than one
// refresh thread (a second would deliver at the same time or out of order),
// the notifications add up to the inventory, and the expert stays usable.
TEST_F(LifecycleRaces, HostThreadsStartAndStopAtRandom) {
    PictureHandler first;
    ASSERT_EQ(plugPlay->RegisterNotificationCallback(&first), 0);
    std::atomic<bool> stop{false};
    std::thread driver([&] {
        std::mt19937 random(7);
        while (!stop) {
            const std::string name = "cam" + std::to_string(random() % 8);
            if (vyrexsim::UnplugCamera(name) == 0) {
                vyrexsim::PlugCamera(camera(name, kVyrexBusIPv4, random() % 3 + 1));
            }
            std::this_thread::sleep_for(1ms);
        }
    });
    std::vector<std::thread> hosts;
    std::atomic<uint32_t> calls{0};
    for (int t = 0; t < kHostThreads; ++t) {
        hosts.emplace_back([&, t] {
            std::mt19937 random(t);
            const auto end = std::chrono::steady_clock::now() + kStorm;
            while (std::chrono::steady_clock::now() < end) {
                switch (random() % 5) {
                case 0:
                case 1:
                    EXPECT_EQ(expert->Initialize(), 0);
                    break;
                case 2:
                case 3:
                    EXPECT_EQ(expert->Finalize(), 0);
                    break;
                default: // re-registering must not lose or repeat a notification
                    EXPECT_EQ(plugPlay->RegisterNotificationCallback(&first), 0);
                }
                ++calls;
            }
        });
    }
    for (std::thread& host : hosts) {
        host.join();
    }
    stop = true;
    driver.join();

    // One last pass over the final devices: a thread's first pass comes at
    // once, and a Finalize waits for every pass begun before it, deliveries
    // included.
    ASSERT_EQ(expert->Finalize(), 0);
    ASSERT_EQ(expert->Initialize(), 0);
    ASSERT_EQ(expert->Finalize(), 0);
    EXPECT_EQ(first.contradictions(), std::vector<std::string>{});
    EXPECT_EQ(first.picture(), upperCaseItemNames(expert)) << calls << " calls";

    // A refresh thread left after Finalize would tell of a camera plugged now.
    const size_t told = first.changesChecked();
    vyrexsim::PlugCamera(camera("after", kVyrexBusIPv4, 9));
    letAnotherExpertRefresh(3);
    EXPECT_EQ(first.changesChecked(), told) << "no refresh thread is left after Finalize";
    plugPlay->RegisterNotificationCallback(nullptr);
}

// The host drops its last reference, without Finalize, while the handler
// is inside OnItemsChanged. The expert pointer the handler was given stays
// valid for the whole call; the expert ends after the delivery.
TEST_F(LifecycleRaces, LastReleaseDuringADeliveryWaitsForIt) {
    vyrexsim::PlugCamera(camera("cam", kVyrexBusIPv4));
    IoxSysExpert2* given = expert; // what OnItemsChanged receives
    std::promise<void> inCall;
    std::promise<void> hostLetGo;
    std::shared_future<void> letGo = hostLetGo.get_future().share();
    int32_t readInCall = -1;
    handler.onCall = [&] {
        if (readInCall != -1) {
            return;
        }
        inCall.set_value();
        letGo.wait_for(2s); // an expert that waited for this call would never let go
        given->AddRef();
        IoxSysPropertyBag* bag = nullptr;
        readInCall = given->GetPropertiesOfItem(u"cam", &bag);
        if (bag != nullptr) {
            bag->Release();
        }
        given->Release();
    };
    start();
    inCall.get_future().wait();
    plugPlay->Release();
    expert->Release(); // the host's last reference, without Finalize
    expert = nullptr;
    hostLetGo.set_value();
    EXPECT_TRUE(waitUntil([&] { return handler.references() == 1; }))
        << "the expert ended and released its handler";
    EXPECT_EQ(readInCall, 0);
}

} // namespace
