// Rebuilding the inventory from the driver and comparing two pictures.
#include "expert/CoxSysVyrex.h"

#include "expert/ItemTexts.h"
#include "tarn/WideStringFromField.h"

#include "kernel/pages.h"
#include "tarn/Exception.h"

#include <cstdint>
#include <cstring>
#include <new>
#include <optional>
#include <type_traits>
#include <utility>
#include <vector>

namespace nKRVYREX_SYSAPI_EXPERT_18_5 {

namespace {

// An item name, or none when the platform's conversion refuses the driver's
// text: that one entry is left out rather than failing the whole pass. A
// memory failure still ends the pass.
template <class Convert>
std::optional<ItemName> ConvertedName(Convert convert) {
    try {
        return convert();
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const kr::tarn::exception::Exception&) {
        return std::nullopt;
    }
}

// The driver's records for one pass, zero-filled. A large array is made of
// whole pages that go back to the system when the pass frees them: from the
// heap, a pass's worth of records would stay resident between passes.
template <class Record>
class PassRecords {
    static_assert(std::is_trivially_copyable<Record>::value &&
                      std::is_trivially_default_constructible<Record>::value,
                  "zero-filled pages are a valid array of records");

public:
    explicit PassRecords(uint32_t count) {
        if (count > SIZE_MAX / sizeof(Record)) {
            throw std::bad_alloc();
        }
        m_bytes = size_t(count) * sizeof(Record);
        if (m_bytes < kPagesFrom) {
            m_records = new Record[count]();
            return;
        }
        m_records = static_cast<Record*>(kernelPagesAllocate(m_bytes));
        if (m_records == nullptr) {
            throw std::bad_alloc();
        }
        m_pages = true;
    }

    ~PassRecords() {
        if (m_pages) {
            kernelPagesFree(m_records, m_bytes);
        } else {
            delete[] m_records;
        }
    }

    PassRecords(const PassRecords&) = delete;
    PassRecords& operator=(const PassRecords&) = delete;

    Record* data() { return m_records; }
    Record& operator[](size_t i) { return m_records[i]; }

private:
    static constexpr size_t kPagesFrom = 256 * 1024;

    Record* m_records = nullptr;
    size_t m_bytes = 0;
    bool m_pages = false;
};

} // namespace

void CoxSysVyrex::RefreshCameras(CameraMap& cameras) {
    cameras.clear();
    uint32_t count = 0;
    VyrexEnumerateCameras(nullptr, &count, 1);
    if (count == 0) {
        return;
    }
    PassRecords<CameraEntry> entries(count);
    uint32_t filled = count;
    VyrexEnumerateCameras(entries.data(), &filled, 1);
    char driverName[kVyrexTextSize];
    for (uint32_t i = 0; i < filled && i < count; ++i) {
        CameraRecord record = CameraRecordOf(entries[i]);
        // An entry whose name cannot be converted is left out: no driver
        // calls for it.
        std::optional<ItemName> name = ConvertedName([&] { return CameraItemName(record); });
        if (!name) {
            continue;
        }
        std::memset(driverName, 0, sizeof driverName);
        VyrexGetDriverName2(SerialNumberOf(record), driverName, uint32_t(sizeof driverName));
        record.driverName = FieldText(driverName);
        // The driver reads the name as a zero-terminated text: the record's
        // copy is one, even when the entry's field was full.
        VyrexGetCameraProperty(record.interfaceName.c_str(), kVyrexCameraAddress1,
                               &record.address1);
        VyrexGetCameraProperty(record.interfaceName.c_str(), kVyrexCameraAddress2,
                               &record.address2);
        // A later entry with an equal name replaces the record; the key keeps
        // the letter case of the first.
        cameras.insert_or_assign(std::move(*name), std::move(record));
    }
}

void CoxSysVyrex::RefreshFrameGrabbers(FrameGrabberMap& frameGrabbers) {
    frameGrabbers.clear();
    uint32_t count = 0;
    if (VyrexEnumerateFrameGrabbers(nullptr, &count) != 0 || count == 0) {
        return;
    }
    std::vector<FrameGrabberRecord> entries(count, FrameGrabberRecord{});
    if (VyrexEnumerateFrameGrabbers(entries.data(), &count) != 0) {
        return;
    }
    entries.resize(count, FrameGrabberRecord{});
    for (const FrameGrabberRecord& entry : entries) {
        std::optional<ItemName> name =
            ConvertedName([&] { return kr::tarn::WideStringFromField(entry.name); });
        if (name) {
            frameGrabbers.try_emplace(std::move(*name)).first->second = entry;
        }
    }
}

namespace {

template <class Map, class Same>
void compareMaps(const Map& old, const Map& current, ItemNameSet& added, ItemNameSet& changed,
                 ItemNameSet& removed, Same same) {
    for (const auto& [name, record] : old) {
        const auto found = current.find(name);
        if (found == current.end()) {
            removed.insert(name);
        } else if (!same(record, found->second)) {
            changed.insert(name);
        }
    }
    for (const auto& entry : current) {
        if (old.count(entry.first) == 0) {
            added.insert(entry.first);
        }
    }
}

} // namespace

void CoxSysVyrex::CompareCameras(const CameraMap& old, const CameraMap& current, ItemNameSet& added,
                                 ItemNameSet& changed, ItemNameSet& removed) {
    compareMaps(old, current, added, changed, removed,
                [](const CameraRecord& a, const CameraRecord& b) { return a == b; });
}

void CoxSysVyrex::CompareFrameGrabbers(const FrameGrabberMap& old, const FrameGrabberMap& current,
                                       ItemNameSet& added, ItemNameSet& changed,
                                       ItemNameSet& removed) {
    compareMaps(old, current, added, changed, removed, sameFrameGrabber);
}

} // namespace nKRVYREX_SYSAPI_EXPERT_18_5
