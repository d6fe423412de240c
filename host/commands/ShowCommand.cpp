// camexpert show NAME: every property of one item.
#include "commands/Commands.h"

#include "present/ItemDocument.h"
#include "present/ItemSummary.h"
#include "present/JsonOutput.h"
#include "present/PropertyFormat.h"
#include "present/TerminalText.h"
#include "present/TextTable.h"
#include "session/SettledSession.h"

#include <cstdio>

int runShow(ModuleLoader& loader, const OutputOptions& output, const std::string& name) {
    SettledSession session(loader);
    const NamedItem item = session.item(name);
    session.expert().finalize();

    const uint32_t busKind = itemBusKind(item.properties);
    if (output.json) {
        printJson(itemDocument(item.name, item.properties));
        return kExitSuccess;
    }
    std::vector<TableRow> rows;
    for (const Property& property : item.properties) {
        const std::string value = displayText(property);
        rows.push_back({tagText(property.tag), propertyLabel(property.tag, busKind),
                        typeName(property.type), value.empty() ? "\"\"" : value});
    }
    std::printf("%s: %s, %zu properties\n\n", terminalSafe(item.name).c_str(),
                itemKind(item.properties).c_str(), item.properties.size());
    std::fputs(formatTable({"TAG", "LABEL", "TYPE", "VALUE"}, rows).c_str(), stdout);
    return kExitSuccess;
}
