// camexpert info: the expert's identity and the module's version record.
#pragma once

#include "ModuleLoader.h"

struct OutputOptions {
    bool json = false;
};

int runInfo(ModuleLoader& loader, const OutputOptions& output);
