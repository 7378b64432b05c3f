// The settings store on the registry stand-in: listing the stored names and reading one entry
// with 1,000 to 100,000 entries stored. The cost per entry must not grow with their number.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "bench/BenchPlugin.h"
#include "farhost/engine/Host.h"
#include "platform/posix/Registry.h"
#include "plugin/uOptions.h"

namespace {

namespace fs = std::filesystem;
using namespace wm;

using bench::BenchPlugin;

String EntryName(int64_t index) {
    const std::string name =
        "Group " + std::to_string(index % 100) + "/Waymark " + std::to_string(index);
    return FromUtf8(name);
}

// One registry file per entry count, filled on first use and kept for the whole run.
class StoredEntries {
public:
    explicit StoredEntries(const fs::path& folder) : folder_(folder) {}

    platform::Registry& With(int64_t count) {
        auto& registry = registries_[count];
        if (!registry) {
            const fs::path file = folder_ / ("registry-" + std::to_string(count) + ".sqlite3");
            registry = std::make_unique<platform::SqliteRegistry>(file.string());
            const platform::ScopedRegistry scope(*registry);
            TOptions options;
            TWaymarkInfo info;
            info.Directory = u"/home/someone/projects/$(env:USER)";
            info.Description = u"A waymark of the benchmark";
            for (int64_t i = 0; i < count; ++i) {
                info.Name = EntryName(i);
                if (!options.WriteEntry(info)) std::abort();
            }
        }
        return *registry;
    }

private:
    fs::path folder_;
    std::map<int64_t, std::unique_ptr<platform::SqliteRegistry>> registries_;
};

StoredEntries* g_entries = nullptr;

void EnumEntryNames(benchmark::State& state) {
    const platform::ScopedRegistry scope(g_entries->With(state.range(0)));
    TOptions options;
    for (auto _ : state) {
        const auto names = options.EnumEntryNames();
        if (!names || static_cast<int64_t>(names->size()) != state.range(0)) std::abort();
        benchmark::DoNotOptimize(names->data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    // Seconds per listed entry.
    state.counters["per_entry"] = benchmark::Counter(
        static_cast<double>(state.range(0)),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void ReadEntry(benchmark::State& state) {
    const platform::ScopedRegistry scope(g_entries->With(state.range(0)));
    TOptions options;
    const String name = EntryName(state.range(0) / 2);
    for (auto _ : state) {
        const auto entry = options.ReadEntry(name);
        if (!entry) std::abort();
        benchmark::DoNotOptimize(entry.get());
    }
}

BENCHMARK(EnumEntryNames)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(ReadEntry)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    std::string pattern = (fs::temp_directory_path() / "waymarks-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) return 1;
    const fs::path folder = pattern;
    {
        farhost::Host host;
        TFarPlugin::Register(std::make_unique<BenchPlugin>());
        TFarPlugin::Instance().SetStartupInfo(host.StartupInfo());
        StoredEntries entries(folder);
        g_entries = &entries;
        benchmark::Initialize(&argc, argv);
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
        g_entries = nullptr;
        TFarPlugin::Unregister();
    }
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    return 0;
}
