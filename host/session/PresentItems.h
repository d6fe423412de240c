// The items there are once the expert's first refresh is done, as the
// starting picture of a command that follows the notifications after it
// (watch, publish). Notifications of that refresh may come before or after.
#pragma once

#include "session/ExpertSession.h"
#include "session/NotificationHandler.h"

#include <vector>

std::vector<ItemPicture> presentItems(ExpertSession& expert);
