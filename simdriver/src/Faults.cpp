#include "simdriver/src/Faults.h"

namespace vyrexsim {
namespace {

bool IsEnumeration(Function function) {
    return function == Function::EnumerateCameras || function == Function::EnumerateFrameGrabbers;
}

bool Hits(Calls calls, Function function, bool counting) {
    if (calls == Calls::Every || !IsEnumeration(function)) {
        return true;
    }
    return (calls == Calls::Counting) == counting;
}

} // namespace

void Faults::Fail(Function function, int32_t status, Calls calls, uint32_t times) {
    m_failures[size_t(function)] = Failure{true, status, calls, times};
}

void Faults::ClearFailures() {
    m_failures.fill(Failure{});
}

int32_t Faults::OnCall(Function function, bool counting) {
    ++m_calls[size_t(function)];
    Failure& failure = m_failures[size_t(function)];
    if (!failure.armed || !Hits(failure.calls, function, counting)) {
        return 0;
    }
    const int32_t status = failure.status;
    if (failure.remaining > 0 && --failure.remaining == 0) {
        failure = Failure{};
    }
    return status;
}

uint32_t Faults::CallCount(Function function) const {
    return m_calls[size_t(function)];
}

} // namespace vyrexsim
