// What the simulated driver finds wrong with its scenario file. Commands that
// read the inventory once fail on it instead of showing an empty bench.
//
// The driver tells it through one extra function that camexpert looks up by
// name (simdriver/SimDriver.h):
//   extern "C" uint32_t VyrexSimScenarioProblem(char* text, uint32_t size);
// Any other driver lacks the name and has no scenario.
#pragma once

#include "session/ModuleLoader.h"

#include <string>

// "path: reason", or "" when the scenario was read without a problem, none is
// followed, or the driver is not the simulated one. The driver leaves it to
// camexpert to tell the problem found this way.
std::string scenarioProblem(const ModuleLoader& loader);
