#include "serve/WebServer.h"

#include "cli/HostError.h"
#include "cli/OptionChecks.h"
#include "cli/StopSignals.h"
#include "commands/FleetDocument.h"
#include "commands/FleetFilter.h"
#include "present/JsonOutput.h"
#include "serve/JsonAnswer.h"
#include "serve/PageAssets.h"
#include "serve/RequestRules.h"
#include "serve/ServeRoutes.h"

#include <cerrno>
#include <cstring>

namespace {

// At most this many event streams at once, each holding a worker thread;
// the pool has room for them and for the requests beside them.
constexpr size_t kEventStreamLimit = 64;
constexpr size_t kWorkerThreads = kEventStreamLimit + 8;
constexpr std::chrono::seconds kKeepalive{15};
// How long an idle connection is kept for the client's next request. The
// library looks for that request every few milliseconds and notices a stop
// only then: a short time keeps an idle server idle and its stop prompt.
constexpr time_t kIdleConnectionSec = 1;

constexpr const char* kContentSecurityPolicy =
    "default-src 'none'; script-src 'self'; style-src 'self'; img-src 'self'; "
    "connect-src 'self'; base-uri 'none'; form-action 'none'; frame-ancestors 'none'";

std::unique_ptr<httplib::Server> makeServer(const WebSettings& settings) {
    if (settings.tlsCert.empty()) {
        return std::make_unique<httplib::Server>();
    }
    auto server =
        std::make_unique<httplib::SSLServer>(settings.tlsCert.c_str(), settings.tlsKey.c_str());
    if (!server->is_valid()) {
        throw HostError("Cannot serve HTTPS with the certificate " + settings.tlsCert +
                        " and the key " + settings.tlsKey +
                        ": they must be PEM files, the key the certificate's own.");
    }
    return server;
}

std::optional<std::string> header(const httplib::Request& request, const char* name) {
    if (!request.has_header(name)) {
        return std::nullopt;
    }
    return request.get_header_value(name);
}

std::vector<std::string> values(const httplib::Request& request, const char* name) {
    std::vector<std::string> found;
    const auto range = request.params.equal_range(name);
    for (auto value = range.first; value != range.second; ++value) {
        found.push_back(value->second);
    }
    return found;
}

// The kind or bus parameter in the spelling the filter takes, the last one
// given; false, after answering 400 with list's sentence, for a word that
// list does not take.
bool readWord(const httplib::Request& request, const char* name,
              std::optional<std::string> (*known)(const std::string&), const std::string& rule,
              std::string& word, httplib::Response& response) {
    for (const std::string& typed : values(request, name)) {
        const std::optional<std::string> spelled = known(typed);
        if (!spelled) {
            answerError(response, 400,
                        "unknown " + std::string(name) + " '" + typed + "': " + rule + ".");
            return false;
        }
        word = *spelled;
    }
    return true;
}

} // namespace

WebServer::WebServer(const WebSettings& settings, LivePicture& picture, const PictureSource& source)
    : m_settings(settings), m_picture(picture), m_source(source), m_server(makeServer(settings)),
      m_streams(picture, kEventStreamLimit, kKeepalive) {
    defineRoutes();
    const ListenAddress& listen = m_settings.listen;
    errno = 0;
    m_port = listen.port == 0
                 ? m_server->bind_to_any_port(listen.host)
                 : (m_server->bind_to_port(listen.host, listen.port) ? listen.port : -1);
    if (m_port <= 0) {
        const int error = errno;
        throw HostError("Cannot listen on " + hostAndPort(listen.host, listen.port) +
                        (error != 0 ? std::string(": ") + std::strerror(error) : std::string()) +
                        ".");
    }
}

WebServer::~WebServer() {
    stop();
}

std::string WebServer::url() const {
    return std::string(m_settings.tlsCert.empty() ? "http" : "https") + "://" +
           hostAndPort(m_settings.listen.host, m_port) + "/";
}

