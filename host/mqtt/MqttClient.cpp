#include "mqtt/MqttClient.h"

#include "cli/HostError.h"
#include "mqtt/SocketConnectWait.h"

#include <mosquitto.h>

#include <sys/socket.h>

#include <cctype>
#include <cerrno>
#include <cstring>

namespace {

// A controller whose network goes away without a word is seen offline within
// one and a half keep-alive periods.
constexpr int kKeepAliveSec = 10;
// How soon the network thread notices a stop while nothing else happens.
constexpr int kLoopTimeoutMs = 200;
constexpr std::chrono::milliseconds kFirstRetryDelay{500};
constexpr std::chrono::milliseconds kLongestRetryDelay{30000};
// How long stop waits for the queued messages and the disconnect to go out.
constexpr std::chrono::seconds kStopLimit{3};
// The last will is kept by the broker, so its quality of service only
// matters for subscribers that are there when it is sent.
constexpr int kWillQos = 1;

void initializeLibraryOnce() {
    static const int initialized = mosquitto_lib_init();
    (void)initialized;
}

// The library's message as words inside a sentence: "The connection was
// lost." -> "the connection was lost".
std::string inSentence(std::string words) {
    if (!words.empty() && words.back() == '.') {
        words.pop_back();
    }
    if (!words.empty()) {
        words[0] = char(std::tolower(static_cast<unsigned char>(words[0])));
    }
    return words;
}

// The library's refusals all start with these words, which the sentence
// around them already says.
constexpr const char* kRefusalPrefix = "Connection Refused: ";

std::string refusalWords(int result) {
    std::string words = mosquitto_connack_string(result);
    if (words.rfind(kRefusalPrefix, 0) == 0) {
        words.erase(0, std::strlen(kRefusalPrefix));
    }
    return inSentence(words);
}

constexpr const char* kUnusableCaFile = "the CA file holds no certificate it can use";

// A login the broker rejects is rejected again on every try.
bool refusedForGood(int connackResult) {
    return connackResult == 4 || connackResult == 5; // bad user name or password, not authorised
}

bool socketConnected(int fd) {
    sockaddr_storage peer{};
    socklen_t length = sizeof peer;
    return getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &length) == 0;
}

} // namespace

MqttClient::MqttClient(const BrokerSettings& settings, const std::optional<LastWill>& will,
                       Callbacks callbacks)
    : m_settings(settings), m_brokerText(brokerAddressText(settings.address)),
      m_callbacks(std::move(callbacks)) {
    initializeLibraryOnce();
    m_handle = mosquitto_new(nullptr, true, this); // a client id of the broker's choosing
    if (m_handle == nullptr) {
        throw HostError(std::string("Cannot make an MQTT client: ") + std::strerror(errno) + ".");
    }
    // Tells the library that another thread than the loop's publishes, so it
    // wakes the loop rather than writing to the socket from that thread.
    mosquitto_threaded_set(m_handle, true);
    const auto refuse = [this](const std::string& sentence) {
        mosquitto_destroy(m_handle);
        m_handle = nullptr;
        throw HostError(sentence);
    };
    if (!settings.username.empty() &&
        mosquitto_username_pw_set(
            m_handle, settings.username.c_str(),
            settings.password.empty() ? nullptr : settings.password.c_str()) != MOSQ_ERR_SUCCESS) {
        refuse("The MQTT user name or password cannot be used.");
    }
    if (settings.tls && settings.cafile.empty()) {
        const int tls = mosquitto_int_option(m_handle, MOSQ_OPT_TLS_USE_OS_CERTS, 1);
        if (tls != MOSQ_ERR_SUCCESS) {
            refuse("Cannot use the system's CA certificates for TLS: " + resultWords(tls) + ".");
        }
    } else if (settings.tls) {
        const int tls = mosquitto_tls_set(m_handle, settings.cafile.c_str(), nullptr, nullptr,
                                          nullptr, nullptr);
        if (tls != MOSQ_ERR_SUCCESS) {
            refuse("Cannot use " + settings.cafile + " for TLS: " + resultWords(tls) + ".");
        }
    }
    if (will && mosquitto_will_set(m_handle, will->topic.c_str(), int(will->payload.size()),
                                   will->payload.data(), kWillQos, true) != MOSQ_ERR_SUCCESS) {
        refuse("Cannot give the MQTT broker the last will on " + will->topic + ".");
    }
    mosquitto_log_callback_set(m_handle, onLog);
    mosquitto_connect_callback_set(m_handle, onConnect);
    mosquitto_subscribe_callback_set(m_handle, onSubscribe);
    mosquitto_message_callback_set(m_handle, onMessage);
}

