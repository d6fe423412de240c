// Status values, timeouts and error numbers of the real-time kernel's
// interface, as the system's platform layer expects them.
#pragma once

typedef int STATUS;
constexpr STATUS OK = 0;
constexpr STATUS ERROR = -1;

// Timeouts are counted in clock ticks (see kernel/clock.h).
constexpr int WAIT_FOREVER = -1;
constexpr int NO_WAIT = 0;

// Values the object library leaves in errno when a take fails.
constexpr int S_objLib_OBJ_ID_ERROR = 0x3D0001;
constexpr int S_objLib_OBJ_UNAVAILABLE = 0x3D0002;
constexpr int S_objLib_OBJ_DELETED = 0x3D0003;
constexpr int S_objLib_OBJ_TIMEOUT = 0x3D0004;
