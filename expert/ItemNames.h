// The item names the inventory keys its records by, as the host sees them.
#pragma once

#include "expert/Inventory.h"

namespace nKRVYREX_SYSAPI_EXPERT_18_5 {

// The interface name, except for Camera Link cameras: the text before the
// last "_0" (or, failing that, the last "_1"), then "::0" when
// serialNumberHigh is 0 and "::1" otherwise.
// The record's interface name is the entry's field up to its first zero,
// so both give the same name.
ItemName CameraItemName(const CameraRecord& record);
ItemName CameraItemName(const CameraEntry& entry);

// A frame grabber's name field up to its first zero.
ItemName FrameGrabberItemName(const FrameGrabberRecord& record);

} // namespace nKRVYREX_SYSAPI_EXPERT_18_5
