// What the simulator does wrong on purpose: injected failures and hostile
// records. Also counts the calls, which tests read to see what the caller did.
#pragma once

#include "driver/kit/DriverRecords.h"
#include "simdriver/SimDriver.h"

#include <array>
#include <cstdint>

namespace vyrexsim {

class Faults {
public:
    void Fail(Function function, int32_t status, Calls calls, uint32_t times);
    void ClearFailures();

    // Counts one call of function; returns the status it must fail with, or 0.
    // counting: an enumeration call with a null array.
    int32_t OnCall(Function function, bool counting);
    uint32_t CallCount(Function function) const;

    VyrexTextEnds textEnds = VyrexTextEnds::Terminated;
    int32_t cameraCountChange = 0;
    int32_t frameGrabberCountChange = 0;

private:
    struct Failure {
        bool armed = false;
        int32_t status = 0;
        Calls calls = Calls::Every;
        uint32_t remaining = 0; // 0: until cleared
    };
    static constexpr size_t kFunctions = size_t(Function::GetDriverVersion) + 1;

    std::array<Failure, kFunctions> m_failures{};
    std::array<uint32_t, kFunctions> m_calls{};
};

} // namespace vyrexsim
