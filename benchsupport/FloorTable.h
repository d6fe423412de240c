// A benchmark program's closing table: each benchmark beside its floor (a
// benchmark of the same name with "_floor" after the family, same
// arguments), the ratio of the two, and for a family run at several sizes
// the growth exponent of its time between the smallest and largest size
// (1 is linear). A size is an unnamed first argument: a benchmark whose
// argument is something else names it (ArgName), and gets no exponent.
//
// A benchmark that sets the counter "per_item" (the time per item, as an
// inverted rate) or "ns" (a time it measured itself) is shown and compared
// by it, not by its time per iteration; one that sets "bytes_per_item" is a
// memory figure.
#pragma once

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

class FloorTableReporter : public benchmark::ConsoleReporter {
public:
    // tableOnly: print nothing but the closing table.
    explicit FloorTableReporter(bool tableOnly) : m_tableOnly(tableOnly) {}

    bool ReportContext(const Context& context) override;
    void ReportRuns(const std::vector<Run>& runs) override;
    void Finalize() override;

private:
    struct Result {
        std::string family; // the name before the first '/'
        std::string arguments;
        double value; // nanoseconds, or bytes for a memory figure
        bool bytes;
    };
    bool m_tableOnly;
    std::vector<Result> m_results;
};

// Sets "per_item": the time per item, for a benchmark whose every
// iteration handles that many items.
void reportPerItem(benchmark::State& state, double items);

// main() of a benchmark program that ends with the table; the option
// --table_only prints the table alone.
int RunBenchmarksWithFloorTable(int argc, char** argv);

#define KR_BENCHMARK_MAIN()                                                                        \
    int main(int argc, char** argv) {                                                              \
        return RunBenchmarksWithFloorTable(argc, argv);                                            \
    }
