// camexpert show NAME: every property of one item.
#include "Commands.h"

#include "ItemSummary.h"
#include "JsonOutput.h"
#include "PropertyFormat.h"
#include "PropertyLabels.h"
#include "SettledSession.h"
#include "TerminalText.h"
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
    SettledSession session(loader);
    const NamedItem item = session.item(name);
    session.expert().finalize();

    ItemSummary summary = summarizeItem(item.properties);
    summary.name = item.name;
    const uint32_t busKind = itemBusKind(item.properties);
    if (output.json) {
        nlohmann::ordered_json document = summaryJson(summary);
        document["properties"] = nlohmann::ordered_json::array();
        for (const Property& property : item.properties) {
            document["properties"].push_back(propertyJson(property, busKind));
        }
        printJson(document);
        return kExitSuccess;
    }
    std::vector<TableRow> rows;
    for (const Property& property : item.properties) {
        const std::string value = displayText(property);
        rows.push_back({tagText(property.tag), propertyLabel(property.tag, busKind),
                        typeName(property.type), value.empty() ? "\"\"" : value});
    }
    std::printf("%s: %s, %zu properties\n\n", terminalSafe(item.name).c_str(), summary.kind.c_str(),
                item.properties.size());
    std::fputs(formatTable({"TAG", "LABEL", "TYPE", "VALUE"}, rows).c_str(), stdout);
    return kExitSuccess;
}
