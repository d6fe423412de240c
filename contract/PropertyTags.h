// The property tags the expert publishes on its items. Tags of the form
// 0x01xxx000 are the host framework's; 0x07xxx000 are the expert's own.
#pragma once

#include <cstdint>

namespace oxSysTags {

constexpr uint32_t kEntryWord0 = 0x07006000;
constexpr uint32_t kEntryWord1 = 0x07007000;
constexpr uint32_t kEntryWord2 = 0x07008000;
constexpr uint32_t kBusType = 0x07009000;
constexpr uint32_t kDriverVersion = 0x0700C000;
constexpr uint32_t kDriverName = 0x0700D000;
constexpr uint32_t kHardwareRevision = 0x0700F000;
constexpr uint32_t kLinkWidthTextA = 0x07010000;
constexpr uint32_t kLinkWidthTextB = 0x07011000;
constexpr uint32_t kLinkSpeedTextA = 0x07012000;
constexpr uint32_t kLinkSpeedTextB = 0x07013000;

constexpr uint32_t kPresent = 0x01001000;
constexpr uint32_t kDeviceClass = 0x01002000;
constexpr uint32_t kIdentifierA = 0x01003000;
constexpr uint32_t kVendor = 0x01004000;
constexpr uint32_t kIdentifierB = 0x01005000;
constexpr uint32_t kModel = 0x01006000;
constexpr uint32_t kSerialNumber = 0x01007000;
constexpr uint32_t kIsFrameGrabber = 0x01008000;
constexpr uint32_t kSimulated = 0x01009000;
constexpr uint32_t kShortIdentifier = 0x0100A000;
constexpr uint32_t kSlot = 0x0100B000;
constexpr uint32_t kHardwareWord0 = 0x01018000;
constexpr uint32_t kHardwareWord1 = 0x01019000;
constexpr uint32_t kHardwareWord2 = 0x0101A000;
constexpr uint32_t kUsbFlag = 0x0101B000;
constexpr uint32_t kItemKind = 0x0101C000;
constexpr uint32_t kItemName = 0x0101D000;
constexpr uint32_t kInterfaceName = 0x0101F000;
constexpr uint32_t kItemGuid = 0x01022000;
constexpr uint32_t kInstanceCount = 0x01024000;
constexpr uint32_t kNetworkAddress2 = 0x01025000;
constexpr uint32_t kUnsignedZero = 0x01026000;
constexpr uint32_t kHardwareIdentifier = 0x01027000;
constexpr uint32_t kReadOnlyFlag = 0x01028000;
constexpr uint32_t kPriority = 0x0102A000;
constexpr uint32_t kNetworkFlag = 0x0102B000;
constexpr uint32_t kNetworkAddress1 = 0x0102C000;
constexpr uint32_t kLinkWidthNumberB = 0x01030000;
constexpr uint32_t kLinkWidthNumberA = 0x01031000;
constexpr uint32_t kNetworkGateway = 0x01033000;
constexpr uint32_t kNetworkDhcp = 0x01034000;
constexpr uint32_t kHiddenFlag = 0x01054000;
constexpr uint32_t kLinkSpeedNumberA = 0x01078000;
constexpr uint32_t kLinkSpeedNumberB = 0x01079000;

} // namespace oxSysTags
