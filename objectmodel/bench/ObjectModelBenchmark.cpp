// The component objects the host handles most, each beside its floor:
//
//   BagSet/BagGet      one property of each value type; floor: the same on
//                      a std::map of variants
//   BagClone, BagEnumProperties   a bag of 26 properties; floor: copying
//                      such a map, collecting its keys
//   NamesNext          names handed out in batches of 1, 16 and 256, per
//                      name; floor: copying each name as a length-prefixed
//                      string
//   AddRefRelease      on one object shared by 1, 2 and 4 threads, and on
//                      an object per thread; floor: a bare atomic pair
#include "FloorTable.h"

#include "contract/BStr.h"
#include "objectmodel/ComObject.h"
#include "objectmodel/CoxDynamicPropertyBag.h"
#include "objectmodel/EnumOnSTL.h"
#include "tarn/StringBase.h"

#include <atomic>
#include <list>
#include <map>
#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace {

using Value =
    std::variant<bool, int32_t, uint32_t, double, _GUID, std::u16string, oxSysAttrTimestampUTC>;

constexpr int kProperties = 26;
constexpr uint32_t kFirstTag = 0x01001000;
const char16_t* const kText = u"KR GC-2450M";

IoxSysPropertyBag3* newBag() {
    return CreateComObject<CoxDynamicPropertyBag>();
}

// A bag of 26 properties of the mix a camera's bag has.
IoxSysPropertyBag3* cameraLikeBag() {
    IoxSysPropertyBag3* bag = newBag();
    for (int i = 0; i < kProperties; ++i) {
        const uint32_t tag = kFirstTag + uint32_t(i) * 0x1000;
        switch (i % 4) {
        case 0:
            bag->SetStringProperty(tag, kText);
            break;
        case 1:
            bag->SetUnsignedIntegerProperty(tag, uint32_t(i));
            break;
        case 2:
            bag->SetIntegerProperty(tag, -i);
            break;
        default:
            bag->SetBooleanProperty(tag, i & 1);
        }
    }
    return bag;
}

std::map<uint32_t, Value> cameraLikeMap() {
    std::map<uint32_t, Value> map;
    for (int i = 0; i < kProperties; ++i) {
        const uint32_t tag = kFirstTag + uint32_t(i) * 0x1000;
        switch (i % 4) {
        case 0:
            map.emplace(tag, std::u16string(kText));
            break;
        case 1:
            map.emplace(tag, uint32_t(i));
            break;
        case 2:
            map.emplace(tag, int32_t(-i));
            break;
        default:
            map.emplace(tag, bool(i & 1));
        }
    }
    return map;
}

// Set and get, per value type: 0 boolean, 1 integer, 2 unsigned, 3 double,
// 4 GUID, 5 string, 6 time.
void setOne(IoxSysPropertyBag3* bag, int type, uint32_t tag) {
    const oxSysAttrTimestampUTC time = {{0, 0xB0000000, 0, 0}};
    switch (type) {
    case 0:
        bag->SetBooleanProperty(tag, 1);
        break;
    case 1:
        bag->SetIntegerProperty(tag, -5);
        break;
    case 2:
        bag->SetUnsignedIntegerProperty(tag, 5);
        break;
    case 3:
        bag->SetDoubleProperty(tag, 2.5);
        break;
    case 4:
        bag->SetGuidProperty(tag, _GUID{1, 2, 3, {4}});
        break;
    case 5:
        bag->SetStringProperty(tag, kText);
        break;
    default:
        bag->SetTimestampPropertyUTC(tag, &time);
    }
}

Value valueOf(int type) {
    switch (type) {
    case 0:
        return true;
    case 1:
        return int32_t(-5);
    case 2:
        return uint32_t(5);
    case 3:
        return 2.5;
    case 4:
        return _GUID{1, 2, 3, {4}};
    case 5:
        return std::u16string(kText);
    default:
        return oxSysAttrTimestampUTC{{0, 0xB0000000, 0, 0}};
    }
}

constexpr uint32_t kTag = 0x07F00000;

void BagSet(benchmark::State& state) {
    IoxSysPropertyBag3* bag = cameraLikeBag();
    const int type = int(state.range(0));
    for (auto _ : state) {
        setOne(bag, type, kTag);
    }
    bag->Release();
}

void BagSet_floor(benchmark::State& state) {
    auto map = cameraLikeMap();
    const int type = int(state.range(0));
    for (auto _ : state) {
        map.insert_or_assign(kTag, valueOf(type));
        benchmark::DoNotOptimize(map);
    }
}

void BagGet(benchmark::State& state) {
    IoxSysPropertyBag3* bag = cameraLikeBag();
    const int type = int(state.range(0));
    setOne(bag, type, kTag);
    for (auto _ : state) {
        int32_t integer = 0;
        uint32_t word = 0;
        double real = 0;
        _GUID guid{};
        char16_t* text = nullptr;
        oxSysAttrTimestampUTC time{};
        switch (type) {
        case 0:
            bag->GetBooleanProperty(kTag, &integer);
            break;
        case 1:
            bag->GetIntegerProperty(kTag, &integer);
            break;
        case 2:
            bag->GetUnsignedIntegerProperty(kTag, &word);
            break;
        case 3:
            bag->GetDoubleProperty(kTag, &real);
            break;
        case 4:
            bag->GetGuidProperty(kTag, &guid);
            break;
        case 5:
            bag->GetStringProperty(kTag, &text);
            BStrFree(text);
            break;
        default:
            bag->GetTimestampPropertyUTC(kTag, &time);
        }
        benchmark::DoNotOptimize(word + uint32_t(integer));
    }
    bag->Release();
}

