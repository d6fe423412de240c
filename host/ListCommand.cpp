// camexpert list: one row per camera or frame grabber.
#include "Commands.h"

#include "ExpertSession.h"
#include "ItemSummary.h"
#include "JsonOutput.h"
#include "NotificationHandler.h"
#include "SettleWait.h"
#include "TextTable.h"

#include <cstdio>

int runList(ModuleLoader& loader, const OutputOptions& output) {
    SettleWait settle;
    ComRef<NotificationHandler> handler(NotificationHandler::create(settle.sink()));
    ExpertSession expert(loader, handler.get());
    expert.initialize();
    settle.wait(loader.settleTime());
    std::vector<ItemSummary> items;
    for (const PropertyList& properties : expert.allItems()) {
        items.push_back(summarizeItem(properties));
    }
    expert.finalize();

    if (output.json) {
        nlohmann::ordered_json document;
        document["items"] = nlohmann::ordered_json::array();
        for (const ItemSummary& item : items) {
            document["items"].push_back(summaryJson(item));
        }
        printJson(document);
        return kExitSuccess;
    }
    if (items.empty()) {
        std::printf("No cameras or frame grabbers found.\n");
        return kExitSuccess;
    }
    std::vector<TableRow> rows;
    for (const ItemSummary& item : items) {
        rows.push_back({item.name, item.kind, item.bus, item.vendor, item.model, item.serialNumber,
                        item.address});
    }
    const std::string table =
        formatTable({"NAME", "KIND", "BUS", "VENDOR", "MODEL", "SERIAL", "ADDRESS"}, rows);
    std::fputs(table.c_str(), stdout);
    return kExitSuccess;
}
