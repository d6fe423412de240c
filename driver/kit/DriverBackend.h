// The five driver functions as a backend implements them. A driver library
// links ExportedFunctions.cpp, which exports the functions with C linkage
// and checks their arguments (driver/VyrexArguments.h) before a backend
// sees them, and defines VyrexTheBackend() to say which backend answers them.
#pragma once

#include "driver/VyrexDriver.h"

class VyrexDriverBackend {
public:
    virtual int32_t EnumerateCameras(CameraEntry* entries, uint32_t* count, int32_t flag) = 0;
    virtual int32_t EnumerateFrameGrabbers(FrameGrabberRecord* entries, uint32_t* count) = 0;
    virtual int32_t GetCameraProperty(const char* interfaceName, uint32_t property,
                                      uint32_t* value) = 0;
    virtual int32_t GetDriverName(uint64_t serialNumber, char* buffer, uint32_t size) = 0;
    virtual int32_t GetDriverVersion(uint32_t* version) = 0;

protected:
    ~VyrexDriverBackend() = default;
};

// The backend of this driver library; may throw when it cannot be made.
VyrexDriverBackend& VyrexTheBackend();
