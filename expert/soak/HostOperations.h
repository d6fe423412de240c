// The host's side of the soak: the calls a host framework's threads make into
// one running expert, chosen at random, each checked for a result the
// contract allows. One HostOperations belongs to one host thread.
#pragma once

#include "HostObjects.h"
#include "RestlessHandlers.h"

#include "contract/oxSysInterfaces.h"

#include <array>
#include <cctype>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

enum class Operation {
    SearchForItemsAndProperties,
    SearchForItemNames,
    GetPropertiesOfItem,
    CloneBag,
    EnumProperties,
    ValidatePropertyChanges,
    PopulateOrRefreshProperties,
    RegisterNotificationCallback,
    Initialize,
    Finalize,
    BatchLockedRead,
};

constexpr size_t kOperationKinds = size_t(Operation::BatchLockedRead) + 1;

constexpr const char* operationName(Operation operation) {
    constexpr const char* names[kOperationKinds] = {
        "SearchForItemsAndProperties",
        "SearchForItemNames",
        "GetPropertiesOfItem",
        "Clone",
        "EnumProperties",
        "ValidatePropertyChanges",
        "PopulateOrRefreshProperties",
        "RegisterNotificationCallback",
        "Initialize",
        "Finalize",
        "BatchLockedRead",
    };
    return names[size_t(operation)];
}

using OperationCounts = std::array<uint64_t, kOperationKinds>;

// One of the expert's bags that every host thread uses: some hold its batch
// lock while they read items, others validate changes against it.
struct SharedBag {
    IoxSysPropertyBag3* bag = nullptr;
    std::vector<uint32_t> changedTags; // what its EnumChangedTags gives
};

class HostOperations {
public:
    HostOperations(IoxSysExpert2* expert, RestlessHandlers& handlers, const SharedBag& shared,
                   const std::vector<std::string>& itemNames, uint32_t seed)
        : m_expert(expert), m_handlers(handlers), m_shared(shared), m_itemNames(itemNames),
          m_random(seed) {}

    void performOne() {
        const Operation operation = pickOperation();
        switch (operation) {
        case Operation::SearchForItemsAndProperties:
            searchForItemsAndProperties();
            break;
        case Operation::SearchForItemNames:
            searchForItemNames();
            break;
        case Operation::GetPropertiesOfItem:
            getPropertiesOfItem();
            break;
        case Operation::CloneBag:
            cloneBag();
            break;
        case Operation::EnumProperties:
            enumProperties();
            break;
        case Operation::ValidatePropertyChanges:
            validatePropertyChanges();
            break;
        case Operation::PopulateOrRefreshProperties:
            populateOrRefreshProperties();
            break;
        case Operation::RegisterNotificationCallback:
            // Never a null handler: even briefly, it would lose notifications
            // and spoil the picture.
            expect(operation, m_handlers.registerOne(m_random()), {0});
            break;
        case Operation::Initialize:
            expect(operation, m_expert->Initialize(), {0});
            break;
        case Operation::Finalize:
            expect(operation, m_expert->Finalize(), {0});
            break;
        case Operation::BatchLockedRead:
            batchLockedRead();
            break;
        }
        ++m_counts[size_t(operation)];
    }

    const OperationCounts& counts() const { return m_counts; }
    uint64_t surpriseCount() const { return m_surpriseCount; }
    // The first few surprises, described.
    const std::vector<std::string>& surprises() const { return m_surprises; }

private:
    static constexpr uint32_t kTagPresent = 0x01001000;
    static constexpr uint32_t kTagVendor = 0x01004000;
    static constexpr uint32_t kTagModel = 0x01006000;
    static constexpr uint32_t kTagSerialNumber = 0x01007000;
    static constexpr uint32_t kTagItemName = 0x0101D000;
    static constexpr int32_t kItemNotFound = int32_t(0x80040375);
    static constexpr size_t kSurprisesKept = 20;

    Operation pickOperation() { return Operation(m_pickKind(m_random)); }

    // One of the names the driver may report, sometimes in other letter case:
    // the expert matches names ignoring case.
    std::string pickItemName() {
        std::string name = m_itemNames[m_random() % m_itemNames.size()];
        if (m_random() % 4 == 0) {
            for (char& c : name) {
                c = char(std::toupper(static_cast<unsigned char>(c)));
            }
        }
        return name;
    }

    void searchForItemsAndProperties() {
        CollectingCollection collection;
        expect(Operation::SearchForItemsAndProperties,
               m_expert->SearchForItemsAndProperties(&collection), {0, 1});
    }

    void searchForItemNames() {
        IoxSysEnumStringList* names = nullptr;
        const int32_t status = m_expert->SearchForItemNames(&names);
        expect(Operation::SearchForItemNames, status, {0, 1});
        if (status == 0) {
            namesIn(names);
            names->Release();
        }
    }

    // The bag of an item, or null when the item is absent now.
    IoxSysPropertyBag* bagOf(Operation operation, const std::string& name) {
        IoxSysPropertyBag* bag = nullptr;
        expect(operation, m_expert->GetPropertiesOfItem(wide(name).c_str(), &bag),
               {0, kItemNotFound});
        return bag;
    }

    // The item name comes back in the caller's spelling.
    void readProperties(Operation operation, IoxSysPropertyBag* bag, const std::string& name) {
        char16_t* text = nullptr;
        expect(operation, bag->GetStringProperty(kTagItemName, &text), {0});
        const std::string itemName = takeText(text);
        if (itemName != name) {
            surprise(operation, "item name \"" + itemName + "\" for \"" + name + "\"");
        }
        text = nullptr;
        expect(operation, bag->GetStringProperty(kTagSerialNumber, &text), {0});
        takeText(text);
        int32_t present = 0;
        expect(operation, bag->GetBooleanProperty(kTagPresent, &present), {0});
    }

