// The picture shared between the source that keeps it (the main loop) and
// the HTTP threads that read it: the store under a lock, and the feed its
// events go to. An event stream's first picture and the number of the last
// event it reflects are taken together, so the stream goes on from there
// without a gap or a repeat.
#pragma once

#include "serve/EventFeed.h"
#include "serve/PictureStore.h"

#include <functional>
#include <mutex>
#include <string>
#include <utility>

class LivePicture {
public:
    LivePicture(const std::string& prefix, size_t backlog) : m_store(prefix), m_feed(backlog) {}

    // Applies a message of the layout of mqtt/MqttTopics.h; its events go to
    // the feed.
    FleetUpdate apply(const std::string& topic, const std::string& payload);

    void pictureWhole();

    // Reads the store under the lock.
    void read(const std::function<void(const PictureStore&)>& reader) const;

    // The "present" event as one line, and the number of the last event in it.
    std::pair<std::string, uint64_t> present() const;

    EventFeed& feed() { return m_feed; }

private:
    mutable std::mutex m_lock;
    PictureStore m_store;
    EventFeed m_feed;
};
