// The name a controller goes by on the broker and in serve's picture.
#pragma once

#include <string>

// The name given, or the host name when none was. Throws UsageError when
// the host name cannot be read.
std::string nodeNameOrHostName(const std::string& given);
