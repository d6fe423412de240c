// A soak of the running expert: the built module loaded as a host loads it,
// host threads calling it at random, and the simulated driver changing its
// devices on every refresh pass. At the end the inventory the notifications
// drew must be the expert's own, with nothing contradicting it on the way.
//
// Usage: expert_soak [--seconds N] [--threads N] [--seed N]
// Exit status: 0 when the picture matches, nothing contradicted it and every
// call gave an allowed result; 1 otherwise; 2 for a bad command line.
#include "HostOperations.h"

#include "HostObjects.h"
#include "LoadedModule.h"

#include "simdriver/SimDriver.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cctype>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// The module's clock runs this many times faster than real time: the 1 s
// period of the INI file becomes a pass about every millisecond.
constexpr const char* kClockSpeedup = "1000";
constexpr auto kLongestWarmUp = 1s;
constexpr auto kLastPassTimeout = 60s;
constexpr size_t kDifferencesShown = 20;
// The names the driver's devices take turns with: few enough that most
// passes unplug or change a device the expert already knows.
constexpr int kCameraNames = 30;
constexpr int kFrameGrabberNames = 20;

struct Options {
    unsigned seconds = 30;
    unsigned threads = 8;
    uint32_t seed = std::random_device{}();
};

// A whole decimal number, at least 1 unless zero is allowed.
bool parseNumber(const char* text, bool zeroAllowed, unsigned long long& value) {
    char* end = nullptr;
    value = std::strtoull(text, &end, 10);
    return std::isdigit(static_cast<unsigned char>(*text)) && *end == '\0' &&
           (zeroAllowed || value > 0) && value <= UINT32_MAX;
}

// False (after saying why) for anything but the three options and their
// numbers.
bool parseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        const bool isSeed = option == "--seed";
        if (option != "--seconds" && option != "--threads" && !isSeed) {
            std::cerr << "expert_soak: unknown option " << option << "\n";
            return false;
        }
        unsigned long long value = 0;
        if (i + 1 >= argc || !parseNumber(argv[++i], isSeed, value)) {
            std::cerr << "expert_soak: " << option << " needs a whole number"
                      << (isSeed ? "" : " above 0") << "\n";
            return false;
        }
        if (option == "--seconds") {
            options.seconds = unsigned(value);
        } else if (option == "--threads") {
            options.threads = unsigned(value);
        } else {
            options.seed = uint32_t(value);
        }
    }
    return true;
}

std::vector<std::string> numberedNames(const std::string& stem, int count) {
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i) {
        names.push_back(stem + (i < 10 ? "0" : "") + std::to_string(i));
    }
    return names;
}

// The resident set size from /proc/self/status, in KiB; -1 when unreadable.
long residentKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::strtol(line.c_str() + 6, nullptr, 10);
        }
    }
    return -1;
}

// Changes one device each time the expert enumerates the cameras, so that
// nearly every pass finds something new. Camera names and frame grabber
// names are disjoint (a camera and a frame grabber of one name would be two
// items but one name in a notification) and no two differ only in case.
class DriverChurn {
public:
    DriverChurn(std::vector<std::string> cameraNames, std::vector<std::string> frameGrabberNames,
                uint32_t seed)
        : m_cameraNames(std::move(cameraNames)), m_frameGrabberNames(std::move(frameGrabberNames)),
          m_cameraPlugged(m_cameraNames.size(), false),
          m_frameGrabberPlugged(m_frameGrabberNames.size(), false), m_random(seed) {}

    void run(const std::atomic<bool>& stop) {
        uint32_t seen = vyrexsim::CallCount(vyrexsim::Function::EnumerateCameras);
        while (!stop.load()) {
            const uint32_t now = vyrexsim::CallCount(vyrexsim::Function::EnumerateCameras);
            if (now == seen) {
                std::this_thread::sleep_for(100us);
                continue;
            }
            seen = now;
            changeOne();
        }
    }

    uint64_t plugged = 0;
    uint64_t unplugged = 0;
    uint64_t changed = 0;

private:
    void changeOne() {
        const size_t pick = m_random() % (m_cameraNames.size() + m_frameGrabberNames.size());
        if (pick < m_cameraNames.size()) {
            changeCamera(pick);
        } else {
            changeFrameGrabber(pick - m_cameraNames.size());
        }
    }

    void changeCamera(size_t index) {
        const std::string& name = m_cameraNames[index];
        if (!m_cameraPlugged[index]) {
            vyrexsim::PlugCamera(newCamera(name));
            m_cameraPlugged[index] = true;
            ++plugged;
        } else if (m_random() % 2 == 0) {
            vyrexsim::UnplugCamera(name);
            m_cameraPlugged[index] = false;
            ++unplugged;
        } else {
            vyrexsim::ChangeCamera(name, newCamera(name));
            ++changed;
        }
    }

