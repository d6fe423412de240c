// Module-wide settings a host may change before it creates an expert.
#include "expert/ModuleExports.h"

const char* KRRTINIFilePath = "/c/kr-rt.ini";
