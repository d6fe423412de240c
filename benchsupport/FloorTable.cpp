#include "FloorTable.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>

namespace {

constexpr const char* kFloorSuffix = "_floor";
constexpr const char* kPerItem = "per_item";

std::string withUnit(double value, bool bytes) {
    char text[32];
    if (bytes) {
        std::snprintf(text, sizeof text, "%.0f B", value);
    } else if (value >= 1e6) {
        std::snprintf(text, sizeof text, "%.2f ms", value / 1e6);
    } else if (value >= 1e3) {
        std::snprintf(text, sizeof text, "%.2f us", value / 1e3);
    } else {
        std::snprintf(text, sizeof text, "%.1f ns", value);
    }
    return text;
}

bool isFloor(const std::string& family) {
    const size_t length = std::char_traits<char>::length(kFloorSuffix);
    return family.size() > length &&
           family.compare(family.size() - length, length, kFloorSuffix) == 0;
}

} // namespace

bool FloorTableReporter::ReportContext(const Context& context) {
    return m_tableOnly || ConsoleReporter::ReportContext(context);
}

void FloorTableReporter::ReportRuns(const std::vector<Run>& runs) {
    if (!m_tableOnly) {
        ConsoleReporter::ReportRuns(runs);
    }
    for (const Run& run : runs) {
        if (run.error_occurred || run.run_type != Run::RT_Iteration) {
            continue;
        }
        const std::string name = run.benchmark_name();
        const size_t slash = name.find('/');
        Result result{name.substr(0, slash), slash == std::string::npos ? "" : name.substr(slash),
                      0, false};
        const auto perItem = run.counters.find(kPerItem); // seconds, an inverted rate
        const auto measured = run.counters.find("ns");
        const auto bytes = run.counters.find("bytes_per_item");
        if (bytes != run.counters.end()) {
            result.value = bytes->second.value;
            result.bytes = true;
        } else if (perItem != run.counters.end()) {
            result.value = perItem->second.value * 1e9;
        } else if (measured != run.counters.end()) {
            result.value = measured->second.value;
        } else {
            result.value = run.real_accumulated_time * 1e9 / double(run.iterations);
        }
        m_results.push_back(result);
    }
}

void FloorTableReporter::Finalize() {
    if (!m_tableOnly) {
        ConsoleReporter::Finalize();
    }
    std::map<std::string, const Result*> floors;
    for (const Result& result : m_results) {
        if (isFloor(result.family)) {
            floors[result.family + result.arguments] = &result;
        }
    }
    std::printf("\n%-46s %12s %12s %7s\n", "benchmark", "time", "floor", "ratio");
    // For each family: its sizes, for the growth exponent.
    std::map<std::string, std::vector<const Result*>> sizes;
    for (const Result& result : m_results) {
        if (isFloor(result.family)) {
            continue;
        }
        const auto floor = floors.find(result.family + kFloorSuffix + result.arguments);
        if (floor == floors.end()) {
            std::printf("%-46s %12s\n", (result.family + result.arguments).c_str(),
                        withUnit(result.value, result.bytes).c_str());
        } else {
            std::printf("%-46s %12s %12s %7.2f\n", (result.family + result.arguments).c_str(),
                        withUnit(result.value, result.bytes).c_str(),
                        withUnit(floor->second->value, floor->second->bytes).c_str(),
                        result.value / floor->second->value);
        }
        sizes[result.family].push_back(&result);
    }
    for (const auto& [family, runs] : sizes) {
        const double first = std::atof(runs.front()->arguments.c_str() + 1);
        const double last = std::atof(runs.back()->arguments.c_str() + 1);
        if (runs.size() < 2 || first <= 0 || last <= first || runs.front()->value <= 0) {
            continue;
        }
        const double exponent =
            std::log(runs.back()->value / runs.front()->value) / std::log(last / first);
        std::printf("%-46s growth exponent %.2f (sizes %g to %g)\n", family.c_str(), exponent,
                    first, last);
    }
}

void reportPerItem(benchmark::State& state, double items) {
    state.counters[kPerItem] =
        benchmark::Counter(items * double(state.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

int RunBenchmarksWithFloorTable(int argc, char** argv) {
    bool tableOnly = false;
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--table_only") {
            tableOnly = true;
        } else {
            argv[kept++] = argv[i];
        }
    }
    argc = kept;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    FloorTableReporter reporter(tableOnly);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
