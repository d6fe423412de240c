// A property read out of a bag (hostkit) as one short text, "type:value",
// for tests that compare whole bags.
#pragma once

#include "hostkit/Property.h"

#include <string>

// "bool:1", "int:-5", "uint:7", "double:0.5", "guid:<Data1|Data2|Data3><Data4[0]><Data4[7]>",
// "text:abc", "time:<words[0]>.<words[1]>"; "status:<n>" for a value the bag refused.
std::string propertyText(const Property& property);
