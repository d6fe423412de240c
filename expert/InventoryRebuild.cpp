// Rebuilding the inventory from the driver: one record per camera and per
// frame grabber, under its item name, with what the driver says of it.
#include "expert/CoxSysVyrex.h"

#include "expert/ItemNames.h"
#include "expert/ItemTexts.h"
#include "expert/PassRecords.h"

#include "tarn/Exception.h"

#include <cstring>
#include <new>
#include <optional>
#include <utility>
#include <vector>

namespace nKRVYREX_SYSAPI_EXPERT_18_5 {

CameraRecord CameraRecordOf(const CameraEntry& entry) {
    CameraRecord record;
    record.entryWords[0] = entry.entryWord0;
    record.entryWords[1] = entry.entryWord1;
    record.entryWords[2] = entry.entryWord2;
    record.serialNumberHigh = entry.serialNumberHigh;
    record.serialNumberLow = entry.serialNumberLow;
    record.busType = entry.busType;
    record.interfaceName = FieldText(entry.interfaceName);
    record.vendorName = FieldText(entry.vendorName);
    record.modelName = FieldText(entry.modelName);
    record.spareText0 = FieldText(entry.spareText0);
    record.spareText1 = FieldText(entry.spareText1);
    return record;
}

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
        std::optional<ItemName> name = ConvertedName([&] { return FrameGrabberItemName(entry); });
        if (name) {
            frameGrabbers.try_emplace(std::move(*name)).first->second = entry;
        }
    }
}

} // namespace nKRVYREX_SYSAPI_EXPERT_18_5