MqttClient::~MqttClient() {
    stop();
    mosquitto_destroy(m_handle);
}

void MqttClient::start() {
    m_thread = std::thread([this] { run(); });
}

bool MqttClient::publish(const std::string& topic, const std::string& payload, bool retained) {
    return mosquitto_publish(m_handle, nullptr, topic.c_str(), int(payload.size()), payload.data(),
                             0, retained) == MOSQ_ERR_SUCCESS;
}

bool MqttClient::subscribe(const std::vector<std::string>& filters) {
    std::vector<char*> texts;
    for (const std::string& filter : filters) {
        texts.push_back(const_cast<char*>(filter.c_str())); // the library only reads them
    }
    return mosquitto_subscribe_multiple(m_handle, nullptr, int(texts.size()), texts.data(), 0, 0,
                                        nullptr) == MOSQ_ERR_SUCCESS;
}

void MqttClient::stop() {
    if (!m_thread.joinable()) {
        return;
    }
    {
        std::lock_guard<std::mutex> hold(m_stopLock);
        m_stopping = true;
        m_stopDeadline = std::chrono::steady_clock::now() + kStopLimit;
    }
    m_stopChanged.notify_all();
    mosquitto_disconnect(m_handle); // queued behind what was published; the loop sends it
    m_thread.join();
}

void MqttClient::onConnect(mosquitto*, void* self, int result) {
    auto* client = static_cast<MqttClient*>(self);
    if (result != 0 && refusedForGood(result)) {
        client->refuse("The MQTT broker at " + client->m_brokerText +
                       " refuses the connection: " + refusalWords(result));
        return;
    }
    if (result != 0) {
        client->tellTrouble("The MQTT broker at " + client->m_brokerText +
                            " refuses the connection: " + refusalWords(result));
        return;
    }
    client->m_connectedOnce = true;
    client->m_troubleTold = false;
    if (client->m_callbacks.connected) {
        client->m_callbacks.connected();
    }
}

// The library tells why TLS failed only in its log, as OpenSSL's error
// lines: "OpenSSL Error[0]: error:0A000086:SSL routines::certificate verify
// failed". The reason is what follows the last colon.
void MqttClient::onLog(mosquitto*, void* self, int level, const char* text) {
    const std::string line(text);
    auto* client = static_cast<MqttClient*>(self);
    if (client->m_tlsReason == kUnusableCaFile) {
        return; // OpenSSL's lines after it say less
    }
    if (level == MOSQ_LOG_ERR && line.rfind("OpenSSL Error", 0) == 0) {
        client->m_tlsReason = line.substr(line.rfind(':') + 1);
        client->m_tlsRefused |= line.find("certificate verify failed") != std::string::npos;
    } else if (level == MOSQ_LOG_ERR &&
               line.find("Unable to load CA certificates") != std::string::npos) {
        client->m_tlsReason = kUnusableCaFile;
        client->m_tlsRefused = true;
    }
}

void MqttClient::onSubscribe(mosquitto*, void* self, int, int, const int*) {
    auto* client = static_cast<MqttClient*>(self);
    if (client->m_callbacks.subscribed) {
        client->m_callbacks.subscribed();
    }
}

void MqttClient::onMessage(mosquitto*, void* self, const mosquitto_message* message) {
    auto* client = static_cast<MqttClient*>(self);
    if (client->m_callbacks.message) {
        const char* payload = static_cast<const char*>(message->payload);
        client->m_callbacks.message(message->topic,
                                    std::string(payload, payload + message->payloadlen));
    }
}

void MqttClient::run() {
    std::chrono::milliseconds delay = kFirstRetryDelay;
    for (;;) {
        m_connectedOnce = false;
        runConnection();
        if (m_refused) {
            return;
        }
        if (m_connectedOnce) {
            delay = kFirstRetryDelay; // the broker was there: it may be back soon
        }
        if (!waitBeforeRetry(delay)) {
            return;
        }
        delay = std::min(delay * 2, kLongestRetryDelay);
    }
}

