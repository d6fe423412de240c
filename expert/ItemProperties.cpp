// Turning one inventory record into the property bag the host sees: a
// fixed, ordered series of typed properties per camera or frame grabber.
#include "expert/CoxSysVyrex.h"

#include "contract/PropertyTags.h"
#include "driver/BusClass.h"
#include "expert/ItemTexts.h"
#include "objectmodel/Boundary.h"
#include "tarn/osdep/AnsiToWide.h"

#include <cstring>
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
    void field(uint32_t tag, const char (&value)[kVyrexTextSize]) {
        narrow(tag, value, uint32_t(strnlen(value, kVyrexTextSize)));
    }
    void text(uint32_t tag, const std::string& value) {
        narrow(tag, value.data(), uint32_t(value.size()));
    }

private:
    // Narrow text converted as every wide string converts it. A short one is
    // converted on the stack, so the bag's own copy is the only one made.
    void narrow(uint32_t tag, const char* begin, uint32_t bytes) {
        const char* end = begin + bytes;
        const uint32_t units = kr::tarn::osdep::AnsiToWideSize(begin, end, "", 0);
        if (units >= kShortTextUnits) {
            text(tag, ItemName(begin, bytes));
            return;
        }
        char16_t converted[kShortTextUnits];
        char16_t* written = converted + units;
        kr::tarn::osdep::AnsiToWide(begin, end, "", 0, converted, written);
        *written = 0;
        text(tag, converted);
    }

    static constexpr uint32_t kShortTextUnits = 256;

    static void check(int32_t status) {
        if (KR_FAILED(status)) {
            throw status;
        }
    }
    IoxSysPropertyBag* m_bag;
};

// A driver camera property; 0 when the driver cannot answer.
uint32_t cameraProperty(const std::string& interfaceName, uint32_t number) {
    uint32_t value = 0;
    if (VyrexGetCameraProperty(interfaceName.c_str(), number, &value) != 0) {
        value = 0;
    }
    return value;
}

void writeCommonCameraProperties(PropertyWriter& out, const char16_t* name,
                                 const CameraRecord& record, uint32_t driverVersion) {
    out.unsignedValue(oxSysTags::kEntryWord0, record.entryWords[0]);
    out.unsignedValue(oxSysTags::kEntryWord1, record.entryWords[1]);
    out.unsignedValue(oxSysTags::kEntryWord2, record.entryWords[2]);
    out.signedValue(oxSysTags::kBusType, int32_t(record.busType));
    out.text(oxSysTags::kSerialNumber,
             SerialNumberText(record.serialNumberHigh, record.serialNumberLow));
    out.text(oxSysTags::kVendor, record.vendorName);
    out.text(oxSysTags::kModel, ModelText(record.vendorName, record.modelName));
    out.signedValue(oxSysTags::kItemKind, 1);
    out.text(oxSysTags::kItemName, name);
    out.boolean(oxSysTags::kHiddenFlag, false);
    out.signedValue(oxSysTags::kPriority, 100);
    out.boolean(oxSysTags::kPresent, true);
    out.boolean(oxSysTags::kReadOnlyFlag, false);
    out.signedValue(oxSysTags::kInstanceCount, 1);
    out.boolean(oxSysTags::kIsFrameGrabber, false);
    out.text(oxSysTags::kInterfaceName, record.interfaceName);
    out.guid(oxSysTags::kItemGuid, record.guid);
    out.unsignedValue(oxSysTags::kDriverVersion, driverVersion);
    out.text(oxSysTags::kDriverName, record.driverName);
}

