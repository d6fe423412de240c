// Where camexpert finds the expert module and the driver libraries it loads
// by default.
#pragma once

#include <string>

// The installed library folder of camexpert when the program runs from an
// installation (bin/camexpert beside lib/.../camexpert), else the program's
// own directory, where the build tree puts the module and drivers beside it.
std::string libraryDirectory();
