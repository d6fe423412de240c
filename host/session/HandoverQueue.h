// Values handed from another thread (the expert's refresh thread, the MQTT
// client's network thread) to the main loop, which sleeps on a wakeup pipe.
#pragma once

#include "cli/StopSignals.h"

#include <deque>
#include <mutex>
#include <utility>

template <typename Value>
class HandoverQueue {
public:
    explicit HandoverQueue(const WakeupPipe& wakeup) : m_wakeup(wakeup) {}

    void push(Value&& value) {
        {
            std::lock_guard<std::mutex> hold(m_lock);
            m_waiting.push_back(std::move(value));
        }
        m_wakeup.wake();
    }

    std::deque<Value> takeAll() {
        std::lock_guard<std::mutex> hold(m_lock);
        return std::exchange(m_waiting, {});
    }

private:
    const WakeupPipe& m_wakeup;
    std::mutex m_lock;
    std::deque<Value> m_waiting;
};
