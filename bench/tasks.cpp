// The jump from the command line through the module's exports, with fuzzy search over 1,000 to
// 100,000 stored waymarks: the typed text equals the first stored name, so the search walks
// every name before it answers.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "bench/BenchPlugin.h"
#include "farhost/lib/Host.h"
#include "platform/Environment.h"
#include "platform/posix/Registry.h"
#include "plugin/uOptions.h"

namespace {

namespace fs = std::filesystem;
using namespace wm;

const String kRootKey = u"Software\\Waymarks benchmark";

using bench::BenchPlugin;

String EntryName(int64_t index) {
    char name[64];
    std::snprintf(name, sizeof name, "Group %02d/Waymark %06lld", static_cast<int>(index % 100),
                  static_cast<long long>(index));
    return FromUtf8(name);
}

// A registry file holding `count` waymarks to `target`, made once and kept between runs.
fs::path Prepare(int64_t count, const fs::path& target) {
    const fs::path file =
        fs::temp_directory_path() / ("waymarks-bench-jump-" + std::to_string(count) + ".sqlite3");
    if (fs::exists(file)) return file;
    platform::SqliteRegistry registry(file.string());
    const platform::ScopedRegistry scope(registry);
    farhost::Host::Options options;
    options.rootKey = kRootKey;
    farhost::Host host(options);
    TFarPlugin::Register(std::make_unique<BenchPlugin>());
    TFarPlugin::Instance().SetStartupInfo(host.StartupInfo());
    {
        TOptions store;
        TWaymarkInfo info;
        info.Directory = target.u16string();
        for (int64_t i = 0; i < count; ++i) {
            info.Name = EntryName(i);
            if (!store.WriteEntry(info)) std::abort();
        }
    }
    TFarPlugin::Unregister();
    return file;
}

void JumpWithFuzzySearch(benchmark::State& state) {
    const int64_t count = state.range(0);
    const fs::path target = fs::temp_directory_path() / "waymarks-bench-target";
    fs::create_directories(target);
    const fs::path file = Prepare(count, target);
    if (!platform::SetEnvironmentValue(u"FARHOST_REGISTRY", file.u16string())) std::abort();

    farhost::Host::Options options;
    options.rootKey = kRootKey;
    farhost::Host host(options);
    host.LoadPlugin(WAYMARKS_MODULE_PATH);
    host.StartPlugin();
    const String command = EntryName(0);
    for (auto _ : state) {
        host.Panels().Active().SetDirectory(u"/");
        host.Exports().OpenPluginW(far::OPEN_COMMANDLINE,
                                   reinterpret_cast<far::INT_PTR>(command.c_str()));
        if (fs::path(host.Panels().Active().Directory()) != target) {
            state.SkipWithError("the jump did not arrive");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * count);
    state.counters["time_per_stored_name"] =
        benchmark::Counter(static_cast<double>(state.iterations() * count),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

BENCHMARK(JumpWithFuzzySearch)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
