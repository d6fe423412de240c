// The driver calls the expert makes with its map lock held, timed as one
// refresh pass: count, fill, and for each camera its driver name and
// properties 1 and 2. Twice: over a camera list alone (the backend's share
// without Aravis), and through the exported functions with fake cameras on
// a private loopback while discovery runs beside the calls.
#include "FakeCamera.h"
#include "PrivateLoopback.h"
#include "Waiting.h"
#include "aravisdriver/src/CameraList.h"
#include "driver/VyrexDriver.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

using vyrexaravis::Camera;
using vyrexaravis::CameraList;

std::vector<Camera> NetworkCameras(size_t count) {
    std::vector<Camera> cameras(count);
    for (size_t i = 0; i < count; ++i) {
        cameras[i].busType = kVyrexBusIPv4;
        cameras[i].interfaceName = "Vendor-Model-" + std::to_string(100000 + i);
        cameras[i].vendorName = "Vendor";
        cameras[i].modelName = "Model";
        cameras[i].serialNumber = 0x003053000000ull + i;
        cameras[i].ipAddress = 0xC0A80A00u + uint32_t(i);
        cameras[i].subnetMask = 0xFFFFFF00u;
    }
    return cameras;
}

// One pass as the expert's refresh makes it, over any set of five functions.
template <typename Enumerate, typename Property, typename DriverName>
void RefreshPass(Enumerate enumerate, Property property, DriverName driverName) {
    uint32_t count = 0;
    enumerate(nullptr, &count);
    if (count == 0) {
        return;
    }
    std::vector<CameraEntry> entries(count);
    enumerate(entries.data(), &count);
    for (size_t i = 0; i < count && i < entries.size(); ++i) {
        const CameraEntry& entry = entries[i];
        char name[kVyrexTextSize];
        driverName(uint64_t(entry.serialNumberHigh) << 32 | entry.serialNumberLow, name);
        uint32_t address1 = 0;
        uint32_t address2 = 0;
        property(entry.interfaceName, 1, &address1);
        property(entry.interfaceName, 2, &address2);
        benchmark::DoNotOptimize(address1 + address2 + uint32_t(name[0]));
    }
}

void BM_PassOverCameraList(benchmark::State& state) {
    CameraList list;
    list.Publish(NetworkCameras(size_t(state.range(0))));
    for (auto _ : state) {
        RefreshPass(
            [&](CameraEntry* entries, uint32_t* count) {
                list.EnumerateCameras(entries, count, 1);
            },
            [&](const char* name, uint32_t number, uint32_t* value) {
                list.GetCameraProperty(name, number, value);
            },
            [&](uint64_t serial, char* name) { list.GetDriverName(serial, name, kVyrexTextSize); });
    }
    state.counters["cameras"] = double(state.range(0));
}
BENCHMARK(BM_PassOverCameraList)->Arg(0)->Arg(1)->Arg(8)->Arg(64)->Unit(benchmark::kMicrosecond);

void BM_PassThroughDriverWithFakeCameras(benchmark::State& state) {
    if (!PrivateLoopbackUnavailable().empty()) {
        state.SkipWithError(("no private namespace: " + PrivateLoopbackUnavailable()).c_str());
        return;
    }
    const size_t wanted = size_t(state.range(0));
    std::vector<std::unique_ptr<FakeCamera>> cameras;
    for (size_t i = 0; i < wanted; ++i) {
        cameras.push_back(std::make_unique<FakeCamera>(LoopbackAddress(unsigned(2 + i)),
                                                       "BENCH" + std::to_string(i)));
    }
    const bool listed = waitUntil([&] {
        uint32_t count = 0;
        VyrexEnumerateCameras(nullptr, &count, 1);
        return count == wanted;
    });
    if (!listed) {
        state.SkipWithError("the fake cameras were not all discovered");
        return;
    }
    for (auto _ : state) {
        RefreshPass(
            [](CameraEntry* entries, uint32_t* count) { VyrexEnumerateCameras(entries, count, 1); },
            [](const char* name, uint32_t number, uint32_t* value) {
                VyrexGetCameraProperty(name, number, value);
            },
            [](uint64_t serial, char* name) { VyrexGetDriverName2(serial, name, kVyrexTextSize); });
    }
    state.counters["cameras"] = double(wanted);
}
BENCHMARK(BM_PassThroughDriverWithFakeCameras)
    ->Arg(1)
    ->Arg(kLoopbackAddresses)
    ->Unit(benchmark::kMicrosecond)
    ->MinTime(3.0); // spans a few discovery passes

} // namespace

int main(int argc, char** argv) {
    const std::string unavailable = EnterPrivateLoopback(kLoopbackAddresses);
    if (!unavailable.empty()) {
        std::fprintf(stderr, "fake-camera benchmarks skipped: %s\n", unavailable.c_str());
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
