// camexpert validate NAME TAG=VALUE...: hands the expert a host bag with the
// changes, as the framework does before it stores an edit, and shows which
// changes the expert rejects.
#include "commands/Commands.h"

#include "commands/ChangeDescription.h"
#include "hostkit/BagOfChanges.h"
#include "present/HostStrings.h"
#include "present/ItemSummary.h"
#include "present/JsonOutput.h"
#include "present/PropertyFormat.h"
#include "present/StatusNames.h"
#include "present/TerminalText.h"
#include "present/TextTable.h"
#include "session/ExpertAnswers.h"
#include "session/SettledSession.h"

#include <algorithm>
#include <cstdio>

namespace {

// What the expert's silence means when it rejects a change.
constexpr const char* kNoChangesAccepted = "the expert accepts no changes to its items";

struct Verdict {
    std::vector<uint32_t> rejected;
    std::string message;
};

Verdict validate(ExpertSession& expert, const std::string& name, OwnedBagOfChanges* changes) {
    ComRef<IoxSysEnumPropertyTag> rejected;
    char16_t* message = nullptr;
    const int32_t status =
        expert->ValidatePropertyChanges(toUtf16(name).c_str(), changes, rejected.put(), &message);
    Verdict verdict;
    verdict.message = takeUtf8(message);
    if (status < 0) {
        throw HostError("The expert could not validate the changes to '" + name + "': status " +
                        describeStatus(status) + ".");
    }
    verdict.rejected = tagsOf(rejected.get());
    return verdict;
}

bool contains(const std::vector<uint32_t>& tags, uint32_t tag) {
    return std::find(tags.begin(), tags.end(), tag) != tags.end();
}

// The text with a full stop at its end, unless it ends a sentence already.
std::string asSentence(const std::string& text) {
    const bool ended = !text.empty() && std::string(".!?").find(text.back()) != std::string::npos;
    return ended ? text : text + ".";
}

// The expert's own reason, or what its silence means.
std::string reasonOf(const Verdict& verdict, bool rejected) {
    if (!verdict.message.empty()) {
        return verdict.message;
    }
    return rejected ? kNoChangesAccepted : "";
}

void printText(const NamedItem& item, const std::vector<PropertyChange>& changes,
               const Verdict& verdict, size_t rejectedCount, bool rejected) {
    const uint32_t busKind = itemBusKind(item.properties);
    std::vector<TableRow> rows;
    for (const PropertyChange& change : changes) {
        rows.push_back({tagText(change.tag), propertyLabel(change.tag, busKind),
                        typeName(change.after->type), changeValueText(change.before),
                        changeValueText(change.after),
                        contains(verdict.rejected, change.tag) ? "rejected" : "accepted"});
    }
    std::printf("Changes to %s:\n\n", terminalSafe(item.name).c_str());
    std::fputs(formatTable({"TAG", "LABEL", "TYPE", "FROM", "TO", "VERDICT"}, rows).c_str(),
               stdout);
    for (uint32_t tag : verdict.rejected) {
        if (std::none_of(changes.begin(), changes.end(),
                         [&](const PropertyChange& change) { return change.tag == tag; })) {
            std::printf("The expert also rejects %s, which was not changed.\n",
                        tagText(tag).c_str());
        }
    }
    if (!rejected) {
        std::printf("\nThe expert accepts all %zu changes.\n", changes.size());
        return;
    }
    std::printf("\nThe expert rejects %zu of %zu changes: %s\n", rejectedCount, changes.size(),
                asSentence(terminalSafe(reasonOf(verdict, rejected))).c_str());
}

} // namespace

int runValidate(ModuleLoader& loader, const OutputOptions& output, const std::string& name,
                const std::vector<RequestedChange>& requested) {
    SettledSession session(loader);
    const NamedItem item = session.item(name);
    std::vector<PropertyChange> changes;
    for (const RequestedChange& change : requested) {
        const Property* current = findProperty(item.properties, change.tag);
        changes.push_back({change.tag, current ? std::optional<Property>(*current) : std::nullopt,
                           typedChange(change, item.properties, item.name)});
    }

    // The framework hands the expert a bag that knows which tags changed.
    ComRef<OwnedBagOfChanges> bag(OwnedBagOfChanges::create());
    for (const PropertyChange& change : changes) {
        const int32_t status = setThroughInterface(bag.get(), *change.after);
        if (status < 0) {
            throw HostError("The host's property bag refused " + tagText(change.tag) + ": status " +
                            describeStatus(status) + ".");
        }
    }
    const Verdict verdict = validate(session.expert(), item.name, bag.get());
    session.expert().finalize();

    size_t rejectedCount = 0;
    for (const PropertyChange& change : changes) {
        rejectedCount += contains(verdict.rejected, change.tag);
    }
    const bool rejected = rejectedCount != 0 || !verdict.rejected.empty();
    if (output.json) {
        const uint32_t busKind = itemBusKind(item.properties);
        nlohmann::ordered_json document;
        document["item"] = summaryJson(summarizeItem(item.properties, item.name));
        document["changes"] = nlohmann::ordered_json::array();
        for (const PropertyChange& change : changes) {
            document["changes"].push_back(changeJson(item.name, change, busKind));
        }
        document["rejectedTags"] = nlohmann::ordered_json::array();
        for (uint32_t tag : verdict.rejected) {
            document["rejectedTags"].push_back(tagText(tag));
        }
        document["accepted"] = !rejected;
        document["reason"] = textOrNull(reasonOf(verdict, rejected));
        printJson(document);
    } else {
        printText(item, changes, verdict, rejectedCount, rejected);
    }
    return rejected ? kExitRejected : kExitSuccess;
}
