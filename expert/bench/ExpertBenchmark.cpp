// The expert's core paths at 10 to 10,000 cameras (and a tenth as many
// frame grabbers) over an in-process driver, each beside its floor: the
// least work that gives the same result.
//
//   RefreshPass       a pass that finds nothing new; floor: copying the
//                     driver's records and building a map keyed by the
//                     converted names
//   FirstPass         the first pass of a new expert; floor: a later pass
//   LockHeldPerPass   the longest a reader waits for m_lock during a pass
//   SearchFor...      per item; floor: filling a std::map of variants with
//                     the same values
//   MemoryAfterTenPasses  resident memory per item; floor: one CameraEntry
#include "BenchDriver.h"
#include "FloorTable.h"

#include "contract/BStr.h"
#include "contract/ComRef.h"
#include "expert/CoxSysVyrex.h"
#include "expert/ModuleExports.h"
#include "hostkit/BagCollection.h"
#include "hostkit/PropertyReading.h"
#include "tarn/WideStringFromField.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <malloc.h>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using nKRVYREX_SYSAPI_EXPERT_18_5::CoxSysVyrex;
using Clock = std::chrono::steady_clock;

size_t frameGrabbersFor(size_t cameras) {
    return cameras / 10;
}

void populate(const benchmark::State& state) {
    const size_t cameras = size_t(state.range(0));
    benchdriver::Populate(cameras, frameGrabbersFor(cameras));
}

double itemsOf(const benchmark::State& state) {
    return double(state.range(0) + frameGrabbersFor(size_t(state.range(0))));
}

// An expert without a refresh thread: the benchmark makes its passes.
class Expert {
public:
    Expert() { createVyrexSysapiExpert(&m_expert); }
    ~Expert() { m_expert->Release(); }
    Expert(const Expert&) = delete;
    Expert& operator=(const Expert&) = delete;

    void pass() { static_cast<CoxSysVyrex*>(m_expert)->RefreshAndNotify(); }
    IoxSysExpert2* operator->() const { return m_expert; }

private:
    IoxSysExpert2* m_expert = nullptr;
};

void RefreshPass(benchmark::State& state) {
    populate(state);
    Expert expert;
    expert.pass();
    for (auto _ : state) {
        expert.pass();
    }
}

void RefreshPass_floor(benchmark::State& state) {
    populate(state);
    for (auto _ : state) {
        uint32_t count = 0;
        VyrexEnumerateCameras(nullptr, &count, 1);
        std::unique_ptr<CameraEntry[]> cameras(new CameraEntry[count]());
        VyrexEnumerateCameras(cameras.get(), &count, 1);
        std::map<kr::tarn::WideString, CameraEntry> map;
        for (uint32_t i = 0; i < count; ++i) {
            map.emplace(kr::tarn::WideStringFromField(cameras[i].interfaceName), cameras[i]);
        }
        uint32_t grabberCount = 0;
        VyrexEnumerateFrameGrabbers(nullptr, &grabberCount);
        std::vector<FrameGrabberRecord> grabbers(grabberCount, FrameGrabberRecord{});
        VyrexEnumerateFrameGrabbers(grabbers.data(), &grabberCount);
        std::map<kr::tarn::WideString, FrameGrabberRecord> grabberMap;
        for (const FrameGrabberRecord& grabber : grabbers) {
            grabberMap.emplace(kr::tarn::WideStringFromField(grabber.name), grabber);
        }
        benchmark::DoNotOptimize(map);
        benchmark::DoNotOptimize(grabberMap);
    }
}

void FirstPass(benchmark::State& state) {
    populate(state);
    for (auto _ : state) {
        state.PauseTiming();
        auto expert = std::make_unique<Expert>();
        state.ResumeTiming();
        expert->pass();
        state.PauseTiming();
        expert.reset();
        state.ResumeTiming();
    }
}

void FirstPass_floor(benchmark::State& state) {
    RefreshPass(state);
}

// Read durations kept for the median: room for seconds of ~1 us reads,
// reserved up front so that recording never allocates between two reads.
constexpr size_t kRecordedReads = size_t(1) << 22;

// A reader on another thread reads one item's bag again and again; the
// longest gap between two of its reads during a pass is how long the pass
// kept m_lock from it.
void LockHeldPerPass(benchmark::State& state) {
    populate(state);
    Expert expert;
    expert.pass();
    std::atomic<bool> stop{false};
    std::atomic<int64_t> longestGapNs{0};
    std::vector<int64_t> readsNs;
    readsNs.reserve(kRecordedReads);
    int64_t longestReadNs = 0;
    double unrecordedReads = 0;
    std::thread reader([&] {
        const std::u16string name(u"cam00000");
        Clock::time_point last = Clock::now();
        while (!stop.load(std::memory_order_relaxed)) {
            IoxSysPropertyBag* bag = nullptr;
            const Clock::time_point start = Clock::now();
            if (expert->GetPropertiesOfItem(name.c_str(), &bag) == 0) {
                bag->Release();
            }
            const Clock::time_point end = Clock::now();
            const int64_t readNs = (end - start).count();
            longestReadNs = std::max(longestReadNs, readNs);
            if (readsNs.size() < kRecordedReads) {
                readsNs.push_back(readNs);
            } else {
                ++unrecordedReads;
            }
            const int64_t gap = (end - last).count();
            if (gap > longestGapNs.load(std::memory_order_relaxed)) {
                longestGapNs.store(gap, std::memory_order_relaxed);
            }
            last = end;
        }
    });
    double sumOfLongest = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::this_thread::sleep_for(std::chrono::milliseconds(1)); // the reader runs freely
        longestGapNs.store(0);
        state.ResumeTiming();
        expert.pass();
        state.PauseTiming();
        std::this_thread::sleep_for(std::chrono::milliseconds(1)); // its read after the pass
        sumOfLongest += double(longestGapNs.load());
        state.ResumeTiming();
    }
    stop = true;
    reader.join();
    std::sort(readsNs.begin(), readsNs.end());
    state.counters["ns"] = sumOfLongest / double(state.iterations());
    state.counters["read_p50_us"] = readsNs.empty() ? 0 : readsNs[readsNs.size() / 2] / 1e3;
    state.counters["read_max_us"] = longestReadNs / 1e3;
    // The median is of the first kRecordedReads reads; the maximum is of all.
    state.counters["reads_unrecorded"] = unrecordedReads;
}

