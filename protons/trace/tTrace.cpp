#include "protons/trace/tTrace.h"

#include "protons/trace/tConsoleTraceDestination.h"

#include "tarn/InitOrder.h"

namespace nKRZEPH000 {

namespace {

constexpr int32_t kInitialLevel = 50;

} // namespace

tTrace tTrace::singleton
    __attribute__((init_priority(KR_INIT_ORDER_TRACE))) (tConsoleTraceDestination::getInstance());

tTrace::tTrace(iTraceDestination& initialDestination)
    : destination(&initialDestination), options{1, 1, 0, 1, 1, 0, 0, 0},
      lockCreated(false), moreOptions{1, 1}, level(kInitialLevel), reserved(0),
      lock(nullptr), line{}, linePosition(line) {}

bool tTrace::getOption(unsigned index) const {
    if (index < kOptionCount) {
        return options[index] != 0;
    }
    index -= kOptionCount;
    return index < sizeof moreOptions && moreOptions[index] != 0;
}

tTrace::~tTrace() {
    options[0] = 0;
    if (lockCreated) {
        semDelete(lock);
        lock = nullptr;
        lockCreated = false;
    }
}

} // namespace nKRZEPH000