void BagGet_floor(benchmark::State& state) {
    auto map = cameraLikeMap();
    map.insert_or_assign(kTag, valueOf(int(state.range(0))));
    for (auto _ : state) {
        Value copy = map.find(kTag)->second; // a string is copied out, as the bag's is
        benchmark::DoNotOptimize(copy);
    }
}

void BagClone(benchmark::State& state) {
    IoxSysPropertyBag3* bag = cameraLikeBag();
    for (auto _ : state) {
        IoxSysPropertyBag* copy = nullptr;
        bag->Clone(&copy);
        copy->Release();
    }
    bag->Release();
}

void BagClone_floor(benchmark::State& state) {
    const auto map = cameraLikeMap();
    for (auto _ : state) {
        auto copy = map;
        benchmark::DoNotOptimize(copy);
    }
}

void BagEnumProperties(benchmark::State& state) {
    IoxSysPropertyBag3* bag = cameraLikeBag();
    for (auto _ : state) {
        IoxSysEnumPropertyTag* tags = nullptr;
        bag->EnumProperties(&tags);
        tags->Release();
    }
    bag->Release();
}

void BagEnumProperties_floor(benchmark::State& state) {
    const auto map = cameraLikeMap();
    for (auto _ : state) {
        std::vector<uint32_t> keys;
        for (const auto& entry : map) {
            keys.push_back(entry.first);
        }
        benchmark::DoNotOptimize(keys);
    }
}

constexpr size_t kNames = 256;

std::unique_ptr<std::list<kr::tarn::WideString>> names() {
    auto list = std::make_unique<std::list<kr::tarn::WideString>>();
    for (size_t i = 0; i < kNames; ++i) {
        list->emplace_back(("cam" + std::to_string(10000 + i)).c_str());
    }
    return list;
}

void NamesNext(benchmark::State& state) {
    using Enumerator = CoxSysEnumItemNamesSTL<std::list<kr::tarn::WideString>>;
    auto* enumerator = CreateOwningEnumerator<Enumerator>(names());
    const uint32_t batch = uint32_t(state.range(0));
    std::vector<char16_t*> out(batch);
    for (auto _ : state) {
        enumerator->Reset();
        uint32_t fetched = 0;
        while (enumerator->Next(batch, out.data(), &fetched) == S_OK || fetched != 0) {
            for (uint32_t i = 0; i < fetched; ++i) {
                BStrFree(out[i]);
            }
        }
    }
    enumerator->Release();
    reportPerItem(state, double(kNames));
}

void NamesNext_floor(benchmark::State& state) {
    const auto list = names();
    for (auto _ : state) {
        for (const auto& name : *list) {
            BStrFree(BStrAlloc(name.c_str()));
        }
    }
    reportPerItem(state, double(kNames));
}

IoxSysPropertyBag3* g_sharedBag = nullptr;
std::atomic<uint32_t> g_sharedCount{1};

void AddRefReleaseShared(benchmark::State& state) {
    if (state.thread_index() == 0) {
        g_sharedBag = newBag();
    }
    for (auto _ : state) {
        g_sharedBag->AddRef();
        g_sharedBag->Release();
    }
    if (state.thread_index() == 0) {
        g_sharedBag->Release();
    }
}

void AddRefReleaseShared_floor(benchmark::State& state) {
    for (auto _ : state) {
        g_sharedCount.fetch_add(1, std::memory_order_relaxed);
        benchmark::DoNotOptimize(g_sharedCount.fetch_sub(1, std::memory_order_acq_rel));
    }
}

void AddRefReleaseOwn(benchmark::State& state) {
    IoxSysPropertyBag3* bag = newBag();
    for (auto _ : state) {
        bag->AddRef();
        bag->Release();
    }
    bag->Release();
}

void AddRefReleaseOwn_floor(benchmark::State& state) {
    std::atomic<uint32_t> count{1};
    for (auto _ : state) {
        count.fetch_add(1, std::memory_order_relaxed);
        benchmark::DoNotOptimize(count.fetch_sub(1, std::memory_order_acq_rel));
    }
}

} // namespace

BENCHMARK(BagSet)->DenseRange(0, 6);
BENCHMARK(BagSet_floor)->DenseRange(0, 6);
BENCHMARK(BagGet)->DenseRange(0, 6);
BENCHMARK(BagGet_floor)->DenseRange(0, 6);
BENCHMARK(BagClone);
BENCHMARK(BagClone_floor);
BENCHMARK(BagEnumProperties);
BENCHMARK(BagEnumProperties_floor);
// Named, as a batch is not a size the time should grow with.
BENCHMARK(NamesNext)->ArgName("batch")->Arg(1)->Arg(16)->Arg(256);
BENCHMARK(NamesNext_floor)->ArgName("batch")->Arg(1)->Arg(16)->Arg(256);
BENCHMARK(AddRefReleaseShared)->Threads(1)->Threads(2)->Threads(4);
BENCHMARK(AddRefReleaseShared_floor)->Threads(1)->Threads(2)->Threads(4);
BENCHMARK(AddRefReleaseOwn)->Threads(1)->Threads(2)->Threads(4);
BENCHMARK(AddRefReleaseOwn_floor)->Threads(1)->Threads(2)->Threads(4);

KR_BENCHMARK_MAIN();
