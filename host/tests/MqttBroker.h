// A real MQTT broker for the tests, Debian's mosquitto on 127.0.0.1 with a
// configuration of its own in a temporary directory, and a probe that reads
// what it holds.
#pragma once

#include "TempDirectory.h"

#include <sys/types.h>

#include <chrono>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>

struct mosquitto;

class MqttBroker {
public:
    // Picks a free port; starts nothing. The access lines go into the
    // configuration below the listener: its TLS files, or a password file.
    explicit MqttBroker(const std::string& access = "allow_anonymous true\n");
    ~MqttBroker();

    MqttBroker(const MqttBroker&) = delete;
    MqttBroker& operator=(const MqttBroker&) = delete;

    // Starts the broker (again) on the same port and waits until it takes
    // connections; "" on success, else why it cannot run.
    std::string start();

    // Ends it and waits for its end. It keeps nothing: persistence is off.
    void stop();

    int port() const { return m_port; }
    std::string address() const { return "127.0.0.1:" + std::to_string(m_port); }

private:
    TempDirectory m_files;
    int m_port = 0;
    pid_t m_pid = -1;
};

// How the probe connects to a broker that wants TLS or a login; the
// defaults: neither.
struct MqttLogin {
    std::string cafile;
    std::string username;
    std::string password;
};

// One connection of the test's own, driven in the calling thread.
class MqttProbe {
public:
    // Throws std::runtime_error when it cannot connect.
    explicit MqttProbe(int port, const MqttLogin& login = {});
    ~MqttProbe();

    MqttProbe(const MqttProbe&) = delete;
    MqttProbe& operator=(const MqttProbe&) = delete;

    // Subscribes and returns once the broker has sent what it retained under
    // the filter (kept as messages, see next): the probe then sends itself a
    // message of its own, which the broker delivers after them.
    void subscribe(const std::string& filter);

    // Publishes at QoS 1 and returns once the broker has it.
    void publish(const std::string& topic, const std::string& payload, bool retained);

    // The next message on a subscribed topic, as {topic, payload}; none when
    // none came within the limit.
    std::optional<std::pair<std::string, std::string>> next(std::chrono::seconds limit);

    // What the broker retains under the filter now: topic to payload.
    static std::map<std::string, std::string> retained(int port, const std::string& filter,
                                                       const MqttLogin& login = {});

private:
    static void onMessage(mosquitto*, void* self, const struct mosquitto_message* message);
    static void onPublish(mosquitto*, void* self, int messageId);
    void loopUntil(const std::function<bool()>& done, std::chrono::seconds limit);

    mosquitto* m_handle = nullptr;
    std::string m_markerTopic;
    bool m_markerSeen = false;
    int m_lastPublished = 0; // the message id the broker acknowledged last
    std::deque<std::pair<std::string, std::string>> m_messages;
};
