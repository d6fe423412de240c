// Two notification handlers that do, inside their call, what a host may do
// there: stop the expert, stop and start it again, start it, or hand over to
// the other one. Both feed one picture, so nothing either is told is lost to
// it. A handler called again after it handed over, while nobody registered
// a handler since, is a contradiction: the rest of that pass belonged to its
// successor.
#pragma once

#include "HostNotificationHandler.h"
#include "PictureHandler.h"

#include "contract/oxSysInterfaces.h"

#include <array>
#include <cstdint>
#include <mutex>
#include <random>
#include <string>
#include <vector>

class RestlessHandlers {
public:
    enum Act { Nothing, Finalize, FinalizeThenInitialize, Initialize, HandOver, kActs };

    RestlessHandlers(PictureHandler& picture, uint32_t seed) : m_picture(picture), m_random(seed) {}

    void attach(IoxSysExpert2* expert, IoxSysExpertPlugPlay* plugPlay) {
        m_expert = expert;
        m_plugPlay = plugPlay;
    }

    // Registers one of the two from a host thread. Every registration of
    // the soak goes through here or through a hand-over, in one order.
    int32_t registerOne(size_t which) { return registerTwin(which, nullptr); }

    // Whether either handler still holds a reference of the expert's.
    uint32_t referencesLeft() const {
        return m_twins[0].references() - 1 + m_twins[1].references() - 1;
    }

    std::array<uint64_t, kActs> acts() {
        std::lock_guard<std::mutex> hold(m_acting);
        return m_acts;
    }

    std::vector<std::string> contradictions() {
        std::lock_guard<std::mutex> hold(m_acting);
        return m_contradictions;
    }

private:
    struct Twin : HostNotificationHandler {
        Twin(RestlessHandlers* owner, size_t index) : owner(owner), index(index) {}
        int32_t OnItemsChanged(IoxSysExpert2* expert, oxSysItemChangeKind change,
                               IoxSysEnumStringList* names) override {
            owner->told(*this, expert, change, names);
            return 0;
        }
        RestlessHandlers* owner;
        size_t index;
        // The registration by which it handed over in its own call, or 0
        // (m_registering).
        uint64_t handedOverAt = 0;
    };

    // A hand-over (from is the twin in its call) is checked afterwards; a
    // host thread's registration is not, since a delivery on the refresh
    // thread may have taken the replaced handler just before it.
    int32_t registerTwin(size_t which, Twin* from) {
        std::lock_guard<std::mutex> hold(m_registering);
        const int32_t status = m_plugPlay->RegisterNotificationCallback(&m_twins[which % 2]);
        ++m_registrations;
        for (Twin& twin : m_twins) {
            twin.handedOverAt = &twin == from ? m_registrations : 0;
        }
        return status;
    }

    void told(Twin& twin, IoxSysExpert2* expert, oxSysItemChangeKind change,
              IoxSysEnumStringList* names) {
        checkStillRegistered(twin);
        m_picture.OnItemsChanged(expert, change, names);
        switch (pickAct()) {
        case Finalize:
            m_expert->Finalize();
            break;
        case FinalizeThenInitialize:
            m_expert->Finalize();
            m_expert->Initialize();
            break;
        case Initialize:
            m_expert->Initialize();
            break;
        case HandOver:
            registerTwin(twin.index + 1, &twin);
            break;
        default:
            break;
        }
    }

    void checkStillRegistered(const Twin& twin) {
        bool replaced = false;
        {
            std::lock_guard<std::mutex> hold(m_registering);
            replaced = twin.handedOverAt != 0 && twin.handedOverAt == m_registrations;
        }
        if (replaced) {
            std::lock_guard<std::mutex> hold(m_acting);
            m_contradictions.push_back("a handler called after it was replaced");
        }
    }

    // Mostly nothing: the handler's acts must leave the refresh thread
    // running most of the time, so that the driver's changes keep coming.
    Act pickAct() {
        std::lock_guard<std::mutex> hold(m_acting);
        const Act act = Act(m_pick(m_random));
        ++m_acts[act];
        return act;
    }

    PictureHandler& m_picture;
    IoxSysExpert2* m_expert = nullptr;
    IoxSysExpertPlugPlay* m_plugPlay = nullptr;
    std::array<Twin, 2> m_twins{{Twin(this, 0), Twin(this, 1)}};

    std::mutex m_registering;
    uint64_t m_registrations = 0;

    std::mutex m_acting;
    std::mt19937 m_random;
    std::discrete_distribution<int> m_pick{28, 1, 1, 1, 1}; // in the order of Act
    std::array<uint64_t, kActs> m_acts{};
    std::vector<std::string> m_contradictions;
};
