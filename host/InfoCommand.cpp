#include "Commands.h"

#include "ExpertSession.h"
#include "HostStrings.h"
#include "JsonOutput.h"
#include "StatusNames.h"

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
    return takeExpertString(text);
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
    };
    std::vector<Field> record;
    for (const char* const* entry = loader.versionRecord(); *entry != nullptr; ++entry) {
        record.push_back(splitVersionEntry(*entry));
    }

    if (output.json) {
        nlohmann::ordered_json document;
        for (const auto& [key, value] : identity) {
            document[key] = value;
        }
        for (const auto& [key, value] : record) {
            document["versionRecord"][key] = value;
        }
        printJson(document);
        return 0;
    }

    const char* labels[] = {"Expert", "Programmatic name", "Version", "Product ID", "Module",
                            "Driver"};
    for (size_t i = 0; i < identity.size(); ++i) {
        std::printf("%-18s %s\n", labels[i], identity[i].second.c_str());
    }
    std::printf("\nVersion record\n");
    for (const auto& [key, value] : record) {
        std::printf("  %-18s %s\n", key.c_str(), value.c_str());
    }
    return 0;
}
