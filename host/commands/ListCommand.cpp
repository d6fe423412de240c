// camexpert list: one row per camera or frame grabber.
#include "commands/Commands.h"

#include "present/ItemSummary.h"
#include "present/JsonOutput.h"
#include "present/TerminalText.h"
#include "present/TextTable.h"
#include "present/Wording.h"
#include "session/SettledSession.h"

#include <cstdio>

namespace {

// "11 items: 9 cameras, 2 frame grabbers", or "2 of 11 items: ..." when
// filtered.
std::string countLine(const std::vector<ItemSummary>& shown, size_t total) {
    const std::string items = shown.size() == total ? counted(total, "item", "items")
                                                    : std::to_string(shown.size()) + " of " +
                                                          counted(total, "item", "items");
    return items + ": " + kindCountText(shown.size(), cameraCount(shown)) + "\n";
}

void printText(const std::vector<ItemSummary>& shown, size_t total, const ListOptions& list,
               const SettledSession& session) {
    if (list.namesOnly) {
        for (const ItemSummary& item : shown) {
            std::printf("%s\n", terminalSafe(item.name).c_str());
        }
        return;
    }
    std::vector<TableRow> rows;
    for (const ItemSummary& item : shown) {
        rows.push_back(summaryCells(item));
    }
    if (list.noHeader) {
        std::fputs(formatRows(rows).c_str(), stdout);
    } else if (total == 0) {
        std::printf("%s\n", session.nothingFoundSentence().c_str());
    } else if (shown.empty()) {
        std::printf("None of the %s matches.\n", counted(total, "item", "items").c_str());
    } else {
        std::fputs(
            formatTable({"NAME", "KIND", "BUS", "VENDOR", "MODEL", "SERIAL", "ADDRESS"}, rows)
                .c_str(),
            stdout);
        std::printf("\n%s", countLine(shown, total).c_str());
    }
}

} // namespace

int runList(ModuleLoader& loader, const OutputOptions& output, const ListOptions& list) {
    SettledSession session(loader);
    std::vector<ItemSummary> shown;
    size_t total = 0;
    for (const PropertyList& properties : session.expert().allItems()) {
        ItemSummary item = summarizeItem(properties);
        ++total;
        if (list.filter.matches(item)) {
            shown.push_back(std::move(item));
        }
    }
    session.expert().finalize();

    if (output.json) {
        nlohmann::ordered_json document;
        document["items"] = nlohmann::ordered_json::array();
        for (const ItemSummary& item : shown) {
            document["items"].push_back(summaryJson(item));
        }
        printJson(document);
    } else {
        printText(shown, total, list, session);
    }
    return kExitSuccess;
}
