// What every driver function refuses, whichever backend answers: the
// arguments the contract rules out. Each check gives kVyrexStatusOk when the
// arguments may be used, else kVyrexStatusBadArgument; a driver answers with
// that status before it looks at its devices.
#pragma once

#include "driver/VyrexDriver.h"

// The counting call passes no entries; count is always needed, flag is 1.
inline int32_t VyrexCheckEnumerateCameras(const uint32_t* count, int32_t flag) {
    return count != nullptr && flag == 1 ? kVyrexStatusOk : kVyrexStatusBadArgument;
}

inline int32_t VyrexCheckEnumerateFrameGrabbers(const uint32_t* count) {
    return count != nullptr ? kVyrexStatusOk : kVyrexStatusBadArgument;
}

// A property is one of kVyrexCameraAddress1 to kVyrexCameraIdentifier2.
inline int32_t VyrexCheckGetCameraProperty(const char* interfaceName, uint32_t property,
                                           const uint32_t* value) {
    return interfaceName != nullptr && value != nullptr && property >= kVyrexCameraAddress1 &&
                   property <= kVyrexCameraIdentifier2
               ? kVyrexStatusOk
               : kVyrexStatusBadArgument;
}

inline int32_t VyrexCheckGetDriverName(const char* buffer, uint32_t size) {
    return buffer != nullptr && size != 0 ? kVyrexStatusOk : kVyrexStatusBadArgument;
}

inline int32_t VyrexCheckGetDriverVersion(const uint32_t* version) {
    return version != nullptr ? kVyrexStatusOk : kVyrexStatusBadArgument;
}
