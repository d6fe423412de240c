// The platform's synchronization primitives in one include: the status
// record, clock ticks, events and the critical section. The platform mutex
// is protons/synchronization/tSemaphore.h.
#pragma once

#include "quarks/clockTicks.h"
#include "quarks/criticalSection.h"
#include "quarks/event.h"
#include "quarks/status.h"
