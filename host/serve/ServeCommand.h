// camexpert serve: this controller's expert, or with --broker the fleet on
// an MQTT broker, over HTTP: a page, a JSON API, Server-Sent Events and
// Prometheus metrics (host/serve/).
#pragma once

#include "commands/BrokerCommands.h"
#include "session/ModuleLoader.h"

#include <CLI/CLI.hpp>

#include <string>

struct ServeOptions {
    ServeOptions() { broker.loginOptionPrefix = "broker-"; }

    BrokerOptions broker; // broker.broker "": this controller's expert
    std::string node;     // "": the host name
    std::string listen = "127.0.0.1:8480";
    std::string passwordFile; // HTTP basic authentication
    bool noAuth = false;
    std::string tlsCert;
    std::string tlsKey;
};

// The subcommand serve with its options.
void defineServeCommand(CLI::App& app, ServeOptions& serve);

// Serves until a stop signal. The loader is needed without --broker only.
int runServe(ModuleLoader* loader, const ServeOptions& serve);