    void changeFrameGrabber(size_t index) {
        const std::string& name = m_frameGrabberNames[index];
        if (!m_frameGrabberPlugged[index]) {
            vyrexsim::PlugFrameGrabber(newFrameGrabber(name));
            m_frameGrabberPlugged[index] = true;
            ++plugged;
        } else if (m_random() % 2 == 0) {
            vyrexsim::UnplugFrameGrabber(name);
            m_frameGrabberPlugged[index] = false;
            ++unplugged;
        } else {
            vyrexsim::ChangeFrameGrabber(name, newFrameGrabber(name));
            ++changed;
        }
    }

    // A new serial number every time, so that a replacement is a change.
    // Camera Link is left out: its item names are not its interface names.
    vyrexsim::Camera newCamera(const std::string& name) {
        static constexpr uint32_t kBuses[] = {kVyrexBusIPv4, kVyrexBusIPCamera, kVyrexBusUSB3,
                                              kVyrexBusUVC,  kVyrexBusFireWire, kVyrexBusSimulated};
        vyrexsim::Camera camera;
        camera.interfaceName = name;
        camera.busType = kBuses[m_random() % std::size(kBuses)];
        camera.vendorName = "Acme";
        camera.modelName = "Model " + name;
        camera.serialNumber = ++m_lastSerial;
        return camera;
    }

    vyrexsim::FrameGrabber newFrameGrabber(const std::string& name) {
        vyrexsim::FrameGrabber grabber;
        grabber.name = name;
        grabber.modelName = "Grabber " + name;
        grabber.serialNumber = ++m_lastSerial;
        return grabber;
    }

    std::vector<std::string> m_cameraNames;
    std::vector<std::string> m_frameGrabberNames;
    std::vector<bool> m_cameraPlugged;
    std::vector<bool> m_frameGrabberPlugged;
    std::mt19937 m_random;
    uint64_t m_lastSerial = 0;
};

// Names in one sorted list and not in the other.
std::vector<std::string> missingFrom(const std::vector<std::string>& from,
                                     const std::vector<std::string>& names) {
    std::vector<std::string> missing;
    std::set_difference(names.begin(), names.end(), from.begin(), from.end(),
                        std::back_inserter(missing));
    return missing;
}

void printList(const char* title, const std::vector<std::string>& lines) {
    std::cout << title << " (" << lines.size() << "):\n";
    for (size_t i = 0; i < lines.size() && i < kDifferencesShown; ++i) {
        std::cout << "    " << lines[i] << "\n";
    }
}

// Everything the run found, gathered for the report.
struct Findings {
    OperationCounts counts{};
    uint64_t surpriseCount = 0;
    std::vector<std::string> surprises;
    long residentAtStart = -1;
    long residentInMiddle = -1;
    long residentAtEnd = -1;
    bool lastPassSeen = false;
    std::vector<std::string> picture;
    std::vector<std::string> inventory;
    std::vector<std::string> contradictions;
    std::array<uint64_t, RestlessHandlers::kActs> handlerActs{};
    uint32_t expertReferencesLeft = 0;
    uint32_t handlerReferencesLeft = 0;
};

class Soak {
public:
    explicit Soak(const Options& options) : m_options(options) {}

    // Exit status of the program.
    int run() {
        const std::string iniPath = writeIniFile();
        setenv("KRKERNEL_CLOCK_SPEEDUP", kClockSpeedup, 1); // read when the module loads
        vyrexsim::Reset();
        int status = 1;
        {
            LoadedModule module;
            if (!module.error().empty()) {
                std::cerr << "expert_soak: " << module.error() << "\n";
            } else {
                module.setIniFilePath(iniPath.c_str());
                status = runWith(module);
            }
        }
        std::remove(iniPath.c_str());
        return status;
    }

private:
    std::string writeIniFile() const {
        const std::string path = (std::filesystem::temp_directory_path() /
                                  ("kr-soak-" + std::to_string(::getpid()) + ".ini"))
                                     .string();
        std::ofstream(path) << "[VYREX]\nSystemapiExpertCameraListRefreshTimeInSec = 1\n";
        return path;
    }

