// camexpert watch: prints each change notification as the expert delivers
// it, until a stop signal, the duration or the number of events ends it; the
// expert is then finalized like on any other way out.
#include "commands/Commands.h"

#include "commands/WatchReport.h"
#include "present/JsonOutput.h"
#include "session/FollowedExpert.h"
#include "session/PresentItems.h"

#include <unistd.h>

#include <cstdio>
#include <optional>

int runWatch(ModuleLoader& loader, const OutputOptions& output, const WatchOptions& watch) {
    FollowedExpert followed(loader); // a closed output ends the watch through Finalize
    ExpertSession& expert = followed.expert;
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
        return !printAtOnce(text) || ++events == watch.count;
    };
    bool done = printEvent(report.present(std::chrono::system_clock::now(), presentItems(expert)));
    while (!done && !followed.stop.requested()) {
        for (Notification& notification : followed.queue.takeAll()) {
            const std::string text = report.report(notification);
            if (!text.empty() && printEvent(text)) {
                done = true;
                break;
            }
        }
        if (deadline && std::chrono::steady_clock::now() >= *deadline) {
            done = true;
        }
        if (!done && !followed.stop.requested()) {
            followed.wakeup.wait(deadline);
        }
    }
    expert.finalize();
    return kExitSuccess;
}
