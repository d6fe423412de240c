// serve without --broker: this controller's expert as one node, followed as
// publish follows it (the expert started again while its driver or scenario
// cannot be used, the node's state error meanwhile, the heartbeat renewing
// lastSeen), and told to the picture as publish would retain it.
#pragma once

#include "cli/StopSignals.h"
#include "mqtt/NodeStatus.h"
#include "serve/LivePicture.h"
#include "serve/PictureSource.h"
#include "session/ModuleLoader.h"
#include "session/NotificationHandler.h"
#include "session/RetriedExpert.h"

#include <set>
#include <string>

// The prefix of the picture's topics; this controller's node is the only one
// under it.
constexpr const char* kLocalPrefix = "camexpert";

class LocalSource : public PictureSource {
public:
    LocalSource(ModuleLoader& loader, std::string node, LivePicture& picture,
                const WakeupPipe& wakeup);

    std::optional<std::chrono::steady_clock::time_point>
    turn(std::chrono::steady_clock::time_point now) override;
    bool whole() const override { return m_whole; }
    std::string description() const override { return "this controller, node " + m_node; }
    std::optional<bool> brokerConnected() const override { return std::nullopt; }
    void stop() override;

private:
    void tellProblem(const std::string& problem);
    void settle(const std::vector<ItemPicture>& present);
    void follow(const Notification& notification);
    void setItem(const std::string& name, const std::string& document);
    void removeItem(const std::string& name);
    void tellStatus();

    const std::string m_node;
    LivePicture& m_picture;
    RetriedExpert m_expert;
    NodeStatus m_status;
    std::set<std::string> m_items; // told to the picture
    bool m_whole = false;
    std::chrono::steady_clock::time_point m_nextHeartbeat;
};
