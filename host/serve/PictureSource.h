// Where serve's picture comes from: this controller's expert, or the fleet
// on an MQTT broker. The main loop gives the source a turn each time it
// wakes; the source feeds the LivePicture.
#pragma once

#include <chrono>
#include <optional>
#include <string>

class PictureSource {
public:
    virtual ~PictureSource() = default;

    // Takes what came since the last turn. Returns when it wants its next
    // turn at the latest; none when only a wakeup brings news. Throws
    // HostError when the source fails for good.
    virtual std::optional<std::chrono::steady_clock::time_point>
    turn(std::chrono::steady_clock::time_point now) = 0;

    // Whether the first picture is whole: the expert's inventory settled (or
    // told why it cannot be read), the broker's retained messages in.
    virtual bool whole() const = 0;

    // For the line that tells where serve listens: "this controller, node
    // vm" or "the fleet on the MQTT broker at HOST:PORT".
    virtual std::string description() const = 0;

    // Whether the broker is connected; none for this controller's expert.
    virtual std::optional<bool> brokerConnected() const = 0;

    // Ends what the source runs (the expert's thread, the network thread).
    virtual void stop() = 0;
};