void writeBusProperties(PropertyWriter& out, const CameraRecord& record) {
    switch (VyrexBusClassOf(record.busType)) {
    case VyrexBusClass::Network:
        out.unsignedValue(oxSysTags::kDeviceClass, 6);
        out.text(oxSysTags::kNetworkAddress1, AddressText(record.address1));
        out.text(oxSysTags::kNetworkAddress2, AddressText(record.address2));
        out.signedValue(oxSysTags::kNetworkFlag, 1);
        out.text(oxSysTags::kNetworkGateway, u"");
        out.boolean(oxSysTags::kNetworkDhcp, false);
        out.text(oxSysTags::kDriverName, record.driverName);
        break;
    case VyrexBusClass::USB: {
        const uint32_t vendorId = cameraProperty(record.interfaceName, kVyrexCameraIdentifier1);
        const uint32_t productId = cameraProperty(record.interfaceName, kVyrexCameraIdentifier2);
        out.unsignedValue(oxSysTags::kIdentifierA, vendorId);
        out.unsignedValue(oxSysTags::kIdentifierB, productId);
        out.unsignedValue(oxSysTags::kDeviceClass, 2);
        out.unsignedValue(oxSysTags::kUsbFlag, 1);
        out.text(oxSysTags::kDriverName, record.driverName);
        break;
    }
    case VyrexBusClass::FireWire:
        out.unsignedValue(oxSysTags::kDeviceClass, 12);
        out.unsignedValue(oxSysTags::kIdentifierA,
                          cameraProperty(record.interfaceName, kVyrexCameraIdentifier1));
        out.text(oxSysTags::kDriverName, record.driverName);
        break;
    case VyrexBusClass::Simulated:
        out.boolean(oxSysTags::kSimulated, true);
        out.unsignedValue(oxSysTags::kDeviceClass, 0);
        break;
    case VyrexBusClass::CameraLink:
        out.unsignedValue(oxSysTags::kDeviceClass, 0);
        out.text(oxSysTags::kShortIdentifier, EightDigitText(record.serialNumberLow));
        break;
    case VyrexBusClass::Other:
        out.unsignedValue(oxSysTags::kDeviceClass, 0);
        break;
    }
}

void writeFrameGrabberProperties(PropertyWriter& out, const char16_t* name,
                                 const FrameGrabberRecord& record, uint32_t driverVersion) {
    out.signedValue(oxSysTags::kBusType, int32_t(record.busType));
    out.unsignedValue(oxSysTags::kDriverVersion, driverVersion);
    out.text(oxSysTags::kDriverName, u"Vyrex");
    out.text(oxSysTags::kSerialNumber,
             SerialNumberText(record.serialNumberHigh, record.serialNumberLow));
    out.text(oxSysTags::kVendor, u"Kroneth");
    out.unsignedValue(oxSysTags::kIdentifierA, record.identifierA);
    out.field(oxSysTags::kModel, record.modelName);
    out.unsignedValue(oxSysTags::kIdentifierB, record.identifierB);
    out.text(oxSysTags::kShortIdentifier, u"");
    out.signedValue(oxSysTags::kSlot, -1);
    out.signedValue(oxSysTags::kItemKind, 1);
    out.text(oxSysTags::kItemName, name);
    out.text(oxSysTags::kInterfaceName, name);
    out.boolean(oxSysTags::kHiddenFlag, false);
    out.signedValue(oxSysTags::kPriority, 100);
    out.boolean(oxSysTags::kPresent, true);
    out.boolean(oxSysTags::kReadOnlyFlag, false);
    out.signedValue(oxSysTags::kInstanceCount, 1);
    out.boolean(oxSysTags::kIsFrameGrabber, true);
    out.unsignedValue(oxSysTags::kDeviceClass, 1);
    out.unsignedValue(oxSysTags::kHardwareWord0, record.hardwareWord0);
    out.unsignedValue(oxSysTags::kHardwareWord1, record.hardwareWord1);
    out.unsignedValue(oxSysTags::kHardwareWord2, record.hardwareWord2);
    out.text(oxSysTags::kHardwareRevision, u"N/A");
    out.unsignedValue(oxSysTags::kUnsignedZero, 0);
    out.text(oxSysTags::kHardwareIdentifier, EightDigitText(record.serialNumberLow));
    const LinkDescription speedA = LinkSpeed(record.linkSpeedA);
    const LinkDescription speedB = LinkSpeed(record.linkSpeedB);
    out.text(oxSysTags::kLinkSpeedTextA, speedA.text);
    out.signedValue(oxSysTags::kLinkSpeedNumberA, speedA.number);
    out.text(oxSysTags::kLinkSpeedTextB, speedB.text);
    out.signedValue(oxSysTags::kLinkSpeedNumberB, speedB.number);
    out.text(oxSysTags::kLinkWidthTextA, LinkWidthText(record.linkWidthA));
    out.signedValue(oxSysTags::kLinkWidthNumberA, LinkWidthNumber(record.linkWidthA));
    out.text(oxSysTags::kLinkWidthTextB, LinkWidthText(record.linkWidthB));
    out.signedValue(oxSysTags::kLinkWidthNumberB, LinkWidthNumber(record.linkWidthB));
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
