// camexpert serve: the main thread checks the options, starts the picture's
// source and the web server, then gives the source its turns until a stop
// signal, telling systemd when the first picture is whole and feeding its
// watchdog.
#include "serve/ServeCommand.h"

#include "cli/HostError.h"
#include "cli/StopSignals.h"
#include "commands/ServiceNotifier.h"
#include "commands/ThisNode.h"
#include "mqtt/MqttClient.h"
#include "serve/BasicAuth.h"
#include "serve/BrokerSource.h"
#include "serve/ListenAddress.h"
#include "serve/LivePicture.h"
#include "serve/LocalSource.h"
#include "serve/WebServer.h"

#include <csignal>
#include <cstdio>
#include <memory>

namespace {

// Events a stream that fell behind may still catch up on.
constexpr size_t kEventBacklog = 4096;

WebSettings webSettings(const ServeOptions& serve) {
    WebSettings settings;
    const std::optional<ListenAddress> listen = parseListenAddress(serve.listen);
    if (!listen) {
        throw UsageError("--listen must be ADDRESS:PORT or [IPv6]:PORT, with a port from 0 to "
                         "65535 (0 picks a free one).");
    }
    settings.listen = *listen;
    if (!serve.passwordFile.empty() && serve.noAuth) {
        throw UsageError("--password-file and --no-auth exclude each other: give one of them.");
    }
    if (!listen->loopback && serve.passwordFile.empty() && !serve.noAuth) {
        throw UsageError("--listen " + serve.listen +
                         " serves beyond this machine: give --password-file FILE to ask for a "
                         "password, or --no-auth to serve anyone who reaches it.");
    }
    if (serve.tlsCert.empty() != serve.tlsKey.empty()) {
        throw UsageError("--tls-cert and --tls-key go together: HTTPS needs the certificate and "
                         "its key.");
    }
    if (!serve.passwordFile.empty()) {
        settings.auth = std::make_shared<const BasicAuth>(serve.passwordFile);
    }
    settings.tlsCert = serve.tlsCert;
    settings.tlsKey = serve.tlsKey;
    return settings;
}

} // namespace

int runServe(ModuleLoader* loader, const ServeOptions& serve) {
    const WebSettings settings = webSettings(serve);
    const bool fleet = !serve.broker.broker.empty();
    if (fleet && !serve.node.empty()) {
        throw UsageError("--node names this controller; with --broker serve shows the nodes of "
                         "the broker.");
    }
    WakeupPipe wakeup;
    StopSignals stop(wakeup);
    std::signal(SIGPIPE, SIG_IGN); // a client that hangs up is a write that fails

    LivePicture picture(fleet ? serve.broker.topicPrefix : kLocalPrefix, kEventBacklog);
    std::unique_ptr<PictureSource> source;
    if (fleet) {
        source = std::make_unique<BrokerSource>(brokerSettings(serve.broker),
                                                serve.broker.topicPrefix, picture, wakeup);
    } else {
        source =
            std::make_unique<LocalSource>(*loader, nodeNameOrHostName(serve.node), picture, wakeup);
    }
    WebServer web(settings, picture, *source);
    web.start(wakeup);
    std::fprintf(stderr, "camexpert: Serving %s (%s).\n", web.url().c_str(),
                 source->description().c_str());

    ServiceNotifier service;
    bool ready = false;
    try {
        while (!stop.requested()) {
            if (web.stoppedListening()) {
                // A service that answers nothing is better restarted than
                // kept alive by its watchdog.
                throw HostError("Stopped listening on " + web.url() + ": the server ends.");
            }
            auto wakeAt = source->turn(std::chrono::steady_clock::now());
            if (!ready && source->whole()) {
                service.ready("Serving " + web.url());
                ready = true;
            }
            service.alive(); // the loop turns: the picture follows its source
            if (const auto nextAlive = service.nextAlive()) {
                wakeAt = wakeAt ? std::min(*wakeAt, *nextAlive) : *nextAlive;
            }
            if (!stop.requested()) {
                wakeup.wait(wakeAt);
            }
        }
    } catch (const HostError&) {
        web.stop();
        source->stop();
        throw;
    }
    service.stopping();
    web.stop();
    source->stop();
    return kExitSuccess;
}
