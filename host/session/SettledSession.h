// The expert of a command that reads the inventory once (list, show,
// validate): the simulated driver's scenario checked first, the expert
// initialized, and a driver that discovers its devices slowly given its
// settle time to report them (see SettleWait), with a line on a terminal
// that says so while it waits.
#pragma once

#include "session/ExpertSession.h"
#include "session/ModuleLoader.h"
#include "session/NotificationHandler.h"
#include "session/SettleWait.h"

#include <string>

class SettledSession {
public:
    // Throws HostError when the driver's scenario cannot be used or the expert
    // fails to start.
    explicit SettledSession(ModuleLoader& loader);

    ExpertSession& expert() { return m_expert; }

    // The item with that name, letter case aside, under the name the device
    // has. Throws HostError naming the items there are when none has it.
    NamedItem item(const std::string& name);

    // The sentence for an empty inventory: "No cameras or frame grabbers
    // found.", with how long it searched and how to search longer when the
    // settle time ran out.
    std::string nothingFoundSentence() const;

private:
    // " in 4 s; --settle SECONDS waits longer" when the settle time ran out
    // without a report, else "".
    std::string searchedInVain() const;

    SettleWait m_settle; // outlives the handler's registration
    ComRef<NotificationHandler> m_handler;
    ExpertSession m_expert;
    std::chrono::milliseconds m_settleTime;
    bool m_reported = false;
};
