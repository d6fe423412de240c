// Status values, timeouts and error numbers of the real-time kernel's
// interface, as the system's platform layer expects them.
#pragma once

typedef int STATUS;
constexpr STATUS OK = 0;
constexpr STATUS ERROR = -1;

typedef int BOOL; // 0 false, 1 true

// Timeouts are counted in clock ticks (see kernel/clock.h).
constexpr int WAIT_FOREVER = -1;
constexpr int NO_WAIT = 0;

// Values the kernel leaves in errno when a call fails.
constexpr int S_objLib_OBJ_ID_ERROR = 0x3D0001;
constexpr int S_objLib_OBJ_UNAVAILABLE = 0x3D0002;
constexpr int S_objLib_OBJ_DELETED = 0x3D0003;
constexpr int S_objLib_OBJ_TIMEOUT = 0x3D0004;
constexpr int S_memLib_NOT_ENOUGH_MEMORY = 0x110001;
constexpr int S_taskLib_ILLEGAL_PRIORITY = 0x30065;
constexpr int S_semLib_INVALID_OPTION = 0x160066;
constexpr int S_semLib_INVALID_OPERATION = 0x160068;
constexpr int S_intLib_NOT_ISR_CALLABLE = 0x360001;
