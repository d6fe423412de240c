// camexpert publish and fleet: each controller's inventory on an MQTT
// broker, and the inventory of every controller read back from it. The
// topics are in MqttTopics.h.
#pragma once

#include "commands/Commands.h"
#include "commands/FleetFilter.h"
#include "session/ModuleLoader.h"

#include <CLI/CLI.hpp>

#include <string>

struct BrokerOptions {
    std::string broker; // HOST[:PORT]
    std::string topicPrefix = "camexpert";
    std::string username;
    std::string passwordFile; // its first line is the password
    std::string cafile;       // TLS with this CA certificate file
    // Before the login options' names: "" (--username, --password-file), or
    // "broker-" where --password-file means something else (serve).
    std::string loginOptionPrefix;
};

struct PublishOptions {
    BrokerOptions broker;
    std::string node; // "": the host name
};

struct FleetOptions {
    BrokerOptions broker;
    bool watch = false;
    bool changes = false;   // with watch: one line per change
    bool namesOnly = false; // -q: NODE<TAB>NAME, one item a line
    FleetFilter filter;
    std::vector<std::string> forget; // fleet forget NODE...
};

struct BrokerSettings;

// The subcommands publish and fleet with their options.
void defineBrokerCommands(CLI::App& app, PublishOptions& publish, FleetOptions& fleet);

// --broker, --topic-prefix, the login and --cafile, on a command.
void defineBrokerOptions(CLI::App* command, BrokerOptions& broker, bool required);

// The connection the options ask for: the address with its default port,
// the password read from its file. Throws UsageError for a password file
// without a user name, HostError for a file that cannot be read.
BrokerSettings brokerSettings(const BrokerOptions& broker);

// Publishes the node's status, its items and the expert's notifications
// until a stop signal; the broker may come and go meanwhile.
int runPublish(ModuleLoader& loader, const PublishOptions& publish);

// Prints the merged inventory of every node that publishes under the
// prefix: once, or with watch each time it changes.
int runFleet(const OutputOptions& output, const FleetOptions& fleet);

// Clears the retained topics of nodes whose publishers are gone; a live node
// is refused (HostError).
int runFleetForget(const FleetOptions& fleet);
