#include "serve/LivePicture.h"

#include "present/JsonOutput.h"

FleetUpdate LivePicture::apply(const std::string& topic, const std::string& payload) {
    std::lock_guard<std::mutex> hold(m_lock);
    StoreUpdate update = m_store.apply(topic, payload, std::chrono::system_clock::now());
    for (const nlohmann::ordered_json& event : update.events) {
        m_feed.publish(jsonText(event, true));
    }
    return update.update;
}

void LivePicture::pictureWhole() {
    std::lock_guard<std::mutex> hold(m_lock);
    m_store.pictureWhole();
}

void LivePicture::read(const std::function<void(const PictureStore&)>& reader) const {
    std::lock_guard<std::mutex> hold(m_lock);
    reader(m_store);
}

std::pair<std::string, uint64_t> LivePicture::present() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return {jsonText(m_store.present(std::chrono::system_clock::now()), true), m_feed.lastId()};
}
