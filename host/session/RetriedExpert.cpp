#include "session/RetriedExpert.h"

#include "cli/HostError.h"
#include "session/PresentItems.h"
#include "session/ScenarioProblem.h"

#include "contract/ComRef.h"

// The expert with its notifications going into the queue; made anew each
// time the driver is tried.
struct RetriedExpert::Started {
    Started(ModuleLoader& loader, HandoverQueue<Notification>& queue)
        : handler(NotificationHandler::create(
              [&queue](Notification&& notification) { queue.push(std::move(notification)); })),
          expert(loader, handler.get()) {
        StopSignalsHeldBack heldBack; // the refresh thread never takes a stop signal
        expert.initialize();
    }

    ComRef<NotificationHandler> handler;
    ExpertSession expert;
};

RetriedExpert::RetriedExpert(ModuleLoader& loader, const WakeupPipe& wakeup)
    : m_loader(loader), m_queue(wakeup), m_startAt(std::chrono::steady_clock::now()) {}

RetriedExpert::~RetriedExpert() = default;

RetriedExpert::Turn RetriedExpert::turn(std::chrono::steady_clock::time_point now) {
    Turn turn;
    if (!m_started && now >= m_startAt) {
        try {
            const std::string problem = scenarioProblem(m_loader);
            if (!problem.empty()) {
                throw HostError("Cannot use the scenario " + problem + ".");
            }
            m_started = std::make_unique<Started>(m_loader, m_queue);
            m_settled = false;
            m_settleDeadline = now + m_loader.settleTime();
        } catch (const HostError& error) {
            turn.problem = error.what();
            m_startAt = now + kExpertRetry;
        }
    }
    std::deque<Notification> notifications = m_queue.takeAll();
    // The driver's first report, or its settle time, ends the search for the
    // devices there are; the items present tell what came before.
    if (m_started && !m_settled && (!notifications.empty() || now >= m_settleDeadline)) {
        turn.settled = presentItems(m_started->expert);
        m_settled = true;
    }
    if (m_settled) {
        turn.notifications = std::move(notifications);
    }
    return turn;
}

std::optional<std::chrono::steady_clock::time_point> RetriedExpert::nextTurn() const {
    if (!m_started) {
        return m_startAt;
    }
    if (!m_settled) {
        return m_settleDeadline;
    }
    return std::nullopt;
}

void RetriedExpert::finalize() {
    if (m_started) {
        m_started->expert.finalize();
    }
}