void SearchForItemsAndProperties(benchmark::State& state) {
    populate(state);
    Expert expert;
    expert.pass();
    for (auto _ : state) {
        StackBagCollection collection;
        expert->SearchForItemsAndProperties(&collection);
    }
    reportPerItem(state, itemsOf(state));
}

// The properties of one camera's bag, as a host reads them.
PropertyList propertiesOfOneCamera() {
    Expert expert;
    expert.pass();
    ComRef<IoxSysPropertyBag> bag;
    expert->GetPropertiesOfItem(u"cam00000", bag.put());
    return readProperties(bag.get()).value_or(PropertyList{});
}

// The values of one bag as a plain map would hold them.
std::map<uint32_t, PropertyValue> plainMapOf(const PropertyList& properties) {
    std::map<uint32_t, PropertyValue> bag;
    for (const Property& property : properties) {
        bag.emplace(property.tag, property.value);
    }
    return bag;
}

void SearchForItemsAndProperties_floor(benchmark::State& state) {
    populate(state);
    const PropertyList properties = propertiesOfOneCamera();
    const size_t items = size_t(itemsOf(state));
    for (auto _ : state) {
        for (size_t i = 0; i < items; ++i) {
            benchmark::DoNotOptimize(plainMapOf(properties));
        }
    }
    reportPerItem(state, itemsOf(state));
}

void SearchForItemNames(benchmark::State& state) {
    populate(state);
    Expert expert;
    expert.pass();
    for (auto _ : state) {
        ComRef<IoxSysEnumStringList> names;
        expert->SearchForItemNames(names.put());
    }
    reportPerItem(state, itemsOf(state));
}

void GetPropertiesOfItem(benchmark::State& state) {
    populate(state);
    Expert expert;
    expert.pass();
    const std::u16string name(u"cam00000");
    for (auto _ : state) {
        ComRef<IoxSysPropertyBag> bag;
        expert->GetPropertiesOfItem(name.c_str(), bag.put());
    }
}

void GetPropertiesOfItem_floor(benchmark::State& state) {
    const PropertyList properties = propertiesOfOneCamera();
    for (auto _ : state) {
        benchmark::DoNotOptimize(plainMapOf(properties));
    }
}

long residentBytes() {
    std::ifstream status("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    status >> pages >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

// Resident memory and live heap per item after ten passes, each of which
// finds a tenth of the cameras changed.
void MemoryAfterTenPasses(benchmark::State& state) {
    populate(state);
    for (auto _ : state) {
        malloc_trim(0);
        const long residentBefore = residentBytes();
        const size_t heapBefore = mallinfo2().uordblks;
        Expert expert;
        for (int pass = 0; pass < 10; ++pass) {
            benchdriver::ChangeEvery(10);
            expert.pass();
        }
        state.counters["bytes_per_item"] =
            double(residentBytes() - residentBefore) / itemsOf(state);
        state.counters["heap_per_item"] =
            double(mallinfo2().uordblks - heapBefore) / itemsOf(state);
    }
}

void MemoryAfterTenPasses_floor(benchmark::State& state) {
    for (auto _ : state) {
    }
    state.counters["bytes_per_item"] = double(sizeof(CameraEntry));
}

} // namespace

#define KR_SIZES RangeMultiplier(10)->Range(10, 10000)

BENCHMARK(MemoryAfterTenPasses)->KR_SIZES->Iterations(1);
BENCHMARK(MemoryAfterTenPasses_floor)->KR_SIZES->Iterations(1);
BENCHMARK(RefreshPass)->KR_SIZES->Unit(benchmark::kMillisecond);
BENCHMARK(RefreshPass_floor)->KR_SIZES->Unit(benchmark::kMillisecond);
BENCHMARK(FirstPass)->KR_SIZES->Unit(benchmark::kMillisecond);
BENCHMARK(FirstPass_floor)->KR_SIZES->Unit(benchmark::kMillisecond);
BENCHMARK(LockHeldPerPass)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(SearchForItemsAndProperties)->KR_SIZES->Unit(benchmark::kMillisecond);
BENCHMARK(SearchForItemsAndProperties_floor)->KR_SIZES->Unit(benchmark::kMillisecond);
BENCHMARK(SearchForItemNames)->KR_SIZES->Unit(benchmark::kMicrosecond);
BENCHMARK(GetPropertiesOfItem)->Arg(10000);
BENCHMARK(GetPropertiesOfItem_floor)->Arg(10000);

KR_BENCHMARK_MAIN();
