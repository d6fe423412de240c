// The cameras of the latest completed discovery, and the answers of the
// driver functions drawn from them. The discovery thread replaces the whole
// list in one step; the expert's calls, made with its map lock held, only
// read it and never wait for the network.
#pragma once

#include "aravisdriver/src/Camera.h"
#include "driver/VyrexDriver.h"

#include <mutex>
#include <vector>

namespace vyrexaravis {

class CameraList {
public:
    // Replaces the list; the previous one is freed after the lock is given back.
    void Publish(std::vector<Camera> cameras);

    // Two-call pattern: with a null array *count becomes the number of cameras;
    // with an array at most *count entries are filled, every byte of each, and
    // *count becomes the number of cameras, which exceeds the capacity when
    // cameras came in between. The exported driver functions checked the
    // arguments of every call here (driver/VyrexArguments.h).
    int32_t EnumerateCameras(CameraEntry* entries, uint32_t* count, int32_t flag) const;

    // Properties 1 and 2: IPv4 address and subnet mask; 3 and 4: USB vendor
    // and product id; 0 where the bus has none. interfaceName is read no
    // further than one text field.
    int32_t GetCameraProperty(const char* interfaceName, uint32_t property, uint32_t* value) const;

    // kDriverName for the serial number of a listed camera; otherwise an
    // empty text and kVyrexStatusNoSuchCamera. A text longer than the buffer is
    // cut, terminated and answered with kVyrexStatusBufferTooSmall.
    int32_t GetDriverName(uint64_t serialNumber, char* buffer, uint32_t size) const;

private:
    const Camera* FindByInterfaceName(const std::string& name) const;
    const Camera* FindBySerialNumber(uint64_t serialNumber) const;

    mutable std::mutex m_mutex;
    std::vector<Camera> m_cameras;
};

} // namespace vyrexaravis
