// serve's HTTP side, on cpp-httplib: the routes of the page, the JSON API,
// the event streams and the metrics, behind the rules every request passes
// (RequestRules.h, then basic authentication when a password file is given).
// Every answer carries the headers that keep the page to itself: a Content
// Security Policy without inline script or style, no sniffing, no referrer,
// and never an Access-Control-Allow header.
#pragma once

#include "cli/StopSignals.h"
#include "serve/BasicAuth.h"
#include "serve/EventStreams.h"
#include "serve/ListenAddress.h"
#include "serve/LivePicture.h"
#include "serve/Metrics.h"
#include "serve/PictureSource.h"

#include <httplib.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>

struct WebSettings {
    ListenAddress listen;
    std::shared_ptr<const BasicAuth> auth; // none: no authentication
    std::string tlsCert;                   // with tlsKey: HTTPS
    std::string tlsKey;
};

class WebServer {
public:
    // Loads the TLS files and binds the address. Throws HostError when
    // either fails.
    WebServer(const WebSettings& settings, LivePicture& picture, const PictureSource& source);
    ~WebServer(); // stop()

    WebServer(const WebServer&) = delete;
    WebServer& operator=(const WebServer&) = delete;

    // "http://127.0.0.1:8480/", with the port bound.
    std::string url() const;

    // Serves on a thread of its own and its pool, which never take a stop
    // signal. The pipe is woken should the server stop listening before
    // stop() asks it to.
    void start(const WakeupPipe& wakeup);

    // Whether the listening loop ended; before stop(), the server answers
    // nothing any more.
    bool stoppedListening() const { return m_listenEnded; }

    // Ends the event streams and the server, and waits for its threads.
    void stop();

private:
    void defineRoutes();
    httplib::Server::HandlerResponse screen(const httplib::Request& request,
                                            httplib::Response& response) const;
    void answer(const httplib::Request& request, httplib::Response& response);
    void answerNodes(const httplib::Request& request, httplib::Response& response) const;
    void answerMetrics(httplib::Response& response) const;

    const WebSettings m_settings;
    LivePicture& m_picture;
    const PictureSource& m_source;
    std::unique_ptr<httplib::Server> m_server;
    int m_port = 0;
    EventStreams m_streams;
    RequestCounts m_requests;
    std::atomic<bool> m_listenEnded{false};
    std::thread m_thread;
};
