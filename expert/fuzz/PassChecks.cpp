#include "expert/fuzz/PassChecks.h"

#include "contract/Status.h"
#include "expert/fuzz/PropertyReadback.h"
#include "expert/fuzz/Require.h"
#include "hostkit/BagCollection.h"
#include "hostkit/Enumerators.h"

#include <string>
#include <vector>

namespace expertfuzz {

namespace {

// Each pass looks up this many present and this many absent names on their
// own, and reads every property of at most this many bags of the full
// search (spread over it; the others only for their names): enough to
// check them, few enough to keep the fuzzer fast.
constexpr size_t kLookupsPerPass = 4;
constexpr size_t kBagsReadWhole = 8;

ItemKeySet searchedKeys(IoxSysExpert2* expert) {
    IoxSysEnumStringList* names = nullptr;
    const int32_t status = expert->SearchForItemNames(&names);
    if (status == S_FALSE) {
        KR_FUZZ_REQUIRE(names == nullptr);
        return ItemKeySet();
    }
    KR_FUZZ_REQUIRE(status == S_OK && names != nullptr);
    const std::vector<std::u16string> found =
        required(drainNames(names, 2), "the names enumerator keeps its contract");
    names->Release();
    KR_FUZZ_REQUIRE(!found.empty());
    ItemKeySet keys;
    for (const std::u16string& name : found) {
        // Cameras and frame grabbers never share a name here (NameRules.h),
        // and each list holds a name once.
        KR_FUZZ_REQUIRE(keys.insert(keyOf(name)).second);
    }
    return keys;
}

void checkFullSearch(IoxSysExpert2* expert, const ItemKeySet& keys, bool everyTextConverts) {
    StackBagCollection collection;
    const int32_t status = expert->SearchForItemsAndProperties(&collection);
    KR_FUZZ_REQUIRE(status == (collection.bags().empty() ? S_FALSE : S_OK));
    const std::vector<IoxSysPropertyBag*>& bags = collection.bags();
    const size_t stride = bags.size() / kBagsReadWhole + 1;
    ItemKeySet bagKeys;
    for (size_t i = 0; i < bags.size(); ++i) {
        const ItemKey key =
            keyOf(i % stride == 0 ? readEveryProperty(bags[i]) : itemNameOf(bags[i]));
        KR_FUZZ_REQUIRE(keys.count(key) != 0 && bagKeys.insert(key).second);
    }
    KR_FUZZ_REQUIRE(!everyTextConverts || bagKeys == keys);
    KR_FUZZ_REQUIRE(collection.references() == 1);
}

// A present name has a bag named as asked, unless one of its texts cannot
// be converted; an absent one has none.
void checkLookup(IoxSysExpert2* expert, const ItemKey& key, bool present, bool everyTextConverts) {
    IoxSysPropertyBag* bag = nullptr;
    const int32_t status = expert->GetPropertiesOfItem(key.c_str(), &bag);
    IoxSysPropertyBag* refreshed = nullptr;
    const int32_t refreshStatus =
        expert->PopulateOrRefreshProperties(key.c_str(), 0, nullptr, 0, &refreshed);
    KR_FUZZ_REQUIRE(status == refreshStatus);
    if (!present) {
        KR_FUZZ_REQUIRE(status == OX_E_ITEM_NOT_FOUND && bag == nullptr && refreshed == nullptr);
        return;
    }
    if (status != S_OK) {
        KR_FUZZ_REQUIRE(!everyTextConverts && status == E_FAIL);
        KR_FUZZ_REQUIRE(bag == nullptr && refreshed == nullptr);
        return;
    }
    KR_FUZZ_REQUIRE(bag != nullptr && refreshed != nullptr);
    KR_FUZZ_REQUIRE(itemNameOf(bag) == key && itemNameOf(refreshed) == key);
    bag->Release();
    refreshed->Release();
}

} // namespace

void checkAfterPass(IoxSysExpert2* expert, const NotifiedInventory& handler,
                    const PassExpectations& expectations) {
    const ItemKeySet keys = searchedKeys(expert);
    KR_FUZZ_REQUIRE(keys == handler.inventory());
    KR_FUZZ_REQUIRE(keys == expectations.expectedKeys);

    checkFullSearch(expert, keys, expectations.everyTextConverts);

    size_t present = 0;
    for (auto key = keys.begin(); key != keys.end() && present < kLookupsPerPass; ++key) {
        checkLookup(expert, *key, true, expectations.everyTextConverts);
        ++present;
    }
    size_t absent = 0;
    for (auto key = handler.everTold().begin();
         key != handler.everTold().end() && absent < kLookupsPerPass; ++key) {
        if (keys.count(*key) == 0) {
            checkLookup(expert, *key, false, expectations.everyTextConverts);
            ++absent;
        }
    }

    IoxSysPropertyBag* bag = nullptr;
    KR_FUZZ_REQUIRE(expert->GetPropertiesOfItem(nullptr, &bag) == E_POINTER && bag == nullptr);
}

} // namespace expertfuzz
