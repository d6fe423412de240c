// The subcommands of camexpert. Each returns the program's exit status and
// throws HostError for a failure the user can act on.
#pragma once

#include "commands/ChangeParser.h"
#include "commands/ItemFilter.h"
#include "session/ModuleLoader.h"

#include <cstdint>
#include <string>
#include <vector>

struct OutputOptions {
    bool json = false;
};

struct ListOptions {
    ItemFilter filter;
    bool namesOnly = false; // -q: one name a line, nothing else
    bool noHeader = false;  // the rows alone: no header, no count line
};

struct WatchOptions {
    double durationSec = 0; // 0: until stopped
    uint32_t count = 0;     // 0: any number of events
};

// The expert's identity and the module's version record.
int runInfo(ModuleLoader& loader, const OutputOptions& output);

// One row per item that the filter lets through: name, kind, bus, vendor,
// model, serial number, address; then how many there are.
int runList(ModuleLoader& loader, const OutputOptions& output, const ListOptions& list);

// Every property of one item.
int runShow(ModuleLoader& loader, const OutputOptions& output, const std::string& name);

// Prints each change notification as it comes, until a stop signal, the
// duration or the count of events ends it.
int runWatch(ModuleLoader& loader, const OutputOptions& output, const WatchOptions& watch);

// Asks the expert to validate changes to one item; kExitRejected when it
// rejects any of them.
int runValidate(ModuleLoader& loader, const OutputOptions& output, const std::string& name,
                const std::vector<RequestedChange>& changes);
