// Fuzz target: the expert over a hostile camera driver that the input plays
// (HostileDriver.h, DriverCommands.h). For each input an expert is made
// through the module's factory, with a handler that rebuilds the inventory
// from the notifications alone. The input's commands change what the driver
// reports; each pass makes the expert refresh in-process, without its thread
// or its timed wait (Initialize is never called), and then the host checks
// it (PassChecks.h). At the end the handler is unregistered and hears
// nothing more; registered again, it is given back by the last release,
// which must free the expert whole.
#include "expert/CoxSysVyrex.h"
#include "expert/ModuleExports.h"
#include "expert/fuzz/DriverCommands.h"
#include "expert/fuzz/ExpectedNames.h"
#include "expert/fuzz/FuzzInput.h"
#include "expert/fuzz/HostileDriver.h"
#include "expert/fuzz/NotifiedInventory.h"
#include "expert/fuzz/PassChecks.h"
#include "expert/fuzz/Require.h"
#include "expert/fuzz/TextConverter.h"

#include <cstddef>
#include <cstdint>

using nKRVYREX_SYSAPI_EXPERT_18_5::CoxSysVyrex;

namespace {

using namespace expertfuzz;

constexpr size_t kMostPasses = 8;

// One pass as the refresh thread makes it, then the host's checks.
void refreshAndCheck(IoxSysExpert2* expert, NotifiedInventory& handler, bool everyTextConverts) {
    handler.beginPass();
    static_cast<CoxSysVyrex*>(expert)->RefreshAndNotify();
    handler.endPass();
    checkAfterPass(expert, handler, {expectedItemKeys(hostileDriver()), everyTextConverts});
}

IoxSysExpertPlugPlay* plugPlayOf(IoxSysExpert2* expert) {
    void* plugPlay = nullptr;
    KR_FUZZ_REQUIRE(expert->QueryInterface(IID_IoxSysExpertPlugPlay, &plugPlay) == S_OK &&
                    plugPlay != nullptr);
    return static_cast<IoxSysExpertPlugPlay*>(plugPlay);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    const InputSettings settings = readSettings(input);
    setRefusedByte(settings.refusedByte);
    hostileDriver() = HostileDriver{};
    hostileDriver().emptyNameOwner = settings.emptyNameOwner;

    IoxSysExpert2* expert = nullptr;
    KR_FUZZ_REQUIRE(createVyrexSysapiExpert(&expert) == S_OK && expert != nullptr);
    const bool everyTextConverts = !settings.refusedByte.has_value();
    NotifiedInventory handler(expert, everyTextConverts);
    IoxSysExpertPlugPlay* plugPlay = plugPlayOf(expert);
    // Registering the handler it already holds keeps one reference.
    KR_FUZZ_REQUIRE(plugPlay->RegisterNotificationCallback(&handler) == S_OK);
    KR_FUZZ_REQUIRE(plugPlay->RegisterNotificationCallback(&handler) == S_OK);
    KR_FUZZ_REQUIRE(handler.references() == 2);

    for (size_t pass = 0; pass < kMostPasses; ++pass) {
        const bool more = applyCommandsUntilPass(input, hostileDriver());
        refreshAndCheck(expert, handler, everyTextConverts);
        if (!more) {
            break;
        }
    }

    KR_FUZZ_REQUIRE(plugPlay->RegisterNotificationCallback(nullptr) == S_OK);
    KR_FUZZ_REQUIRE(handler.references() == 1);
    const size_t calls = handler.calls();
    static_cast<CoxSysVyrex*>(expert)->RefreshAndNotify();
    KR_FUZZ_REQUIRE(handler.calls() == calls);

    // The last release gives back the handler the expert still holds.
    KR_FUZZ_REQUIRE(plugPlay->RegisterNotificationCallback(&handler) == S_OK);
    plugPlay->Release();
    KR_FUZZ_REQUIRE(expert->Release() == 0);
    KR_FUZZ_REQUIRE(handler.references() == 1);
    // Nothing of this input stays allocated, so the fuzzer's leak check has
    // nothing to look into.
    hostileDriver() = HostileDriver{};
    return 0;
}
