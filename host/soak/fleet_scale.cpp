// fleet_scale: how camexpert fleet copes with a plant. It starts a mosquitto
// of its own on 127.0.0.1, plays N controllers with M items each from this
// one process (their status and item documents made by the code publish
// uses, under the topics publish uses), and measures for each N:
//   - picture: the time `camexpert fleet --json` takes until it printed the
//     whole picture (its 0.5 s quiet period included), and its peak RSS;
//     mosquitto_sub receiving the same retained messages is the floor;
//   - change: the delay from a change on one controller to its line from
//     `camexpert fleet --watch --changes`, against mosquitto_sub's delivery
//     of the same message.
// With --hold it measures nothing: it keeps a plant of the first N up for
// other readers (camexpert serve and a browser), prints the broker's port,
// and publishes a change for each line "NODE ADDRESS" it reads (item cam3 of
// controller NODE gets that address) until its input ends.
// Usage: fleet_scale [--nodes N,N,...] [--items M] [--changes K] [--hold]
#include "MqttBroker.h"
#include "mqtt/MqttTopics.h"
#include "mqtt/NodeStatus.h"
#include "present/ItemDocument.h"
#include "present/JsonOutput.h"

#include <mosquitto.h>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// A program started with its standard output on a pipe of ours.
struct Child {
    pid_t pid = -1;
    int out = -1;
    std::string buffered;

    explicit Child(const std::vector<std::string>& arguments) {
        int fds[2];
        if (pipe2(fds, O_CLOEXEC) != 0) {
            throw std::runtime_error("no pipe");
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        std::vector<char*> argv;
        for (const std::string& argument : arguments) {
            argv.push_back(const_cast<char*>(argument.c_str()));
        }
        argv.push_back(nullptr);
        if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
            throw std::runtime_error("cannot start " + arguments[0]);
        }
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        out = fds[0];
    }

    // The next line; false at the end of the output or after limitMs.
    bool readLine(std::string* line, int limitMs = 120000) {
        for (;;) {
            const size_t end = buffered.find('\n');
            if (end != std::string::npos) {
                *line = buffered.substr(0, end);
                buffered.erase(0, end + 1);
                return true;
            }
            pollfd readable{out, POLLIN, 0};
            if (poll(&readable, 1, limitMs) != 1) {
                return false;
            }
            char chunk[65536];
            const ssize_t got = read(out, chunk, sizeof chunk);
            if (got <= 0) {
                return false;
            }
            buffered.append(chunk, size_t(got));
        }
    }

    // Reads to the end of the output; the peak RSS in MB.
    double finish() {
        char chunk[65536];
        while (read(out, chunk, sizeof chunk) > 0) {
        }
        close(out);
        int status = 0;
        rusage usage{};
        wait4(pid, &status, 0, &usage);
        return double(usage.ru_maxrss) / 1024;
    }

    void stop() {
        kill(pid, SIGTERM);
        finish();
    }
};

// One connection of the plant's controllers, driven in this thread.
class Plant {
public:
    explicit Plant(int port) {
        mosquitto_lib_init();
        m_handle = mosquitto_new(nullptr, true, this);
        if (m_handle == nullptr ||
            mosquitto_connect(m_handle, "127.0.0.1", port, 60) != MOSQ_ERR_SUCCESS) {
            throw std::runtime_error("cannot connect to the broker");
        }
        mosquitto_message_callback_set(m_handle,
                                       [](mosquitto*, void* self, const mosquitto_message*) {
                                           static_cast<Plant*>(self)->m_markerBack = true;
                                       });
        const char* marker = kMarker;
        mosquitto_subscribe(m_handle, nullptr, marker, 0);
    }
    ~Plant() {
        mosquitto_disconnect(m_handle);
        mosquitto_destroy(m_handle);
    }

    void publish(const std::string& topic, const std::string& payload) {
        while (mosquitto_publish(m_handle, nullptr, topic.c_str(), int(payload.size()),
                                 payload.data(), 0, true) == MOSQ_ERR_NOMEM) {
            mosquitto_loop(m_handle, 10, 1);
        }
        if (++m_unsent % 256 == 0) {
            flush();
        }
    }

    // Publishes and writes it out at once.
    void publishNow(const std::string& topic, const std::string& payload) {
        mosquitto_publish(m_handle, nullptr, topic.c_str(), int(payload.size()), payload.data(), 0,
                          true);
        flush();
    }

