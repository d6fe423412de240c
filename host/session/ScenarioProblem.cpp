#include "session/ScenarioProblem.h"

#include <algorithm>
#include <cstdint>

namespace {

using ProblemFunction = uint32_t (*)(char* text, uint32_t size);

constexpr uint32_t kFirstGuess = 512;

} // namespace

std::string scenarioProblem(const ModuleLoader& loader) {
    const auto tell =
        reinterpret_cast<ProblemFunction>(loader.driverSymbol("VyrexSimScenarioProblem"));
    if (tell == nullptr) {
        return "";
    }
    std::string text(kFirstGuess, '\0');
    uint32_t length = tell(text.data(), uint32_t(text.size()));
    if (length >= text.size()) {
        text.assign(size_t(length) + 1, '\0');
        length = tell(text.data(), uint32_t(text.size()));
    }
    text.resize(std::min<size_t>(length, text.size() - 1));
    return text;
}
