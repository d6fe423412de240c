// camexpert fleet: the inventory of every node that publishes under the
// prefix, from the broker's retained messages.
//
// When is the picture whole? The broker sends the retained messages right
// after it acknowledges the subscription, and MQTT marks no end of them. So
// fleet takes the picture as whole once no topic new since the
// acknowledgement came for a quiet period, or after a limit on a fleet whose
// heartbeats never fall quiet (SettlingRound.h); with --watch it prints
// again after each change, once the messages of that change have settled the
// same way.
#include "commands/BrokerCommands.h"

#include "cli/StopSignals.h"
#include "commands/FleetChanges.h"
#include "commands/FleetDocument.h"
#include "commands/FleetSubscription.h"
#include "commands/SettlingRound.h"
#include "commands/WatchReport.h"
#include "mqtt/FleetInventory.h"
#include "mqtt/MqttClient.h"
#include "mqtt/MqttTopics.h"
#include "present/JsonOutput.h"
#include "present/PropertyFormat.h"
#include "present/TerminalText.h"
#include "present/TextTable.h"
#include "present/Wording.h"

#include <csignal>
#include <cstdio>
#include <functional>

namespace {

// How long a single picture waits for the broker to connect and subscribe.
constexpr std::chrono::seconds kAnswerLimit{10};

// "2 nodes: 1 online, 1 offline; 13 items: 11 cameras, 2 frame grabbers"
std::string countLine(const std::vector<FleetNode>& nodes) {
    size_t online = 0;
    size_t offline = 0;
    size_t items = 0;
    size_t cameras = 0;
    for (const FleetNode& node : nodes) {
        online += node.status == "online";
        offline += node.status == "offline";
        items += node.items.size();
        cameras += cameraCount(node.items);
    }
    std::string statuses =
        std::to_string(online) + " online, " + std::to_string(offline) + " offline";
    if (online + offline < nodes.size()) {
        statuses += ", " + std::to_string(nodes.size() - online - offline) + " without a status";
    }
    return counted(nodes.size(), "node", "nodes") + ": " + statuses + "; " +
           counted(items, "item", "items") + ": " + kindCountText(items, cameras) + "\n";
}

// One row per item; a node without items has a row of its own.
std::string textPicture(const std::vector<FleetNode>& nodes, const std::string& nobody) {
    if (nodes.empty()) {
        return nobody + "\n";
    }
    std::vector<TableRow> rows;
    for (const FleetNode& node : nodes) {
        const std::string status = node.status.empty() ? "unknown" : node.status;
        if (node.items.empty()) {
            rows.push_back({node.name, status});
            rows.back().resize(9); // the empty cells of an item-less node show "-"
            rows.back().push_back(node.lastSeen);
        }
        for (const ItemSummary& item : node.items) {
            TableRow row = {node.name, status};
            const TableRow cells = summaryCells(item);
            row.insert(row.end(), cells.begin(), cells.end());
            row.push_back(node.lastSeen);
            rows.push_back(std::move(row));
        }
    }
    return formatTable({"NODE", "STATUS", "NAME", "KIND", "BUS", "VENDOR", "MODEL", "SERIAL",
                        "ADDRESS", "LAST SEEN"},
                       rows) +
           "\n" + countLine(nodes);
}

// -q: "NODE<TAB>NAME", one item a line.
std::string namesText(const std::vector<FleetNode>& nodes) {
    std::string text;
    for (const FleetNode& node : nodes) {
        for (const ItemSummary& item : node.items) {
            text += terminalSafe(node.name) + "\t" + terminalSafe(item.name) + "\n";
        }
    }
    return text;
}

// The picture as fleet prints it: once as a document or a table; with
// --watch as a line, or as a table under the time and above a blank line.
std::string pictureText(const FleetInventory& inventory, const OutputOptions& output,
                        const FleetOptions& fleet, bool watch, const std::string& nobody) {
    const std::vector<FleetNode> nodes = fleet.filter.apply(inventory.nodes());
    const auto now = std::chrono::system_clock::now();
    if (output.json) {
        std::string text;
        writeNodesDocument(nodes, watch ? localTimeText(now, true) : "", watch,
                           [&text](const std::string& part) { text += part; });
        return text;
    }
    if (fleet.namesOnly) {
        return namesText(nodes);
    }
    if (watch) {
        return localTimeText(now, false) + "\n" + textPicture(nodes, nobody) + "\n";
    }
    return textPicture(nodes, nobody);
}

// What tells one picture from another, the time and the heartbeats aside.
std::string pictureKey(const FleetInventory& inventory, const FleetFilter& filter) {
    std::vector<FleetNode> nodes = filter.apply(inventory.nodes());
    for (FleetNode& node : nodes) {
        node.lastSeen.clear();
    }
    return jsonText(nodesJson(nodes), true);
}

} // namespace

