// Turning one inventory record into the property bag the host sees: a
// fixed, ordered series of typed properties per camera or frame grabber.
#include "expert/CoxSysVyrex.h"

#include "expert/ItemTexts.h"
#include "expert/PropertyTags.h"
#include "objectmodel/Boundary.h"
#include "tarn/WideStringFromField.h"

#include <string>

namespace nKRVYREX_SYSAPI_EXPERT_18_5 {

namespace {

// Writes properties into a bag. A setter that fails (the heap running out)
// ends the filling with its status: a bag with properties missing is never
// handed out as complete.
class PropertyWriter {
public:
    explicit PropertyWriter(IoxSysPropertyBag* bag) : m_bag(bag) {}

    void unsignedValue(uint32_t tag, uint32_t value) {
        check(m_bag->SetUnsignedIntegerProperty(tag, value));
    }
    void signedValue(uint32_t tag, int32_t value) { check(m_bag->SetIntegerProperty(tag, value)); }
    void boolean(uint32_t tag, bool value) { check(m_bag->SetBooleanProperty(tag, value ? 1 : 0)); }
    void guid(uint32_t tag, const _GUID& value) { check(m_bag->SetGuidProperty(tag, value)); }
    void text(uint32_t tag, const char16_t* value) { check(m_bag->SetStringProperty(tag, value)); }
    void text(uint32_t tag, const ItemName& value) { text(tag, value.c_str()); }
    void narrowText(uint32_t tag, const std::string& value) { text(tag, ItemName(value.c_str())); }
    void field(uint32_t tag, const char (&value)[kVyrexTextSize]) {
        text(tag, kr::tarn::WideStringFromField(value));
    }

private:
    static void check(int32_t status) {
        if (KR_FAILED(status)) {
            throw status;
        }
    }
    IoxSysPropertyBag* m_bag;
};

// A driver camera property; 0 when the driver cannot answer.
uint32_t cameraProperty(const char (&interfaceName)[kVyrexTextSize], uint32_t number) {
    const TerminatedName terminated(interfaceName);
    uint32_t value = 0;
    if (VyrexGetCameraProperty(terminated.text, number, &value) != 0) {
        value = 0;
    }
    return value;
}

enum class CameraBranch { Network, USB, FireWire, CameraLink, Simulated, Other };

CameraBranch branchOf(uint32_t busType) {
    switch (busType) {
    case kVyrexBusIPv4:
    case kVyrexBusIPCamera:
        return CameraBranch::Network;
    case kVyrexBusUSB3:
    case kVyrexBusUVC:
        return CameraBranch::USB;
    case kVyrexBusFireWire:
        return CameraBranch::FireWire;
    case kVyrexBusCameraLink:
        return CameraBranch::CameraLink;
    case kVyrexBusSimulated:
        return CameraBranch::Simulated;
    default:
        return CameraBranch::Other;
    }
}

void writeCommonCameraProperties(PropertyWriter& out, const char16_t* name,
                                 const CameraRecord& record, uint32_t driverVersion) {
    const CameraEntry& entry = record.entry;
    out.unsignedValue(tags::kEntryWord0, entry.entryWord0);
    out.unsignedValue(tags::kEntryWord1, entry.entryWord1);
    out.unsignedValue(tags::kEntryWord2, entry.entryWord2);
    out.signedValue(tags::kBusType, int32_t(entry.busType));
    out.narrowText(tags::kSerialNumber,
                   SerialNumberText(entry.serialNumberHigh, entry.serialNumberLow));
    out.field(tags::kVendor, entry.vendorName);
    out.narrowText(tags::kModel, ModelText(entry.vendorName, entry.modelName));
    out.signedValue(tags::kItemKind, 1);
    out.text(tags::kItemName, name);
    out.boolean(tags::kHiddenFlag, false);
    out.signedValue(tags::kPriority, 100);
    out.boolean(tags::kPresent, true);
    out.boolean(tags::kReadOnlyFlag, false);
    out.signedValue(tags::kInstanceCount, 1);
    out.boolean(tags::kIsFrameGrabber, false);
    out.field(tags::kInterfaceName, entry.interfaceName);
    out.guid(tags::kItemGuid, record.guid);
    out.unsignedValue(tags::kDriverVersion, driverVersion);
    out.field(tags::kDriverName, record.driverName);
}

void writeBusProperties(PropertyWriter& out, const CameraRecord& record) {
    const CameraEntry& entry = record.entry;
    switch (branchOf(entry.busType)) {
    case CameraBranch::Network:
        out.unsignedValue(tags::kDeviceClass, 6);
        out.narrowText(tags::kNetworkAddress1, AddressText(record.address1));
        out.narrowText(tags::kNetworkAddress2, AddressText(record.address2));
        out.signedValue(tags::kNetworkFlag, 1);
        out.text(tags::kNetworkGateway, u"");
        out.boolean(tags::kNetworkDhcp, false);
        out.field(tags::kDriverName, record.driverName);
        break;
    case CameraBranch::USB: {
        const uint32_t vendorId = cameraProperty(entry.interfaceName, kVyrexCameraIdentifier1);
        const uint32_t productId = cameraProperty(entry.interfaceName, kVyrexCameraIdentifier2);
        out.unsignedValue(tags::kIdentifierA, vendorId);
        out.unsignedValue(tags::kIdentifierB, productId);
        out.unsignedValue(tags::kDeviceClass, 2);
        out.unsignedValue(tags::kUsbFlag, 1);
        out.field(tags::kDriverName, record.driverName);
        break;
    }
    case CameraBranch::FireWire:
        out.unsignedValue(tags::kDeviceClass, 12);
        out.unsignedValue(tags::kIdentifierA,
                          cameraProperty(entry.interfaceName, kVyrexCameraIdentifier1));
        out.field(tags::kDriverName, record.driverName);
        break;
    case CameraBranch::Simulated:
        out.boolean(tags::kSimulated, true);
        out.unsignedValue(tags::kDeviceClass, 0);
        break;
    case CameraBranch::CameraLink:
        out.unsignedValue(tags::kDeviceClass, 0);
        out.narrowText(tags::kShortIdentifier, EightDigitText(entry.serialNumberLow));
        break;
    case CameraBranch::Other:
        out.unsignedValue(tags::kDeviceClass, 0);
        break;
    }
}

void writeFrameGrabberProperties(PropertyWriter& out, const char16_t* name,
                                 const FrameGrabberRecord& record, uint32_t driverVersion) {
    out.signedValue(tags::kBusType, int32_t(record.busType));
    out.unsignedValue(tags::kDriverVersion, driverVersion);
    out.text(tags::kDriverName, u"Vyrex");
    out.narrowText(tags::kSerialNumber,
                   SerialNumberText(record.serialNumberHigh, record.serialNumberLow));
    out.text(tags::kVendor, u"Kroneth");
    out.unsignedValue(tags::kIdentifierA, record.identifierA);
    out.field(tags::kModel, record.modelName);
    out.unsignedValue(tags::kIdentifierB, record.identifierB);
    out.text(tags::kShortIdentifier, u"");
    out.signedValue(tags::kSlot, -1);
    out.signedValue(tags::kItemKind, 1);
    out.text(tags::kItemName, name);
    out.text(tags::kInterfaceName, name);
    out.boolean(tags::kHiddenFlag, false);
    out.signedValue(tags::kPriority, 100);
    out.boolean(tags::kPresent, true);
    out.boolean(tags::kReadOnlyFlag, false);
    out.signedValue(tags::kInstanceCount, 1);
    out.boolean(tags::kIsFrameGrabber, true);
    out.unsignedValue(tags::kDeviceClass, 1);
    out.unsignedValue(tags::kHardwareWord0, record.hardwareWord0);
    out.unsignedValue(tags::kHardwareWord1, record.hardwareWord1);
    out.unsignedValue(tags::kHardwareWord2, record.hardwareWord2);
    out.text(tags::kHardwareRevision, u"N/A");
    out.unsignedValue(tags::kUnsignedZero, 0);
    out.narrowText(tags::kHardwareIdentifier, EightDigitText(record.serialNumberLow));
    const LinkDescription speedA = LinkSpeed(record.linkSpeedA);
    const LinkDescription speedB = LinkSpeed(record.linkSpeedB);
    out.narrowText(tags::kLinkSpeedTextA, speedA.text);
    out.signedValue(tags::kLinkSpeedNumberA, speedA.number);
    out.narrowText(tags::kLinkSpeedTextB, speedB.text);
    out.signedValue(tags::kLinkSpeedNumberB, speedB.number);
    out.narrowText(tags::kLinkWidthTextA, LinkWidthText(record.linkWidthA));
    out.signedValue(tags::kLinkWidthNumberA, LinkWidthNumber(record.linkWidthA));
    out.narrowText(tags::kLinkWidthTextB, LinkWidthText(record.linkWidthB));
    out.signedValue(tags::kLinkWidthNumberB, LinkWidthNumber(record.linkWidthB));
}

} // namespace

int32_t CoxSysVyrex::FillItemProperties(const char16_t* name, IoxSysPropertyBag* bag) {
    const int32_t status = FillCameraProperties(name, bag);
    return status == OX_E_ITEM_NOT_FOUND ? FillFrameGrabberProperties(name, bag) : status;
}

// m_lock is held from the look-up to the last property, so a bag always
// describes one inventory state; the driver's property queries run under it.
int32_t CoxSysVyrex::FillCameraProperties(const char16_t* name, IoxSysPropertyBag* bag) {
    nKRZEPH000::tSemaphoreLock hold(m_lock);
    return KRStatusOf([&] {
        const auto found = m_cameras.find(ItemName(name));
        if (found == m_cameras.end()) {
            return OX_E_ITEM_NOT_FOUND;
        }
        PropertyWriter out(bag);
        writeCommonCameraProperties(out, name, found->second, m_driverVersion.load());
        writeBusProperties(out, found->second);
        return S_OK;
    });
}

int32_t CoxSysVyrex::FillFrameGrabberProperties(const char16_t* name, IoxSysPropertyBag* bag) {
    nKRZEPH000::tSemaphoreLock hold(m_lock);
    return KRStatusOf([&] {
        const auto found = m_frameGrabbers.find(ItemName(name));
        if (found == m_frameGrabbers.end()) {
            return OX_E_ITEM_NOT_FOUND;
        }
        PropertyWriter out(bag);
        writeFrameGrabberProperties(out, name, found->second, m_driverVersion.load());
        return S_OK;
    });
}

} // namespace nKRVYREX_SYSAPI_EXPERT_18_5
