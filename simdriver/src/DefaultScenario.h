// The scenario used when VYREX_SIM_SCENARIO names no file: the text of
// simdriver/scenarios/default.json, compiled in.
#pragma once

namespace vyrexsim {

const char* BuiltInScenario();

} // namespace vyrexsim
