#include "cli/LibraryDirectory.h"

#include "cli/InstalledLayout.h"
#include "session/ModuleLoader.h"

#include <filesystem>

std::string libraryDirectory() {
    // An installation is told by its library folder, so nothing in the
    // environment can point camexpert at other libraries than its own.
    const std::filesystem::path program = programDirectory();
    const std::filesystem::path installed =
        (program / kInstalledLibraryDirFromProgram).lexically_normal();
    std::error_code unreachable;
    if (std::filesystem::is_directory(installed, unreachable)) {
        return installed.string();
    }
    return program.string();
}