    // Returns once the broker has handled everything published before.
    void settle() {
        m_markerBack = false;
        mosquitto_publish(m_handle, nullptr, kMarker, 1, "!", 0, false);
        while (!m_markerBack) {
            if (mosquitto_loop(m_handle, 100, 1) != MOSQ_ERR_SUCCESS) {
                throw std::runtime_error("lost the broker");
            }
        }
    }

    static constexpr const char* kMarker = "scale/marker";

private:
    void flush() {
        while (mosquitto_want_write(m_handle)) {
            mosquitto_loop(m_handle, 10, 1);
        }
    }

    mosquitto* m_handle = nullptr;
    bool m_markerBack = false;
    size_t m_unsent = 0;
};

std::string nodeName(int node) {
    char name[32];
    std::snprintf(name, sizeof name, "ctl%05d", node);
    return name;
}

// An item document as publish makes it, from the properties of one item of
// the simulated driver's default bench.
class Documents {
public:
    explicit Documents(const std::string& camexpert) {
        Child show({camexpert, "show", "--json", "gev0-cam0"});
        std::string text;
        std::string line;
        while (show.readLine(&line)) {
            text += line;
        }
        show.finish();
        m_template = nlohmann::ordered_json::parse(text);
    }

    std::string item(int node, int item, const std::string& address) const {
        nlohmann::ordered_json document = m_template;
        document["name"] = "cam" + std::to_string(item);
        document["serialNumber"] = std::to_string(node * 100 + item);
        document["address"] = address;
        return jsonText(document, true);
    }

private:
    nlohmann::ordered_json m_template;
};

struct Row {
    int nodes = 0;
    double floorPictureMs = 0;
    double fleetPictureMs = 0;
    double fleetRssMb = 0;
    double floorChangeMs = 0; // median
    double fleetChangeMs = 0; // median
    double fleetChangeMaxMs = 0;
};

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

void startBroker(MqttBroker& broker) {
    const std::string problem = broker.start();
    if (!problem.empty()) {
        throw std::runtime_error(problem);
    }
}

// Every controller's status and items, handled by the broker on return.
void publishPlant(Plant& plant, const Documents& documents, int nodes, int items) {
    const auto now = std::chrono::system_clock::now();
    for (int node = 0; node < nodes; ++node) {
        NodeStatus status{"online", newSessionId(), "scale", utcTimeText(now), utcTimeText(now), 30,
                          ""};
        plant.publish(statusTopic("camexpert", nodeName(node)), nodeStatusDocument(status));
        for (int item = 0; item < items; ++item) {
            plant.publish(itemTopic("camexpert", nodeName(node), "cam" + std::to_string(item)),
                          documents.item(node, item, "10.0.0.1"));
        }
    }
    plant.settle();
}

constexpr const char* kBrokerConfig =
    "allow_anonymous true\nmax_queued_messages 0\nset_tcp_nodelay true\n";

Row measure(const std::string& camexpert, const Documents& documents, int nodes, int items,
            int changes) {
    MqttBroker broker(kBrokerConfig);
    startBroker(broker);
    const std::string port = std::to_string(broker.port());
    Row row;
    row.nodes = nodes;

    Plant plant(broker.port());
    publishPlant(plant, documents, nodes, items);
    const std::string messages = std::to_string(nodes * (items + 1));

    auto start = Clock::now();
    Child floor({"mosquitto_sub", "-h", "127.0.0.1", "-p", port, "-t", "camexpert/+/status", "-t",
                 "camexpert/+/items/+", "-C", messages});
    floor.finish();
    row.floorPictureMs = millisecondsSince(start);

    start = Clock::now();
    Child fleet({camexpert, "fleet", "--broker", "127.0.0.1:" + port, "--json"});
    row.fleetRssMb = fleet.finish();
    row.fleetPictureMs = millisecondsSince(start);

    Child watch(
        {camexpert, "fleet", "--broker", "127.0.0.1:" + port, "--json", "--watch", "--changes"});
    std::string line;
    if (!watch.readLine(&line)) {
        throw std::runtime_error("fleet --watch printed no picture");
    }
    Child sub({"mosquitto_sub", "-h", "127.0.0.1", "-p", port, "-R", "-t", "camexpert/+/items/+",
               "-t", Plant::kMarker});
    do {
        plant.settle(); // its marker reaches mosquitto_sub once it subscribed
    } while (!sub.readLine(&line, 100));
    while (sub.readLine(&line, 50)) {
    }

    std::vector<double> floorDelays;
    std::vector<double> fleetDelays;
    for (int change = 0; change < changes; ++change) {
        const int node = (change * 7919) % nodes;
        const std::string address =
            "10.0." + std::to_string(change / 250) + "." + std::to_string(change % 250 + 2);
        const std::string document = documents.item(node, 3, address);
        start = Clock::now();
        plant.publishNow(itemTopic("camexpert", nodeName(node), "cam3"), document);
        // Each reader's line as this thread got it: mosquitto_sub's first,
        // which comes sooner.
        if (!sub.readLine(&line)) {
            throw std::runtime_error("mosquitto_sub missed a change");
        }
        floorDelays.push_back(millisecondsSince(start));
        if (!watch.readLine(&line)) {
            throw std::runtime_error("fleet --watch --changes missed a change");
        }
        fleetDelays.push_back(millisecondsSince(start));
    }
    watch.stop();
    sub.stop();
    row.floorChangeMs = median(floorDelays);
    row.fleetChangeMs = median(fleetDelays);
    row.fleetChangeMaxMs = *std::max_element(fleetDelays.begin(), fleetDelays.end());
    return row;
}

