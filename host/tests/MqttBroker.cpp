#include "MqttBroker.h"

#include "Waiting.h"

#include <mosquitto.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <stdexcept>

extern char** environ;

namespace {

constexpr const char* kBrokerProgram = "/usr/sbin/mosquitto";

sockaddr_in loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(uint16_t(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

// A port nobody listens on now, chosen by the kernel.
int freePort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = loopback(0);
    socklen_t length = sizeof address;
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        throw std::runtime_error("no free port on 127.0.0.1");
    }
    close(fd);
    return ntohs(address.sin_port);
}

bool acceptsConnections(int port) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    const sockaddr_in address = loopback(port);
    const bool accepted =
        connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    return accepted;
}

std::string fileText(const std::string& path) {
    std::ifstream file(path);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

} // namespace

MqttBroker::MqttBroker(const std::string& access) : m_port(freePort()) {
    // Started by root, the broker would read the test's private files as the
    // user mosquitto, who may not.
    m_files.write("mosquitto.conf", "user root\nlistener " + std::to_string(m_port) +
                                        " 127.0.0.1\n" + access + "persistence false\n");
}

MqttBroker::~MqttBroker() {
    stop();
}

std::string MqttBroker::start() {
    if (access(kBrokerProgram, X_OK) != 0) {
        return std::string(kBrokerProgram) + " is not installed (Debian package mosquitto)";
    }
    const std::string log = m_files.path("mosquitto.log");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    const std::string config = m_files.path("mosquitto.conf");
    const char* argv[] = {kBrokerProgram, "-c", config.c_str(), nullptr};
    const int failed = posix_spawn(&m_pid, kBrokerProgram, &actions, nullptr,
                                   const_cast<char* const*>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) {
        m_pid = -1;
        return std::string("cannot start ") + kBrokerProgram;
    }
    const bool listening = waitUntil([&] {
        if (acceptsConnections(m_port)) {
            return true;
        }
        if (waitpid(m_pid, nullptr, WNOHANG) == m_pid) {
            m_pid = -1; // reaped: its number may already be another process's
            return true;
        }
        return false;
    });
    if (!listening || !acceptsConnections(m_port)) {
        stop();
        return "mosquitto does not listen on 127.0.0.1:" + std::to_string(m_port) + ": " +
               fileText(log);
    }
    return "";
}

void MqttBroker::stop() {
    if (m_pid > 0) {
        kill(m_pid, SIGTERM);
        waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }
}

MqttProbe::MqttProbe(int port, const MqttLogin& login) {
    mosquitto_lib_init();
    m_handle = mosquitto_new(nullptr, true, this);
    if (m_handle == nullptr ||
        (!login.username.empty() &&
         mosquitto_username_pw_set(m_handle, login.username.c_str(), login.password.c_str()) !=
             MOSQ_ERR_SUCCESS) ||
        (!login.cafile.empty() &&
         mosquitto_tls_set(m_handle, login.cafile.c_str(), nullptr, nullptr, nullptr, nullptr) !=
             MOSQ_ERR_SUCCESS) ||
        mosquitto_connect(m_handle, "127.0.0.1", port, 60) != MOSQ_ERR_SUCCESS) {
        throw std::runtime_error("the probe cannot connect to the broker");
    }
    mosquitto_message_callback_set(m_handle, onMessage);
    mosquitto_publish_callback_set(m_handle, onPublish);
    m_markerTopic = "probe/" + std::to_string(getpid()) + "/" +
                    std::to_string(reinterpret_cast<uintptr_t>(this));
}

MqttProbe::~MqttProbe() {
    if (m_handle != nullptr) {
        mosquitto_disconnect(m_handle);
        mosquitto_destroy(m_handle);
    }
}

void MqttProbe::onMessage(mosquitto*, void* self, const mosquitto_message* message) {
    auto* probe = static_cast<MqttProbe*>(self);
    if (probe->m_markerTopic == message->topic) {
        probe->m_markerSeen = true;
        return;
    }
    const char* payload = static_cast<const char*>(message->payload);
    probe->m_messages.emplace_back(message->topic,
                                   std::string(payload, payload + message->payloadlen));
}

void MqttProbe::onPublish(mosquitto*, void* self, int messageId) {
    static_cast<MqttProbe*>(self)->m_lastPublished = messageId;
}

void MqttProbe::publish(const std::string& topic, const std::string& payload, bool retained) {
    int messageId = 0;
    if (mosquitto_publish(m_handle, &messageId, topic.c_str(), int(payload.size()), payload.data(),
                          1, retained) != MOSQ_ERR_SUCCESS) {
        throw std::runtime_error("the probe cannot publish");
    }
    loopUntil([&] { return m_lastPublished == messageId; }, kPatience);
}

void MqttProbe::loopUntil(const std::function<bool()>& done, std::chrono::seconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done() && std::chrono::steady_clock::now() < deadline) {
        if (mosquitto_loop(m_handle, 100, 1) != MOSQ_ERR_SUCCESS) {
            throw std::runtime_error("the probe lost the broker");
        }
    }
}

void MqttProbe::subscribe(const std::string& filter) {
    const char* filters[] = {filter.c_str(), m_markerTopic.c_str()};
    mosquitto_subscribe_multiple(m_handle, nullptr, 2, const_cast<char* const*>(filters), 0, 0,
                                 nullptr);
    // The marker goes out after the subscription, so the broker handles it
    // after it has sent what it retained.
    m_markerSeen = false;
    mosquitto_publish(m_handle, nullptr, m_markerTopic.c_str(), 1, "!", 0, false);
    loopUntil([this] { return m_markerSeen; }, kPatience);
    if (!m_markerSeen) {
        throw std::runtime_error("the broker did not answer the probe");
    }
}

std::optional<std::pair<std::string, std::string>> MqttProbe::next(std::chrono::seconds limit) {
    loopUntil([this] { return !m_messages.empty(); }, limit);
    if (m_messages.empty()) {
        return std::nullopt;
    }
    auto message = std::move(m_messages.front());
    m_messages.pop_front();
    return message;
}

std::map<std::string, std::string> MqttProbe::retained(int port, const std::string& filter,
                                                       const MqttLogin& login) {
    MqttProbe probe(port, login);
    probe.subscribe(filter);
    std::map<std::string, std::string> picture;
    for (auto& [topic, payload] : probe.m_messages) {
        if (payload.empty()) {
            picture.erase(topic);
        } else {
            picture[topic] = payload;
        }
    }
    return picture;
}
