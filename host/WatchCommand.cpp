// camexpert watch: prints each change notification as the expert delivers
// it, until a stop signal, the duration or the number of events ends it; the
// expert is then finalized like on any other way out.
#include "Commands.h"

#include "ExpertSession.h"
#include "ItemSummary.h"
#include "NotificationHandler.h"
#include "StopSignals.h"
#include "WatchReport.h"

#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <deque>
#include <mutex>
#include <optional>
#include <utility>

namespace {

// Notifications handed over from the expert's refresh thread.
class NotificationQueue {
public:
    explicit NotificationQueue(const WakeupPipe& wakeup) : m_wakeup(wakeup) {}

    void push(Notification&& notification) {
        {
            std::lock_guard<std::mutex> hold(m_lock);
            m_waiting.push_back(std::move(notification));
        }
        m_wakeup.wake();
    }

    std::deque<Notification> takeAll() {
        std::lock_guard<std::mutex> hold(m_lock);
        return std::exchange(m_waiting, {});
    }

private:
    const WakeupPipe& m_wakeup;
    std::mutex m_lock;
    std::deque<Notification> m_waiting;
};

// Writes one report; false when standard output is gone (a closed pipe).
bool print(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    return std::fflush(stdout) == 0 && !std::ferror(stdout);
}

// The items there are once the expert's first refresh is done; notifications
// of that refresh may come before or after.
std::vector<ItemPicture> presentItems(ExpertSession& expert) {
    std::vector<ItemPicture> items;
    for (PropertyList& properties : expert.allItems()) {
        const std::string name = summarizeItem(properties).name;
        items.push_back({name, std::move(properties), 0});
    }
    return items;
}

} // namespace

int runWatch(ModuleLoader& loader, const OutputOptions& output, const WatchOptions& watch) {
    WakeupPipe wakeup;
    NotificationQueue queue(wakeup);
    ComRef<NotificationHandler> handler(NotificationHandler::create(
        [&queue](Notification&& notification) { queue.push(std::move(notification)); }));
    ExpertSession expert(loader, handler.get());
    StopSignals stop(wakeup);
    std::signal(SIGPIPE, SIG_IGN); // a closed output ends the watch through Finalize instead
    {
        StopSignalsHeldBack heldBack; // the refresh thread never takes a stop signal
        expert.initialize();
    }
    if (!output.json && isatty(STDERR_FILENO)) {
        std::fprintf(stderr, "Watching for cameras and frame grabbers; Ctrl-C stops.\n");
    }

    std::optional<std::chrono::steady_clock::time_point> deadline;
    if (watch.durationSec > 0) {
        deadline = std::chrono::steady_clock::now() +
                   std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                       std::chrono::duration<double>(watch.durationSec));
    }
    WatchReport report(output.json);
    uint32_t events = 0;
    // True when the watch ends with this event: the count is reached or the
    // output is gone.
    const auto printEvent = [&](const std::string& text) {
        return !print(text) || ++events == watch.count;
    };
    bool done = printEvent(report.present(std::chrono::system_clock::now(), presentItems(expert)));
    while (!done && !stop.requested()) {
        for (Notification& notification : queue.takeAll()) {
            const std::string text = report.report(notification);
            if (!text.empty() && printEvent(text)) {
                done = true;
                break;
            }
        }
        if (deadline && std::chrono::steady_clock::now() >= *deadline) {
            done = true;
        }
        if (!done && !stop.requested()) {
            wakeup.wait(deadline);
        }
    }
    expert.finalize();
    return kExitSuccess;
}
