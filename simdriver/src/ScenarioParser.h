// Reads a scenario from its JSON text (format in simdriver/README.md).
#pragma once

#include "simdriver/src/Scenario.h"

#include <string>

namespace vyrexsim {

// Fills scenario and returns true, or returns false with a one-line problem:
// "line 3, column 7: ..." for a syntax error, "cameras[1].bus: ..." for a
// field that is missing, unknown or out of range. Throws std::bad_alloc only.
bool ParseScenario(const std::string& text, Scenario& scenario, std::string& problem);

} // namespace vyrexsim