    void getPropertiesOfItem() {
        const std::string name = pickItemName();
        if (IoxSysPropertyBag* bag = bagOf(Operation::GetPropertiesOfItem, name)) {
            readProperties(Operation::GetPropertiesOfItem, bag, name);
            bag->Release();
        }
    }

    void cloneBag() {
        const std::string name = pickItemName();
        IoxSysPropertyBag* bag = bagOf(Operation::CloneBag, name);
        if (bag == nullptr) {
            return;
        }
        void* itf = nullptr;
        expect(Operation::CloneBag, bag->QueryInterface(IID_IoxSysPropertyBag2, &itf), {0});
        if (auto* bag2 = static_cast<IoxSysPropertyBag2*>(itf)) {
            IoxSysPropertyBag* copy = nullptr;
            expect(Operation::CloneBag, bag2->Clone(&copy), {0});
            if (copy != nullptr) {
                readProperties(Operation::CloneBag, copy, name);
                copy->Release();
            }
            bag2->Release();
        }
        bag->Release();
    }

    void enumProperties() {
        IoxSysPropertyBag* bag = bagOf(Operation::EnumProperties, pickItemName());
        if (bag == nullptr) {
            return;
        }
        IoxSysEnumPropertyTag* tags = nullptr;
        expect(Operation::EnumProperties, bag->EnumProperties(&tags), {0});
        if (tags != nullptr) {
            if (tagsIn(tags).empty()) {
                surprise(Operation::EnumProperties, "a bag without properties");
            }
            tags->Release();
        }
        bag->Release();
    }

    // The items are read-only: every changed tag comes back rejected, in the
    // bag's order. Half of the validations use the shared bag, which another
    // thread may hold locked while it waits for a read.
    void validatePropertyChanges() {
        const std::vector<uint32_t> hostTags = {kTagVendor, kTagModel, kTagSerialNumber};
        ChangedTagsBag hostBag(hostTags);
        const bool shared = m_random() % 2 == 0;
        IoxSysPropertyBag2* changes =
            shared ? static_cast<IoxSysPropertyBag2*>(m_shared.bag) : &hostBag;
        IoxSysEnumPropertyTag* rejected = nullptr;
        char16_t* text = nullptr;
        const int32_t status = m_expert->ValidatePropertyChanges(wide(pickItemName()).c_str(),
                                                                 changes, &rejected, &text);
        expect(Operation::ValidatePropertyChanges, status, {0, kItemNotFound});
        takeText(text);
        if (rejected != nullptr) {
            if (tagsIn(rejected) != (shared ? m_shared.changedTags : hostTags)) {
                surprise(Operation::ValidatePropertyChanges, "rejected tags differ");
            }
            rejected->Release();
        }
        if (hostBag.references() != 1) {
            surprise(Operation::ValidatePropertyChanges, "the host's bag kept a reference");
        }
    }

    // Holds the shared bag's batch lock across a read of another item.
    void batchLockedRead() {
        expect(Operation::BatchLockedRead, m_shared.bag->AcquireBatchLock(), {0});
        const std::string name = pickItemName();
        if (IoxSysPropertyBag* bag = bagOf(Operation::BatchLockedRead, name)) {
            readProperties(Operation::BatchLockedRead, bag, name);
            bag->Release();
        }
        expect(Operation::BatchLockedRead, m_shared.bag->ReleaseBatchLock(), {0});
    }

    void populateOrRefreshProperties() {
        const std::string name = pickItemName();
        const uint32_t wanted[] = {kTagItemName, kTagPresent};
        IoxSysPropertyBag* bag = nullptr;
        expect(Operation::PopulateOrRefreshProperties,
               m_expert->PopulateOrRefreshProperties(wide(name).c_str(), 2, wanted, 0, &bag),
               {0, kItemNotFound});
        if (bag != nullptr) {
            readProperties(Operation::PopulateOrRefreshProperties, bag, name);
            bag->Release();
        }
    }

    void expect(Operation operation, int32_t status, std::initializer_list<int32_t> allowed) {
        for (int32_t good : allowed) {
            if (status == good) {
                return;
            }
        }
        std::ostringstream text;
        text << "status 0x" << std::hex << uint32_t(status);
        surprise(operation, text.str());
    }

    void surprise(Operation operation, const std::string& what) {
        if (++m_surpriseCount <= kSurprisesKept) {
            m_surprises.push_back(std::string(operationName(operation)) + ": " + what);
        }
    }

    IoxSysExpert2* m_expert;
    RestlessHandlers& m_handlers;
    const SharedBag& m_shared;
    const std::vector<std::string>& m_itemNames;
    std::mt19937 m_random;
    // How often each operation comes, in the order of Operation. Starts
    // outnumber stops, so that the refresh thread runs most of the time and
    // the driver keeps changing under the searches.
    static constexpr double kWeights[kOperationKinds] = {2, 4, 4, 3, 3, 3, 3, 2, 2, 1, 2};
    std::discrete_distribution<size_t> m_pickKind{std::begin(kWeights), std::end(kWeights)};
    OperationCounts m_counts{};
    uint64_t m_surpriseCount = 0;
    std::vector<std::string> m_surprises;
};
