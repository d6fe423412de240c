#include "commands/Commands.h"

#include "present/HostStrings.h"
#include "present/JsonOutput.h"
#include "present/PropertyFormat.h"
#include "present/StatusNames.h"
#include "present/TerminalText.h"
#include "session/ExpertSession.h"

#include "hostkit/ExpertTexts.h"
#include "hostkit/RefreshPeriod.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace {

using Field = std::pair<std::string, std::string>;

std::string readName(IoxSysExpert2* expert, int32_t (IoxSysExpertInfo::*operation)(char16_t**)) {
    char16_t* text = nullptr;
    const int32_t status = (expert->*operation)(&text);
    if (status != 0) {
        throw HostError("The expert refused its identity: status " + describeStatus(status) + ".");
    }
    return takeUtf8(text);
}

// "nKRVersion_CompanyName=Kroneth Corporation" -> {"CompanyName", "Kroneth Corporation"}
Field splitVersionEntry(const std::string& entry) {
    const std::string prefix = "nKRVersion_";
    const size_t equals = entry.find('=');
    std::string key = entry.substr(0, equals);
    if (key.rfind(prefix, 0) == 0) {
        key = key.substr(prefix.size());
    }
    return {key, equals == std::string::npos ? "" : entry.substr(equals + 1)};
}

// "1 s, from [VYREX] SystemapiExpertCameraListRefreshTimeInSec" or "2 s, the
// default: the file has no ...".
std::string refreshPeriodText(const RefreshPeriod& period) {
    const std::string seconds = std::to_string(period.seconds) + " s, ";
    return period.defaultBecause.empty() ? seconds + "from " + refreshPeriodKey()
                                         : seconds + "the default: " + period.defaultBecause;
}

} // namespace

int runInfo(ModuleLoader& loader, const OutputOptions& output) {
    ExpertSession expert(loader);
    _GUID id{};
    expert->GetProductID(&id);
    const std::vector<Field> identity = {
        {"name", readName(expert.get(), &IoxSysExpertInfo::GetProductDisplayName)},
        {"programmaticName", readName(expert.get(), &IoxSysExpertInfo::GetProgrammaticName)},
        {"version", readName(expert.get(), &IoxSysExpertInfo::GetProductVersion)},
        {"productId", guidText(id)},
        {"module", loader.modulePath()},
        {"driver", loader.driverPath()},
        {"iniFile", loader.iniFilePath()},
    };
    std::vector<Field> record;
    for (const char* const* entry = loader.versionRecord(); *entry != nullptr; ++entry) {
        record.push_back(splitVersionEntry(*entry));
    }
    const RefreshPeriod period = readRefreshPeriod(loader.iniFilePath());

    if (output.json) {
        nlohmann::ordered_json document;
        for (const auto& [key, value] : identity) {
            document[key] = value;
        }
        document["refreshPeriod"] = {{"seconds", period.seconds},
                                     {"fromIniFile", period.defaultBecause.empty()},
                                     {"defaultBecause", textOrNull(period.defaultBecause)}};
        for (const auto& [key, value] : record) {
            document["versionRecord"][key] = value;
        }
        printJson(document);
        return 0;
    }

    const char* labels[] = {"Expert", "Programmatic name", "Version", "Product ID", "Module",
                            "Driver", "INI file"};
    for (size_t i = 0; i < identity.size(); ++i) {
        std::printf("%-18s %s\n", labels[i], terminalSafe(identity[i].second).c_str());
    }
    std::printf("%-18s %s\n", "Refresh period", terminalSafe(refreshPeriodText(period)).c_str());
    std::printf("\nVersion record\n");
    for (const auto& [key, value] : record) {
        std::printf("  %-18s %s\n", terminalSafe(key).c_str(), terminalSafe(value).c_str());
    }
    return 0;
}
