// One of Aravis' fake GigE Vision cameras, serving one loopback address
// from its own thread until it is stopped.
#pragma once

#include <arv.h>

#include <string>

class FakeCamera {
public:
    FakeCamera(const std::string& address, const std::string& serial)
        : m_camera(arv_gv_fake_camera_new(address.c_str(), serial.c_str())),
          m_deviceId("Aravis-Fake-" + serial) {}
    ~FakeCamera() { stop(); }

    FakeCamera(const FakeCamera&) = delete;
    FakeCamera& operator=(const FakeCamera&) = delete;

    bool running() const { return m_camera != nullptr && arv_gv_fake_camera_is_running(m_camera); }

    // The name under which discovery lists it: vendor, model, serial text.
    const std::string& deviceId() const { return m_deviceId; }

    void stop() {
        if (m_camera != nullptr) {
            g_object_unref(m_camera);
            m_camera = nullptr;
        }
    }

private:
    ArvGvFakeCamera* m_camera;
    std::string m_deviceId;
};
