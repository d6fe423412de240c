// The options of publish and fleet.
#include "commands/BrokerCommands.h"

#include "cli/CommandLine.h"
#include "cli/HostError.h"
#include "cli/IniOptionFile.h"
#include "cli/OptionChecks.h"
#include "mqtt/BrokerUrl.h"
#include "mqtt/MqttClient.h"
#include "mqtt/MqttTopics.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {

std::string firstLine(const std::string& path) {
    std::ifstream file(path);
    std::string line;
    if (!file || (!std::getline(file, line) && !file.eof())) {
        throw HostError("Cannot read the password file " + path + ": " + std::strerror(errno) +
                        ".");
    }
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return line;
}

// TLS reads the CA file only when it connects, and then says no more than
// that TLS failed; publish would try again forever. A file without a PEM
// certificate is refused with the command line instead.
CLI::Validator pemCertificates() {
    return CLI::Validator(
        [](const std::string& path) -> std::string {
            std::ifstream file(path);
            const std::string text((std::istreambuf_iterator<char>(file)),
                                   std::istreambuf_iterator<char>());
            return text.find("-----BEGIN CERTIFICATE-----") != std::string::npos
                       ? ""
                       : "'" + path +
                             "' holds no PEM certificate: --cafile needs the path of a PEM file "
                             "of CA certificates";
        },
        "");
}

CLI::Validator brokerAddress() {
    return CLI::Validator(
        [](const std::string& value) -> std::string {
            return parseBrokerUrl(value, false).has_value()
                       ? ""
                       : "--broker must be " + std::string(kBrokerForms) +
                             ", with a port from 1 to 65535";
        },
        "");
}

CLI::Validator topicPrefix() {
    return CLI::Validator(
        [](const std::string& value) -> std::string {
            const std::string problem = topicPrefixProblem(value);
            return problem.empty() ? "" : "--topic-prefix cannot be '" + value + "': " + problem;
        },
        "");
}

// The list filters, -q and --changes, and fleet forget.
void defineFleetViewOptions(CLI::App* fleetCommand, FleetOptions& fleet) {
    fleetCommand->add_flag("--changes", fleet.changes,
                           "With --watch: after the inventory, one line per change of a node or "
                           "an item instead of the whole inventory again");
    fleetCommand->add_flag("-q,--quiet", fleet.namesOnly,
                           "Only the node and the name of each item, one item a line");
    fleetCommand->add_option("PATTERN", fleet.filter.items.patterns,
                             "Show only items whose name matches a shell pattern, letter case "
                             "aside");
    fleetCommand
        ->add_option("--node", fleet.filter.nodes,
                     "Show only nodes whose name matches this shell pattern (repeatable)")
        ->allow_extra_args(false);
    addKindAndBusOptions(fleetCommand, fleet.filter.items);
    CLI::App* forget = fleetCommand->add_subcommand(
        "forget", "Clear the retained status and items of nodes whose publishers are gone");
    forget->add_option("NODE", fleet.forget, "The nodes to forget")->required();
}

} // namespace

void defineBrokerOptions(CLI::App* command, BrokerOptions& broker, bool required) {
    command
        ->add_option("--broker", broker.broker,
                     "The MQTT broker: HOST[:PORT], [IPv6]:PORT, mqtt://HOST[:PORT] or "
                     "mqtts://HOST[:PORT] (TLS); port 1883, or 8883 with TLS")
        ->required(required)
        ->check(brokerAddress());
    command
        ->add_option("--topic-prefix", broker.topicPrefix,
                     "The first levels of every topic: PREFIX/NODE/status, "
                     "PREFIX/NODE/items/NAME, PREFIX/NODE/events")
        ->capture_default_str()
        ->check(topicPrefix());
    const std::string username = "--" + broker.loginOptionPrefix + "username";
    const std::string passwordFile = "--" + broker.loginOptionPrefix + "password-file";
    command->add_option(username, broker.username, "User name to give the broker");
    command
        ->add_option(passwordFile, broker.passwordFile,
                     "File whose first line is the broker's password (needs " + username + ")")
        ->check(existingFile(passwordFile, "a file holding the password"));
    command
        ->add_option("--cafile", broker.cafile,
                     "Connect with TLS, trusting the CA certificates in this PEM file (mqtts:// "
                     "without it trusts the system's)")
        ->check(existingFile("--cafile", "a PEM file of CA certificates"))
        ->check(pemCertificates());
}

void defineBrokerCommands(CLI::App& app, PublishOptions& publish, FleetOptions& fleet) {
    CLI::App* publishCommand = app.add_subcommand(
        "publish", "Publish this controller's status, cameras and frame grabbers and their "
                   "changes to an MQTT broker, until Ctrl-C");
    defineBrokerOptions(publishCommand, publish.broker, true);
    publishCommand->add_option("--node", publish.node,
                               "The name this controller publishes under (default: the host "
                               "name)");

    CLI::App* fleetCommand = app.add_subcommand(
        "fleet", "The cameras and frame grabbers of every controller that publishes to an MQTT "
                 "broker: node, status and the columns of list");
    defineBrokerOptions(fleetCommand, fleet.broker, true);
    fleetCommand->add_flag("--watch", fleet.watch,
                           "Print the inventory again each time it changes, until Ctrl-C");
    defineFleetViewOptions(fleetCommand, fleet);
    defineOptionFile(app); // for the service, which runs publish with its options in a file
}

BrokerSettings brokerSettings(const BrokerOptions& broker) {
    BrokerSettings settings;
    // The check of --broker has refused every value this cannot read.
    const BrokerUrl url = *parseBrokerUrl(broker.broker, !broker.cafile.empty());
    if (url.schemeGiven && !url.tls && !broker.cafile.empty()) {
        throw UsageError("--cafile connects with TLS: the broker's address is then mqtts://HOST"
                         "[:PORT] or has no scheme.");
    }
    settings.address = url.address;
    settings.tls = url.tls;
    if (!broker.passwordFile.empty()) {
        if (broker.username.empty()) {
            const std::string& prefix = broker.loginOptionPrefix;
            throw UsageError("--" + prefix + "password-file goes with --" + prefix +
                             "username: a password needs a user name.");
        }
        settings.password = firstLine(broker.passwordFile);
    }
    settings.username = broker.username;
    settings.cafile = broker.cafile;
    return settings;
}