    int runWith(const LoadedModule& module) {
        IoxSysExpert2* expert = nullptr;
        const int32_t created = module.factory(&expert);
        if (created != 0 || expert == nullptr) {
            std::cerr << "expert_soak: the factory failed with 0x" << std::hex << uint32_t(created)
                      << "\n";
            return 1;
        }
        void* itf = nullptr;
        if (expert->QueryInterface(IID_IoxSysExpertPlugPlay, &itf) != 0 || itf == nullptr) {
            std::cerr << "expert_soak: the expert has no IoxSysExpertPlugPlay\n";
            expert->Release();
            return 1;
        }
        auto* plugPlay = static_cast<IoxSysExpertPlugPlay*>(itf);

        PictureHandler handler;
        RestlessHandlers handlers(handler, m_options.seed);
        handlers.attach(expert, plugPlay);
        handlers.registerOne(0);
        vyrexsim::PlugCamera(anchorCamera());
        expert->Initialize();
        upperCaseItemNames(expert); // returns after the first pass
        SharedBag shared = bagOfTheAnchor(expert);
        if (shared.bag == nullptr) {
            std::cerr << "expert_soak: no bag for the anchor camera\n";
            return 1;
        }

        Findings findings;
        storm(expert, handlers, shared, findings);
        findings.lastPassSeen = finishWithOnePassOverTheFinalDevices(expert);
        findings.picture = handler.picture();
        findings.inventory = upperCaseItemNames(expert);
        findings.contradictions = handler.contradictions();
        for (const std::string& contradiction : handlers.contradictions()) {
            findings.contradictions.push_back(contradiction);
        }
        findings.handlerActs = handlers.acts();

        plugPlay->RegisterNotificationCallback(nullptr);
        plugPlay->Release();
        shared.bag->Release();
        findings.expertReferencesLeft = expert->Release();
        findings.handlerReferencesLeft = handlers.referencesLeft();

        report(handler, findings);
        return verdict(findings);
    }

    // A camera the churn never touches, whose bag the host threads share.
    static vyrexsim::Camera anchorCamera() {
        vyrexsim::Camera camera;
        camera.interfaceName = "anchor";
        camera.busType = kVyrexBusSimulated;
        camera.vendorName = "Acme";
        camera.modelName = "Anchor";
        return camera;
    }

    static SharedBag bagOfTheAnchor(IoxSysExpert2* expert) {
        SharedBag shared;
        IoxSysPropertyBag* bag = nullptr;
        if (expert->GetPropertiesOfItem(u"anchor", &bag) != 0) {
            return shared;
        }
        void* itf = nullptr;
        bag->QueryInterface(IID_IoxSysPropertyBag3, &itf);
        bag->Release();
        shared.bag = static_cast<IoxSysPropertyBag3*>(itf);
        IoxSysEnumPropertyTag* changed = nullptr;
        if (shared.bag != nullptr && shared.bag->EnumChangedTags(&changed) == 0 &&
            changed != nullptr) {
            shared.changedTags = tagsIn(changed);
            changed->Release();
        }
        return shared;
    }

    // The host threads and the driver's churn for the whole run, with the
    // resident set sampled after the warm-up, in the middle and at the end.
    void storm(IoxSysExpert2* expert, RestlessHandlers& handlers, const SharedBag& shared,
               Findings& findings) {
        const std::vector<std::string> cameraNames = numberedNames("cam", kCameraNames);
        const std::vector<std::string> frameGrabberNames =
            numberedNames("grabber", kFrameGrabberNames);
        std::vector<std::string> allNames = cameraNames;
        allNames.insert(allNames.end(), frameGrabberNames.begin(), frameGrabberNames.end());

        std::atomic<bool> stopHosts{false};
        std::vector<HostOperations> hosts;
        hosts.reserve(m_options.threads); // the threads hold on to their element
        for (unsigned t = 0; t < m_options.threads; ++t) {
            hosts.emplace_back(expert, handlers, shared, allNames, m_options.seed + 1 + t);
        }
        std::vector<std::thread> hostThreads;
        for (HostOperations& host : hosts) {
            hostThreads.emplace_back([&host, &stopHosts] {
                while (!stopHosts.load()) {
                    host.performOne();
                }
            });
        }
        std::atomic<bool> stopDriver{false};
        m_churn = std::make_unique<DriverChurn>(cameraNames, frameGrabberNames, m_options.seed);
        std::thread driver([this, &stopDriver] { m_churn->run(stopDriver); });

        const Clock::time_point start = Clock::now();
        const Clock::duration total = std::chrono::seconds(m_options.seconds);
        std::this_thread::sleep_until(start + std::min<Clock::duration>(kLongestWarmUp, total / 4));
        findings.residentAtStart = residentKiB();
        std::this_thread::sleep_until(start + total / 2);
        findings.residentInMiddle = residentKiB();
        std::this_thread::sleep_until(start + total);
        findings.residentAtEnd = residentKiB();

        stopHosts = true;
        for (std::thread& thread : hostThreads) {
            thread.join();
        }
        stopDriver = true;
        driver.join();
        for (const HostOperations& host : hosts) {
            for (size_t k = 0; k < kOperationKinds; ++k) {
                findings.counts[k] += host.counts()[k];
            }
            findings.surpriseCount += host.surpriseCount();
            findings.surprises.insert(findings.surprises.end(), host.surprises().begin(),
                                      host.surprises().end());
        }
    }