int runFleet(const OutputOptions& output, const FleetOptions& fleet) {
    if (!fleet.forget.empty()) {
        return runFleetForget(fleet);
    }
    if (fleet.changes && !fleet.watch) {
        throw UsageError("--changes goes with --watch: it prints the changes as they come.");
    }
    const BrokerSettings settings = brokerSettings(fleet.broker);
    const std::string& prefix = fleet.broker.topicPrefix;

    WakeupPipe wakeup;
    StopSignals stop(wakeup);
    std::signal(SIGPIPE, SIG_IGN); // a closed output ends the watch
    FleetSubscription subscription(settings, prefix, false, wakeup);
    subscription.start();

    const std::string nobody = "No node publishes under " + prefix + " on the MQTT broker at " +
                               subscription.brokerText() + ".";
    const auto answerDeadline = std::chrono::steady_clock::now() + kAnswerLimit;
    FleetInventory inventory(prefix);
    FleetChanges changes(inventory, fleet.filter, output.json);
    bool changeLines = false; // --changes, once the first picture is printed
    bool outputClosed = false;
    SettlingRound settling; // the picture after a subscription, or a change after it
    std::string printed;
    while (!stop.requested() && !outputClosed) {
        for (FleetEvent& event : subscription.takeAll()) {
            const auto now = std::chrono::steady_clock::now();
            if (event.kind == FleetEvent::Kind::Subscribed) {
                subscription.tellConnection(event);
            }
            if (event.kind == FleetEvent::Kind::Subscribed && changeLines) {
                continue; // what the broker sends again changes nothing that was told
            }
            if (event.kind == FleetEvent::Kind::Subscribed) {
                inventory = FleetInventory(prefix); // what was cleared meanwhile is not resent
                settling.begin(now);
            } else if (event.kind == FleetEvent::Kind::Trouble ||
                       event.kind == FleetEvent::Kind::Refused) {
                if (!fleet.watch || event.kind == FleetEvent::Kind::Refused) {
                    throw HostError(event.text + ".");
                }
                subscription.tellConnection(event);
            } else {
                const std::optional<TopicAddress> address = parseTopic(prefix, event.topic);
                if (changeLines) {
                    changes.before(address);
                }
                const FleetUpdate update = inventory.apply(event.topic, event.text);
                if (changeLines && update == FleetUpdate::Changed &&
                    !printAtOnce(changes.after(address))) {
                    outputClosed = true;
                    break;
                }
                if (changeLines) {
                    continue; // no picture again
                }
                if (update == FleetUpdate::Malformed) {
                    std::fprintf(stderr, "camexpert: %s\n",
                                 ignoredMessageSentence(event.topic).c_str());
                }
                if (!settling.active() && update == FleetUpdate::Changed) {
                    settling.begin(now);
                }
                if (settling.active()) {
                    settling.heard(event.topic, now);
                }
            }
        }
        const auto now = std::chrono::steady_clock::now();
        if (settling.endsAt(now)) {
            if (!fleet.watch && output.json) {
                writeNodesDocument(fleet.filter.apply(inventory.nodes()), "", false,
                                   [](const std::string& part) {
                                       std::fwrite(part.data(), 1, part.size(), stdout);
                                   });
                break;
            }
            if (!fleet.watch) {
                printAtOnce(pictureText(inventory, output, fleet, false, nobody));
                break;
            }
            const std::string key = pictureKey(inventory, fleet.filter);
            if (key != printed &&
                !printAtOnce(pictureText(inventory, output, fleet, true, nobody))) {
                break;
            }
            printed = key;
            changeLines = fleet.changes;
        }
        if (!fleet.watch && !settling.active() && now >= answerDeadline) {
            throw HostError("No answer from the MQTT broker at " + subscription.brokerText() +
                            " in " + std::to_string(kAnswerLimit.count()) + " s.");
        }
        if (!stop.requested()) {
            wakeup.wait(settling.active() ? std::optional(settling.end())
                        : fleet.watch     ? std::nullopt
                                          : std::optional(answerDeadline));
        }
    }
    subscription.stop();
    return kExitSuccess;
}