void WebServer::start(const WakeupPipe& wakeup) {
    {
        StopSignalsHeldBack heldBack; // the listening thread and its pool never take a stop signal
        m_thread = std::thread([this, &wakeup] {
            m_server->listen_after_bind();
            m_listenEnded = true;
            wakeup.wake();
        });
    }
    // A stop before the thread runs its loop would go unnoticed, and the loop
    // would never end: wait for it, a moment at the start.
    while (!m_server->is_running() && !m_listenEnded) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

void WebServer::stop() {
    m_picture.feed().stop(); // the event streams end
    m_server->stop();
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

void WebServer::defineRoutes() {
    m_server->new_task_queue = [] { return new httplib::ThreadPool(kWorkerThreads); };
    m_server->set_keep_alive_timeout(kIdleConnectionSec);
    m_server->set_default_headers({
        {"Content-Security-Policy", kContentSecurityPolicy},
        {"X-Content-Type-Options", "nosniff"},
        {"Referrer-Policy", "no-referrer"},
    });
    m_server->set_pre_routing_handler(
        [this](const httplib::Request& request, httplib::Response& response) {
            return screen(request, response);
        });
    m_server->Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
        answer(request, response);
    });
    m_server->set_error_handler([](const httplib::Request&, httplib::Response& response) {
        if (response.body.empty() && !response.is_chunked_content_provider_) {
            answerError(response, response.status, "The request cannot be answered.");
        }
    });
    m_server->set_exception_handler(
        [](const httplib::Request&, httplib::Response& response, std::exception_ptr) {
            answerError(response, 500, "The server failed to answer.");
        });
    m_server->set_logger(
        [this](const httplib::Request& request, const httplib::Response& response) {
            m_requests.count(routeOf(request.target).handler, response.status);
        });
}

httplib::Server::HandlerResponse WebServer::screen(const httplib::Request& request,
                                                   httplib::Response& response) const {
    const RequestFacts facts{request.method, header(request, "Origin"), header(request, "Host")};
    if (const std::optional<Refusal> refusal =
            requestRefusal(facts, m_settings.listen.loopback, !m_settings.tlsCert.empty())) {
        if (refusal->status == 405) {
            response.set_header("Allow", "GET, HEAD");
        }
        answerError(response, refusal->status, refusal->sentence);
        return httplib::Server::HandlerResponse::Handled;
    }
    if (m_settings.auth && !m_settings.auth->admits(request.get_header_value("Authorization"))) {
        response.set_header("WWW-Authenticate", kAuthenticateHeader);
        answerError(response, 401, "A user name and password are needed.");
        return httplib::Server::HandlerResponse::Handled;
    }
    return httplib::Server::HandlerResponse::Unhandled;
}

void WebServer::answer(const httplib::Request& request, httplib::Response& response) {
    const ServeRoute route = routeOf(request.target);
    if (route.handler == "page" || route.handler == "asset") {
        const PageAsset* asset = pageAsset(route.asset);
        response.set_header("Cache-Control", "no-cache");
        response.set_content(reinterpret_cast<const char*>(asset->data), asset->size,
                             asset->contentType);
    } else if (route.handler == "nodes") {
        answerNodes(request, response);
    } else if (route.handler == "node") {
        std::optional<FleetNode> node;
        m_picture.read(
            [&](const PictureStore& store) { node = store.inventory().node(route.node); });
        if (!node) {
            answerError(response, 404, "There is no node " + jsonText(route.node, true) + ".");
            return;
        }
        answerJson(response, jsonText(nodeJson(*node), true) + "\n");
    } else if (route.handler == "item") {
        std::optional<std::string> document;
        m_picture.read([&](const PictureStore& store) {
            document = store.itemDocument(route.node, route.item);
        });
        if (!document) {
            answerError(response, 404,
                        "Node " + jsonText(route.node, true) + " has no item " +
                            jsonText(route.item, true) + ".");
            return;
        }
        answerJson(response, *document + "\n");
    } else if (route.handler == "events") {
        m_streams.answer(request, response);
    } else if (route.handler == "metrics") {
        answerMetrics(response);
    } else {
        answerError(response, 404, "There is nothing at this path.");
    }
}

void WebServer::answerNodes(const httplib::Request& request, httplib::Response& response) const {
    FleetFilter filter;
    filter.items.patterns = values(request, "name");
    filter.nodes = values(request, "node");
    if (!readWord(request, "kind", knownKind, kindRule(), filter.items.kind, response) ||
        !readWord(request, "bus", knownBus, busRule(), filter.items.bus, response)) {
        return;
    }
    std::vector<FleetNode> nodes;
    m_picture.read([&](const PictureStore& store) { nodes = store.inventory().nodes(); });
    std::string text;
    writeNodesDocument(filter.apply(std::move(nodes)), "", true,
                       [&text](const std::string& part) { text += part; });
    answerJson(response, text);
}

void WebServer::answerMetrics(httplib::Response& response) const {
    const ServerFigures figures{m_requests.snapshot(), m_streams.open(),
                                m_source.brokerConnected()};
    std::string text;
    m_picture.read([&](const PictureStore& store) {
        text = metricsText(store, figures, std::chrono::system_clock::now());
    });
    response.set_content(text, kMetricsContentType);
}
