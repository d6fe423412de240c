// A host loads the driver, lets discovery run and unloads it, perhaps more
// than once. This program does not use Aravis itself, so only the driver
// brings it in.
#include "PrivateLoopback.h"
#include "driver/VyrexDriver.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>

namespace {

bool Mapped(const std::string& library) {
    std::ifstream maps("/proc/self/maps");
    std::string line;
    while (std::getline(maps, line)) {
        if (line.find(library) != std::string::npos) {
            return true;
        }
    }
    return false;
}

TEST(Reloading, TheDriverUnloadsWhileAravisStaysForTheNextLoad) {
    SKIP_WITHOUT_PRIVATE_LOOPBACK();
    EXPECT_FALSE(Mapped("libaravis")) << "this program should not bring Aravis itself";
    for (int round = 1; round <= 2; ++round) {
        void* driver = dlopen(KR_ARAVIS_DRIVER_PATH, RTLD_NOW | RTLD_GLOBAL);
        ASSERT_NE(driver, nullptr) << dlerror();
        auto* enumerate = reinterpret_cast<decltype(&VyrexEnumerateCameras)>(
            dlsym(driver, "VyrexEnumerateCameras"));
        ASSERT_NE(enumerate, nullptr);
        uint32_t count = 99;
        EXPECT_EQ(enumerate(nullptr, &count, 1), 0) << "round " << round;
        EXPECT_EQ(count, 0u) << "no camera serves this namespace";
        // Let discovery get into Aravis, which registers its types there.
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        EXPECT_EQ(dlclose(driver), 0);
        EXPECT_FALSE(Mapped("libvyrexaravis.so")) << "round " << round;
        // Aravis' types outlive it in GObject: unloaded and loaded again it
        // would register them twice.
        EXPECT_TRUE(Mapped("libaravis")) << "round " << round;
    }
}

} // namespace
