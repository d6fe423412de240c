// camexpert show NAME: every property of one item.
#include "Commands.h"

#include "ExpertSession.h"
#include "ItemSummary.h"
#include "JsonOutput.h"
#include "NotificationHandler.h"
#include "PropertyFormat.h"
#include "PropertyLabels.h"
#include "SettleWait.h"
#include "TextTable.h"

#include <cstdio>

namespace {

nlohmann::ordered_json propertyJson(const Property& property, uint32_t busKind) {
    nlohmann::ordered_json entry;
    entry["tag"] = tagText(property.tag);
    const std::string label = propertyLabel(property.tag, busKind);
    entry["label"] = textOrNull(label);
    entry["type"] = typeName(property.type);
    entry["value"] = valueJson(property);
    const std::string display = displayText(property);
    if (display != valueText(property)) {
        entry["display"] = display;
    }
    if (property.readStatus != 0) {
        entry["error"] = valueText(property);
    }
    return entry;
}

} // namespace

int runShow(ModuleLoader& loader, const OutputOptions& output, const std::string& name) {
    SettleWait settle;
    ComRef<NotificationHandler> handler(NotificationHandler::create(settle.sink()));
    ExpertSession expert(loader, handler.get());
    expert.initialize();
    settle.wait(loader.settleTime());
    const PropertyList properties = expert.itemProperties(name);
    expert.finalize();

    const ItemSummary summary = summarizeItem(properties);
    const uint32_t busKind = itemBusKind(properties);
    if (output.json) {
        nlohmann::ordered_json document;
        document["name"] = summary.name.empty() ? name : summary.name;
        document["kind"] = summary.kind;
        document["properties"] = nlohmann::ordered_json::array();
        for (const Property& property : properties) {
            document["properties"].push_back(propertyJson(property, busKind));
        }
        printJson(document);
        return kExitSuccess;
    }
    std::vector<TableRow> rows;
    for (const Property& property : properties) {
        const std::string value = displayText(property);
        rows.push_back({tagText(property.tag), propertyLabel(property.tag, busKind),
                        typeName(property.type), value.empty() ? "\"\"" : value});
    }
    std::printf("%s: %s, %zu properties\n\n",
                summary.name.empty() ? name.c_str() : summary.name.c_str(), summary.kind.c_str(),
                properties.size());
    std::fputs(formatTable({"TAG", "LABEL", "TYPE", "VALUE"}, rows).c_str(), stdout);
    return kExitSuccess;
}