void MqttClient::runConnection() {
    const auto stopDue = [this] {
        std::lock_guard<std::mutex> hold(m_stopLock);
        return m_stopping &&
               (!m_connectedOnce || std::chrono::steady_clock::now() >= m_stopDeadline);
    };
    m_tlsReason.clear();
    m_tlsRefused = false;
    // Without waiting for the broker's host: the loop completes the
    // connection, so a stop is seen while a host that does not answer keeps
    // the connection pending, and a failure is the loop's result. (The
    // library's header pairs this call with its own thread; since version 2
    // the call starts the connection itself and mosquitto_loop completes it.)
    const int connected = mosquitto_connect_async(m_handle, m_settings.address.host.c_str(),
                                                  m_settings.address.port, kKeepAliveSec);
    if (connected != MOSQ_ERR_SUCCESS && m_tlsRefused) {
        refuse("Cannot reach the MQTT broker at " + m_brokerText + ": " + resultWords(connected));
        return;
    }
    if (connected != MOSQ_ERR_SUCCESS) {
        if (!stopDue()) {
            tellTrouble("Cannot reach the MQTT broker at " + m_brokerText + ": " +
                        resultWords(connected));
        }
        return;
    }
    const int socket = mosquitto_socket(m_handle);
    if (m_settings.tls) {
        const int failed =
            waitForSocketConnect(socket, stopDue, std::chrono::seconds(kKeepAliveSec));
        if (failed != 0) {
            if (failed > 0) {
                tellTrouble("Cannot reach the MQTT broker at " + m_brokerText + ": " +
                            inSentence(std::strerror(failed)));
            }
            return;
        }
    }
    int result = MOSQ_ERR_SUCCESS;
    while (result == MOSQ_ERR_SUCCESS && !stopDue()) {
        result = mosquitto_loop(m_handle, kLoopTimeoutMs, 1);
        // A TLS connection reset during the handshake is one the library
        // would go on handshaking with, at full speed.
        if (result == MOSQ_ERR_SUCCESS && m_settings.tls && !m_connectedOnce &&
            !socketConnected(socket)) {
            result = MOSQ_ERR_CONN_LOST;
        }
    }
    if (m_refused) {
        return;
    }
    bool stopping = false;
    {
        std::lock_guard<std::mutex> hold(m_stopLock);
        stopping = m_stopping;
    }
    // A TLS handshake the broker's certificate fails ends here, before any
    // connection was made: nothing was lost, and trying again fails the same
    // way. So does a connection the host refuses or never answers, or a
    // handshake it cuts short, which may work later.
    if (!stopping && !m_connectedOnce && result == MOSQ_ERR_TLS && m_tlsRefused) {
        refuse("Cannot reach the MQTT broker at " + m_brokerText + ": " + resultWords(result));
    } else if (!stopping && m_connectedOnce) {
        tellTrouble("Lost the connection to the MQTT broker at " + m_brokerText + " (" +
                    resultWords(result) + ")");
    } else if (!stopping) {
        tellTrouble("Cannot reach the MQTT broker at " + m_brokerText + ": " + resultWords(result));
    }
}

std::string MqttClient::resultWords(int result) const {
    if (result == MOSQ_ERR_TLS && !m_tlsReason.empty()) {
        return "TLS failed (" + m_tlsReason + ")";
    }
    // A host that stops answering, or never answers a new connection, is
    // given up after one keep-alive period as a keep-alive timeout, which
    // the library has no words for: to the user the connection timed out.
    if (result == MOSQ_ERR_KEEPALIVE) {
        return inSentence(std::strerror(ETIMEDOUT));
    }
    return inSentence(result == MOSQ_ERR_ERRNO ? std::strerror(errno) : mosquitto_strerror(result));
}

void MqttClient::tellTrouble(const std::string& sentence) {
    if (!m_troubleTold.exchange(true) && m_callbacks.trouble) {
        m_callbacks.trouble(sentence);
    }
}

void MqttClient::refuse(const std::string& sentence) {
    m_refused = true;
    if (m_callbacks.refused) {
        m_callbacks.refused(sentence);
    }
}

bool MqttClient::waitBeforeRetry(std::chrono::milliseconds delay) {
    std::unique_lock<std::mutex> hold(m_stopLock);
    return !m_stopChanged.wait_for(hold, delay, [this] { return m_stopping; });
}
