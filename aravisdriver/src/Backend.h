// The one backend of the loaded library: the latest camera list and the
// discovery thread that keeps it current. The thread starts with the first
// driver call and stops when the library is unloaded (or the process ends).
#pragma once

#include "aravisdriver/src/CameraList.h"

namespace vyrexaravis {

// The camera list, with discovery started; throws when the backend cannot
// be made (out of memory).
const CameraList& Cameras();

} // namespace vyrexaravis
