#include "session/SettledSession.h"

#include "present/Wording.h"
#include "session/ScenarioProblem.h"

#include <unistd.h>

#include <cstdio>

namespace {

std::string joined(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) {
        text += (text.empty() ? "" : ", ") + name;
    }
    return text;
}

ModuleLoader& withUsableScenario(ModuleLoader& loader) {
    const std::string problem = scenarioProblem(loader);
    if (!problem.empty()) {
        throw HostError("Cannot use the scenario " + problem + ".");
    }
    return loader;
}

// A line on a terminal's stderr while the command waits; it is taken away
// again when the wait ends. Nothing when stderr is not a terminal.
class SearchingLine {
public:
    explicit SearchingLine(std::chrono::milliseconds limit)
        : m_shown(limit.count() > 0 && isatty(STDERR_FILENO)) {
        if (m_shown) {
            std::fprintf(stderr, "searching for cameras, up to %s s; --settle changes that",
                         secondsText(double(limit.count()) / 1000).c_str());
            std::fflush(stderr);
        }
    }

    ~SearchingLine() {
        if (m_shown) {
            std::fputs("\r\033[K", stderr); // back to the line's start, erase it
            std::fflush(stderr);
        }
    }

    SearchingLine(const SearchingLine&) = delete;
    SearchingLine& operator=(const SearchingLine&) = delete;

private:
    const bool m_shown;
};

} // namespace

SettledSession::SettledSession(ModuleLoader& loader)
    : m_handler(NotificationHandler::create(m_settle.sink())),
      m_expert(withUsableScenario(loader), m_handler.get()), m_settleTime(loader.settleTime()) {
    m_expert.initialize();
    const SearchingLine line(m_settleTime);
    m_reported = m_settle.wait(m_settleTime);
}

NamedItem SettledSession::item(const std::string& name) {
    if (std::optional<NamedItem> found = m_expert.findItem(name)) {
        return std::move(*found);
    }
    const std::vector<std::string> names = m_expert.itemNames();
    const std::string unknown = "No item is named '" + name + "'";
    if (names.empty()) {
        throw HostError(unknown + ": the driver reports no cameras or frame grabbers" +
                        searchedInVain() + ".");
    }
    throw HostError(unknown + ". The items are: " + joined(names) + ".");
}

std::string SettledSession::nothingFoundSentence() const {
    return "No cameras or frame grabbers found" + searchedInVain() + ".";
}

std::string SettledSession::searchedInVain() const {
    if (m_settleTime.count() == 0 || m_reported) {
        return "";
    }
    return " in " + secondsText(double(m_settleTime.count()) / 1000) +
           " s; --settle SECONDS waits longer";
}