    // The host threads may have left the refresh thread stopped, or ended
    // with a pending stop; a fresh start makes at least one pass over the
    // devices as they are now. A Finalize that returns has waited for every
    // pass begun before it, deliveries included. False when no pass came.
    static bool finishWithOnePassOverTheFinalDevices(IoxSysExpert2* expert) {
        expert->Finalize();
        const uint32_t before = vyrexsim::CallCount(vyrexsim::Function::EnumerateCameras);
        expert->Initialize();
        const Clock::time_point deadline = Clock::now() + kLastPassTimeout;
        bool moved = false;
        while (!moved && Clock::now() < deadline) {
            moved = vyrexsim::CallCount(vyrexsim::Function::EnumerateCameras) != before;
            if (!moved) {
                std::this_thread::sleep_for(1ms);
            }
        }
        expert->Finalize();
        return moved;
    }

    void report(PictureHandler& handler, const Findings& findings) const {
        uint64_t total = 0;
        for (uint64_t count : findings.counts) {
            total += count;
        }
        std::cout << "expert soak: " << m_options.seconds << " s, " << m_options.threads
                  << " host threads, seed " << m_options.seed << "\n"
                  << "operations:       " << total << "\n";
        for (size_t k = 0; k < kOperationKinds; ++k) {
            std::cout << "    " << std::left << std::setw(30) << operationName(Operation(k))
                      << std::right << std::setw(10) << findings.counts[k] << "\n";
        }
        std::cout << "refresh passes:   "
                  << vyrexsim::CallCount(vyrexsim::Function::EnumerateCameras)
                  << " EnumerateCameras calls (two a pass while cameras are present)\n"
                  << "driver changes:   " << m_churn->plugged << " plugged, " << m_churn->unplugged
                  << " unplugged, " << m_churn->changed << " changed\n"
                  << "changes checked:  " << handler.changesChecked() << "\n"
                  << "handler's acts:   " << findings.handlerActs[RestlessHandlers::Finalize]
                  << " Finalize, " << findings.handlerActs[RestlessHandlers::FinalizeThenInitialize]
                  << " Finalize and Initialize, "
                  << findings.handlerActs[RestlessHandlers::Initialize] << " Initialize, "
                  << findings.handlerActs[RestlessHandlers::HandOver] << " hand-overs\n"
                  << "resident memory:  " << findings.residentAtStart << " KiB after warm-up, "
                  << findings.residentInMiddle << " KiB in the middle, " << findings.residentAtEnd
                  << " KiB at the end\n"
                  << "items at the end: " << findings.inventory.size() << "\n";
        if (!findings.lastPassSeen) {
            std::cout << "no refresh pass came after the last Initialize\n";
        }
        if (findings.picture != findings.inventory) {
            printList("in the expert's inventory, not in the picture",
                      missingFrom(findings.picture, findings.inventory));
            printList("in the picture, not in the expert's inventory",
                      missingFrom(findings.inventory, findings.picture));
        }
        if (!findings.contradictions.empty()) {
            printList("contradictions", findings.contradictions);
        }
        if (findings.surpriseCount != 0) {
            std::cout << "unexpected results: " << findings.surpriseCount << "\n";
            printList("first of them", findings.surprises);
        }
        if (findings.expertReferencesLeft != 0 || findings.handlerReferencesLeft != 0) {
            std::cout << "references left after the last release: expert "
                      << findings.expertReferencesLeft << ", handler "
                      << findings.handlerReferencesLeft << "\n";
        }
    }

    static int verdict(const Findings& findings) {
        const bool passed = findings.lastPassSeen && findings.picture == findings.inventory &&
                            findings.contradictions.empty() && findings.surpriseCount == 0 &&
                            findings.expertReferencesLeft == 0 &&
                            findings.handlerReferencesLeft == 0;
        std::cout << (passed ? "PASSED" : "FAILED") << "\n";
        return passed ? 0 : 1;
    }

    Options m_options;
    std::unique_ptr<DriverChurn> m_churn;
};

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parseOptions(argc, argv, options)) {
        std::cerr << "usage: expert_soak [--seconds N] [--threads N] [--seed N]\n";
        return 2;
    }
    return Soak(options).run();
}
