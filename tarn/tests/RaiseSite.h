// Reads the source line that a raised exception names, so tests can check
// that file and line point at the raising statement.
#pragma once

#include "tarn/Exception.h"

#include <fstream>
#include <string>

namespace kr::tarn::testing {

// The text of the exception's raise line, or a note saying why there is none.
inline std::string RaiseLine(const exception::Exception& raised) {
    if (raised.getFile() == nullptr) {
        return "(no file)";
    }
    std::ifstream source(std::string(KR_SOURCE_DIR) + "/" + raised.getFile());
    if (!source) {
        return std::string("(cannot open ") + raised.getFile() + ")";
    }
    std::string text;
    for (uint32_t line = 1; std::getline(source, text); ++line) {
        if (line == raised.getLine()) {
            return text;
        }
    }
    return "(no line " + std::to_string(raised.getLine()) + ")";
}

} // namespace kr::tarn::testing
