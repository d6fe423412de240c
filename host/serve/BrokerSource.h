// serve --broker: the fleet on an MQTT broker, as fleet reads it, with each
// item's whole document. Broker trouble is one line on stderr and the
// connection is tried again; a broker that refuses for good ends serve.
//
// After each subscription the broker sends what it retains, with no mark of
// the end: the picture is whole once no topic new since the subscription
// came for a quiet period, or a few seconds after the subscription at the
// latest. What the broker no longer holds after a reconnection (cleared
// while serve was away) is then taken out of the picture.
#pragma once

#include "commands/FleetSubscription.h"
#include "commands/SettlingRound.h"
#include "mqtt/MqttClient.h"
#include "serve/LivePicture.h"
#include "serve/PictureSource.h"

#include <atomic>
#include <set>
#include <string>

class BrokerSource : public PictureSource {
public:
    BrokerSource(const BrokerSettings& settings, const std::string& prefix, LivePicture& picture,
                 const WakeupPipe& wakeup);

    std::optional<std::chrono::steady_clock::time_point>
    turn(std::chrono::steady_clock::time_point now) override;
    bool whole() const override { return m_whole; }
    std::string description() const override {
        return "the fleet on the MQTT broker at " + m_subscription.brokerText();
    }
    std::optional<bool> brokerConnected() const override { return m_connected.load(); }
    void stop() override { m_subscription.stop(); }

private:
    void sweep();

    LivePicture& m_picture;
    FleetSubscription m_subscription;
    std::atomic<bool> m_connected{false};
    bool m_whole = false;
    SettlingRound m_settling;         // from each subscription until what the broker holds came
    std::set<std::string> m_retained; // topics whose last message was not empty
};
