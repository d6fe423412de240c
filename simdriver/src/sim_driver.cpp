#include "driver/VyrexDriver.h"
#define VYREX_EXPORT extern "C" __attribute__((visibility("default")))
VYREX_EXPORT int32_t VyrexEnumerateCameras(CameraEntry*, uint32_t* count, int32_t) { *count = 0; return 0; }
VYREX_EXPORT int32_t VyrexEnumerateFrameGrabbers(FrameGrabberRecord*, uint32_t* count) { *count = 0; return 0; }
VYREX_EXPORT int32_t VyrexGetCameraProperty(const char*, uint32_t, uint32_t* value) { *value = 0; return -1; }
VYREX_EXPORT int32_t VyrexGetDriverName2(uint64_t, char* buffer, uint32_t size) { if (size) buffer[0] = 0; return -1; }
VYREX_EXPORT int32_t VyrexGetDriverVersion(uint32_t* version) { *version = 1; return 0; }
