// What the host's notification handlers of the tests share: a count for an
// object on the test's stack, and IUnknown as their only other interface.
#pragma once

#include "hostkit/HostObject.h"

#include "contract/oxSysInterfaces.h"

using HostNotificationHandler = HostObject<OnStack, IoxSysFrameworkNotificationHandler>;
