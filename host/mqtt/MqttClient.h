// One connection to an MQTT broker over libmosquitto, kept up by a network
// thread of our own: it connects, runs mosquitto_loop, and when the broker
// goes away connects again with a growing delay. The library's own thread
// (mosquitto_loop_start) is not used: ours is started and ended here, under
// the program's signal mask, and is the one every callback runs on.
#pragma once

#include "mqtt/BrokerAddress.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

struct mosquitto;

struct BrokerSettings {
    BrokerAddress address;
    std::string username; // "": none
    std::string password; // with a username only
    std::string cafile;   // with tls: "" trusts the system's CA certificates
    bool tls = false;
};

// What the broker publishes for this client when the connection ends without
// a word from it (the client died, or its network went away).
struct LastWill {
    std::string topic;
    std::string payload;
};

class MqttClient {
public:
    // All run on the network thread; they may publish and subscribe.
    struct Callbacks {
        std::function<void()> connected; // the broker accepted the connection
        std::function<void()> subscribed;
        std::function<void(const std::string& topic, const std::string& payload)> message;
        // Once per connection lost, and once when connecting fails until it
        // succeeds again: a sentence without its full stop ("Lost the
        // connection to the MQTT broker at HOST:PORT (...)"). The client goes
        // on trying.
        std::function<void(const std::string& sentence)> trouble;
        // The broker or its certificate refuses this client for good (a
        // wrong login, a certificate that does not verify): a sentence
        // without its full stop. The client stops trying.
        std::function<void(const std::string& sentence)> refused;
    };

    // Throws HostError when the settings cannot be used (a CA file TLS cannot
    // read). Nothing is connected before start.
    MqttClient(const BrokerSettings& settings, const std::optional<LastWill>& will,
               Callbacks callbacks);
    ~MqttClient(); // stop()

    MqttClient(const MqttClient&) = delete;
    MqttClient& operator=(const MqttClient&) = delete;

    // Starts the network thread. The thread takes the signal mask of the
    // caller.
    void start();

    // Publishes at QoS 0: nothing is queued while the broker is away, as the
    // owner publishes its whole state again on connecting. False when the
    // message is not sent (no connection).
    bool publish(const std::string& topic, const std::string& payload, bool retained);

    // Subscribes to the filters in one request (one "subscribed" callback).
    bool subscribe(const std::vector<std::string>& filters);

    // Sends what is queued and a clean disconnect, waiting for it at most a
    // few seconds, and ends the network thread. The last will is not sent.
    void stop();

    const std::string& brokerText() const { return m_brokerText; }

private:
    static void onConnect(mosquitto*, void* self, int result);
    static void onLog(mosquitto*, void* self, int level, const char* text);
    static void onSubscribe(mosquitto*, void* self, int, int, const int*);
    static void onMessage(mosquitto*, void* self, const struct mosquitto_message* message);

    void run();
    void runConnection();
    void tellTrouble(const std::string& sentence);
    std::string resultWords(int result) const; // "the connection was lost"
    bool waitBeforeRetry(std::chrono::milliseconds delay);
    void refuse(const std::string& sentence);

    BrokerSettings m_settings;
    std::string m_brokerText;
    Callbacks m_callbacks;
    mosquitto* m_handle = nullptr;
    std::thread m_thread;

    std::mutex m_stopLock;
    std::condition_variable m_stopChanged;
    bool m_stopping = false; // under m_stopLock
    std::chrono::steady_clock::time_point m_stopDeadline;

    std::atomic<bool> m_connectedOnce{false}; // since the last attempt began
    std::atomic<bool> m_troubleTold{false};   // since the last successful connection
    bool m_refused = false;                   // network thread: the broker refuses for good
    std::string m_tlsReason;                  // network thread: why TLS last failed, from the log
    bool m_tlsRefused = false;                // network thread: TLS failed as it will on every try
};
