// Parses the same generated files with our reader, inih and iniparser, and
// ends with a summary giving each reader's time as a multiple of the
// fastest one for that file.
//
// inih only calls a handler per entry (here one that counts), it keeps
// nothing; iniparser and our reader build a structure that answers look-ups.
#include "ini/Ini.h"

#include <benchmark/benchmark.h>
#include <ini.h>
#include <iniparser.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

struct GeneratedFile {
    std::string label;
    std::string path;
    std::string lastSection; // with its key kLastKey, checked after each parse
    size_t bytes;
    size_t entries;
};

constexpr const char* kLastKey = "Parameter00";

std::string makeDirectory() {
    char pattern[] = "/tmp/ini_benchmark_XXXXXX";
    if (!mkdtemp(pattern)) {
        perror("mkdtemp");
        exit(1);
    }
    return pattern;
}

GeneratedFile writeFile(const std::string& directory, const std::string& label,
                        const std::string& text, const std::string& lastSection, size_t entries) {
    const std::string path = directory + "/" + label + ".ini";
    FILE* stream = fopen(path.c_str(), "wb");
    if (!stream || fwrite(text.data(), 1, text.size(), stream) != text.size()) {
        perror(path.c_str());
        exit(1);
    }
    fclose(stream);
    return {label, path, lastSection, text.size(), entries};
}

// A controller's configuration file: a few sections of a few settings.
GeneratedFile writeControllerFile(const std::string& directory) {
    std::string text = "; Controller run-time settings\r\n";
    const char* sections[] = {"Boot", "Network", "Trace", "Motion", "Safety", "VYREX"};
    size_t entries = 0;
    for (const char* section : sections) {
        text += std::string("\r\n[") + section + "]\r\n";
        for (int i = 0; i < 8; ++i, ++entries)
            text += "Parameter0" + std::to_string(i) + " = " + std::to_string(100 * i + 7) + "\r\n";
    }
    return writeFile(directory, "controller", text, "VYREX", entries);
}

// Several megabytes: thousands of sections of a couple of dozen entries.
GeneratedFile writeLargeFile(const std::string& directory) {
    constexpr int kSections = 5000;
    constexpr int kKeys = 24;
    std::string text;
    char line[128];
    for (int section = 0; section < kSections; ++section) {
        snprintf(line, sizeof line, "\n[Camera%05d]\n", section);
        text += line;
        for (int key = 0; key < kKeys; ++key) {
            snprintf(line, sizeof line, "Parameter%02d = value %d of camera %d\n", key,
                     key * 7919 % 10007, section);
            text += line;
        }
    }
    return writeFile(directory, "large", text, "Camera04999", size_t(kSections) * kKeys);
}

// With merge set (the default), every section header and every key is first
// searched for among those already read; without, they are simply appended.
void parseWithOurReader(benchmark::State& state, const GeneratedFile& file, int32_t merge) {
    for (auto _ : state) {
        IniFile* ini = IniCreate(0);
        IniSetMergeDuplicates(ini, merge);
        if (IniReadFile(ini, file.path.c_str()) != 0)
            state.SkipWithError("read failed");
        const char* value = nullptr;
        if (IniGetString(ini, file.lastSection.c_str(), kLastKey, &value) != 1)
            state.SkipWithError("last entry missing");
        benchmark::DoNotOptimize(value);
        IniDestroy(ini);
    }
    state.SetBytesProcessed(int64_t(state.iterations() * file.bytes));
}

int countEntry(void* user, const char*, const char*, const char*) {
    ++*static_cast<size_t*>(user);
    return 1;
}

void parseWithInih(benchmark::State& state, const GeneratedFile& file) {
    for (auto _ : state) {
        size_t entries = 0;
        if (ini_parse(file.path.c_str(), countEntry, &entries) != 0 || entries != file.entries)
            state.SkipWithError("inih read failed");
        benchmark::DoNotOptimize(entries);
    }
    state.SetBytesProcessed(int64_t(state.iterations() * file.bytes));
}

void parseWithIniparser(benchmark::State& state, const GeneratedFile& file) {
    const std::string key = file.lastSection + ":" + kLastKey;
    for (auto _ : state) {
        dictionary* dict = iniparser_load(file.path.c_str());
        if (!dict || !iniparser_getstring(dict, key.c_str(), nullptr))
            state.SkipWithError("iniparser read failed");
        iniparser_freedict(dict);
    }
    state.SetBytesProcessed(int64_t(state.iterations() * file.bytes));
}

// Prints as usual and remembers each benchmark's time for the summary.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    SummaryReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_Defaults : OO_Tabular) {}
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            // With repetitions the median stands for the benchmark.
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (run.error_occurred || (run.run_type != Run::RT_Iteration && !median))
                continue;
            const std::string name = run.benchmark_name();
            const size_t slash = name.find('/');
            const size_t second = name.find('/', slash + 1);
            const size_t end = name.find('_', second + 1); // "_median"
            timesByFile[name.substr(slash + 1, second - slash - 1)][name.substr(second + 1,
                                                                                end - second - 1)] =
                run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
        }
    }
    void printSummary() const {
        printf("\nTime as a multiple of the fastest reader, per file:\n");
        for (const auto& [file, times] : timesByFile) {
            double fastest = 0;
            for (const auto& entry : times)
                fastest = fastest == 0 ? entry.second : std::min(fastest, entry.second);
            for (const auto& [reader, time] : times)
                printf("  %-12s %-10s %12.3f ms  x%.2f\n", file.c_str(), reader.c_str(), time * 1e3,
                       time / fastest);
        }
    }

private:
    std::map<std::string, std::map<std::string, double>> timesByFile;
};

} // namespace

int main(int argc, char** argv) {
    const std::string directory = makeDirectory();
    const std::vector<GeneratedFile> files = {writeControllerFile(directory),
                                              writeLargeFile(directory)};
    for (const GeneratedFile& file : files) {
        printf("%s: %zu bytes, %zu entries\n", file.label.c_str(), file.bytes, file.entries);
        benchmark::RegisterBenchmark(("Parse/" + file.label + "/krini").c_str(), parseWithOurReader,
                                     file, 1)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("Parse/" + file.label + "/krini-keep").c_str(),
                                     parseWithOurReader, file, 0)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("Parse/" + file.label + "/inih").c_str(), parseWithInih, file)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("Parse/" + file.label + "/iniparser").c_str(),
                                     parseWithIniparser, file)
            ->Unit(benchmark::kMicrosecond);
    }

    benchmark::Initialize(&argc, argv);
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printSummary();
    benchmark::Shutdown();

    for (const GeneratedFile& file : files)
        unlink(file.path.c_str());
    rmdir(directory.c_str());
    return 0;
}