// --hold: the plant stays up, and changes come from the input. While no line
// comes, a round trip through the broker now and then keeps the connection.
void hold(const Documents& documents, int nodes, int items) {
    MqttBroker broker(kBrokerConfig);
    startBroker(broker);
    Plant plant(broker.port());
    publishPlant(plant, documents, nodes, items);
    std::printf("plant on 127.0.0.1:%d: %d controllers, %d items each\n", broker.port(), nodes,
                items);
    std::fflush(stdout);
    std::string input;
    for (;;) {
        pollfd readable{0, POLLIN, 0};
        if (poll(&readable, 1, 1000) != 1) {
            plant.settle();
            continue;
        }
        char chunk[4096];
        const ssize_t got = read(0, chunk, sizeof chunk);
        if (got <= 0) {
            return;
        }
        input.append(chunk, size_t(got));
        for (size_t end = input.find('\n'); end != std::string::npos; end = input.find('\n')) {
            std::istringstream line(input.substr(0, end));
            input.erase(0, end + 1);
            int node = 0;
            std::string address;
            if (line >> node >> address) {
                plant.publishNow(itemTopic("camexpert", nodeName(node), "cam3"),
                                 documents.item(node, 3, address));
            }
        }
    }
}

std::vector<int> numbers(const std::string& list) {
    std::vector<int> values;
    std::stringstream stream(list);
    std::string value;
    while (std::getline(stream, value, ',')) {
        values.push_back(std::stoi(value));
    }
    return values;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<int> nodeCounts{100, 1000, 10000};
    int items = 10;
    int changes = 20;
    std::string camexpert = KR_CAMEXPERT_PATH;
    bool holding = false;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--hold") {
            holding = true;
            continue;
        }
        if (i + 1 == argc) {
            break;
        }
        const std::string value = argv[++i];
        if (option == "--nodes") {
            nodeCounts = numbers(value);
        } else if (option == "--items") {
            items = std::stoi(value);
        } else if (option == "--changes") {
            changes = std::stoi(value);
        } else if (option == "--camexpert") {
            camexpert = value;
        }
    }
    const Documents documents(camexpert);
    if (holding) {
        hold(documents, nodeCounts.front(), items);
        return 0;
    }
    std::printf("%d items a controller, %d changes a run; times in ms, RSS in MB\n", items,
                changes);
    std::printf("%8s %12s %12s %6s %8s %12s %12s %12s %6s\n", "nodes", "sub picture",
                "fleet picture", "ratio", "fleet RSS", "sub change", "fleet change", "fleet max",
                "ratio");
    for (const int nodes : nodeCounts) {
        const Row row = measure(camexpert, documents, nodes, items, changes);
        std::printf("%8d %12.0f %12.0f %6.1f %8.1f %12.1f %12.1f %12.1f %6.1f\n", row.nodes,
                    row.floorPictureMs, row.fleetPictureMs, row.fleetPictureMs / row.floorPictureMs,
                    row.fleetRssMb, row.floorChangeMs, row.fleetChangeMs, row.fleetChangeMaxMs,
                    row.fleetChangeMs / row.floorChangeMs);
        std::fflush(stdout);
    }
    return 0;
}
