// A host loads the driver, lets discovery run and unloads it, perhaps more
// than once. This program does not use Aravis itself, so only the driver
// brings it in.
#include "PrivateLoopback.h"
#include "Waiting.h"
#include "driver/VyrexDriver.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <fstream>
#include <string>

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

// Whether GObject, brought in by the driver, knows the type of that name.
bool TypeRegistered(const char* name) {
    using TypeFromName = unsigned long (*)(const char*);
    auto* typeFromName = reinterpret_cast<TypeFromName>(dlsym(RTLD_DEFAULT, "g_type_from_name"));
    return typeFromName != nullptr && typeFromName(name) != 0;
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
        // Discovery gets into Aravis, which registers its types there in the
        // first round; in the second they are there from the first.
        EXPECT_TRUE(waitUntil([] { return TypeRegistered("ArvGvInterface"); }));
        EXPECT_EQ(dlclose(driver), 0);
        EXPECT_FALSE(Mapped("libvyrexaravis.so")) << "round " << round;
        // Aravis' types outlive it in GObject: unloaded and loaded again it
        // would register them twice.
        EXPECT_TRUE(Mapped("libaravis")) << "round " << round;
    }
}

} // namespace
