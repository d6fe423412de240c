// camexpert validate NAME TAG=VALUE...: hands the expert a host bag with the
// changes, as the framework does before it stores an edit, and shows which
// changes the expert rejects.
#include "Commands.h"

#include "ExpertSession.h"
#include "HostPropertyBag.h"
#include "HostStrings.h"
#include "ItemSummary.h"
#include "JsonOutput.h"
#include "NotificationHandler.h"
#include "PropertyFormat.h"
#include "PropertyLabels.h"
#include "PropertyReader.h"
#include "SettleWait.h"
#include "StatusNames.h"
#include "TextTable.h"

#include <algorithm>
#include <cstdio>

namespace {

struct Verdict {
    std::vector<uint32_t> rejected;
    std::string message;
};

Verdict validate(ExpertSession& expert, const std::string& name, HostPropertyBag* changes) {
    ComRef<IoxSysEnumPropertyTag> rejected;
    char16_t* message = nullptr;
    const int32_t status =
        expert->ValidatePropertyChanges(toUtf16(name).c_str(), changes, rejected.put(), &message);
    Verdict verdict;
    verdict.message = takeExpertString(message);
    if (status < 0) {
        throw HostError("The expert could not validate the changes to '" + name + "': status " +
                        describeStatus(status) + ".");
    }
    verdict.rejected = readTags(rejected.get());
    return verdict;
}

bool contains(const std::vector<uint32_t>& tags, uint32_t tag) {
    return std::find(tags.begin(), tags.end(), tag) != tags.end();
}

} // namespace

int runValidate(ModuleLoader& loader, const OutputOptions& output, const std::string& name,
                const std::vector<RequestedChange>& requested) {
    SettleWait settle;
    ComRef<NotificationHandler> handler(NotificationHandler::create(settle.sink()));
    ExpertSession expert(loader, handler.get());
    expert.initialize();
    settle.wait(loader.settleTime());
    const PropertyList item = expert.itemProperties(name);
    std::vector<Property> changes;
    for (const RequestedChange& change : requested) {
        changes.push_back(typedChange(change, item, name));
    }

    // The framework hands the expert a bag that knows which tags changed.
    ComRef<HostPropertyBag> bag(HostPropertyBag::create());
    for (const Property& change : changes) {
        const int32_t status = setThroughInterface(bag.get(), change);
        if (status < 0) {
            throw HostError("The host's property bag refused " + tagText(change.tag) + ": status " +
                            describeStatus(status) + ".");
        }
    }
    const Verdict verdict = validate(expert, name, bag.get());
    expert.finalize();

    const uint32_t busKind = itemBusKind(item);
    size_t rejectedCount = 0;
    for (const Property& change : changes) {
        rejectedCount += contains(verdict.rejected, change.tag);
    }
    if (output.json) {
        nlohmann::ordered_json document;
        document["name"] = name;
        document["changes"] = nlohmann::ordered_json::array();
        for (const Property& change : changes) {
            const std::string label = propertyLabel(change.tag, busKind);
            document["changes"].push_back({
                {"tag", tagText(change.tag)},
                {"label", textOrNull(label)},
                {"type", typeName(change.type)},
                {"value", valueJson(change)},
                {"accepted", !contains(verdict.rejected, change.tag)},
            });
        }
        document["rejectedTags"] = nlohmann::ordered_json::array();
        for (uint32_t tag : verdict.rejected) {
            document["rejectedTags"].push_back(tagText(tag));
        }
        document["message"] = textOrNull(verdict.message);
        document["accepted"] = rejectedCount == 0 && verdict.rejected.empty();
        printJson(document);
    } else {
        std::vector<TableRow> rows;
        for (const Property& change : changes) {
            rows.push_back({tagText(change.tag), propertyLabel(change.tag, busKind),
                            typeName(change.type), quotedValueText(change),
                            contains(verdict.rejected, change.tag) ? "rejected" : "accepted"});
        }
        std::printf("Changes to %s:\n\n", name.c_str());
        std::fputs(formatTable({"TAG", "LABEL", "TYPE", "VALUE", "VERDICT"}, rows).c_str(), stdout);
        for (uint32_t tag : verdict.rejected) {
            if (std::none_of(changes.begin(), changes.end(),
                             [&](const Property& change) { return change.tag == tag; })) {
                std::printf("The expert also rejects %s, which was not changed.\n",
                            tagText(tag).c_str());
            }
        }
        if (rejectedCount == 0) {
            std::printf("\nThe expert accepts all %zu changes.\n", changes.size());
        } else {
            std::printf("\nThe expert rejects %zu of %zu changes.\n", rejectedCount,
                        changes.size());
        }
        if (!verdict.message.empty()) {
            std::printf("Its message: %s\n", verdict.message.c_str());
        }
    }
    return rejectedCount == 0 && verdict.rejected.empty() ? kExitSuccess : kExitRejected;
}
