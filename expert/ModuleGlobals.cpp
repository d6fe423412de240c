// Module-wide settings a host may change before it creates an expert, and
// the services the module carries although no operation of the expert uses
// them.
#include "expert/ModuleExports.h"

#include "protons/trace/tTrace.h"

const char* KRRTINIFilePath = "/c/kr-rt.ini";

namespace {

// No operation writes trace output, yet the trace service is part of the
// module: this reference links it in.
__attribute__((used)) nKRZEPH000::tTrace* const traceService = &nKRZEPH000::tTrace::singleton;

} // namespace
