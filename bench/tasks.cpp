// Through the module's exports: the jump from the command line, with fuzzy search over 1,000 to
// 100,000 stored waymarks (the typed text equals the first stored name, so the search walks
// every name before it answers); and the panel's read of one group of 1,000 to 10,000 members,
// which the host asks for after every command and on Ctrl+R.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "bench/BenchPlugin.h"
#include "farhost/engine/Host.h"
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

String GroupMemberName(int64_t index) {
    char name[64];
    std::snprintf(name, sizeof name, "Group/Waymark %06lld", static_cast<long long>(index));
    return FromUtf8(name);
}

// A registry file holding `count` waymarks to `target` named by `name`, made once and kept
// between runs under `kind`.
fs::path Prepare(int64_t count, const fs::path& target, const char* kind = "jump",
                 String (*name)(int64_t) = EntryName) {
    const fs::path file = fs::temp_directory_path() / ("waymarks-bench-" + std::string(kind) + "-" +
                                                       std::to_string(count) + ".sqlite3");
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
            info.Name = name(i);
            if (!store.WriteEntry(info)) std::abort();
        }
        if (name == GroupMemberName) {
            TWaymarkInfo group;
            group.Name = u"Group";
            group.SetIsGroup(true);
            if (!store.WriteEntry(group)) std::abort();
        }
    }
    TFarPlugin::Unregister();
    return file;
}

// The folder every benchmark waymark points to.
fs::path Target() {
    const fs::path target = fs::temp_directory_path() / "waymarks-bench-target";
    fs::create_directories(target);
    return target;
}

// farhost with the built module started, on the registry file.
std::unique_ptr<farhost::Host> StartedHost(const fs::path& registry) {
    if (!platform::SetEnvironmentValue(u"FARHOST_REGISTRY", registry.u16string())) std::abort();
    farhost::Host::Options options;
    options.rootKey = kRootKey;
    auto host = std::make_unique<farhost::Host>(options);
    host->LoadPlugin(WAYMARKS_MODULE_PATH);
    host->StartPlugin();
    return host;
}

void JumpWithFuzzySearch(benchmark::State& state) {
    const int64_t count = state.range(0);
    const fs::path target = Target();
    const auto started = StartedHost(Prepare(count, target));
    farhost::Host& host = *started;
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

// The panel inside a group of `count` members: one GetFindDataW and FreeFindDataW, as the host
// reads the panel. Target: under 30 ms for 10,000.
void ReadAGroupInThePanel(benchmark::State& state) {
    const int64_t count = state.range(0);
    const auto host = StartedHost(Prepare(count, Target(), "group", GroupMemberName));
    const auto& exports = host->Exports();
    const far::HANDLE panel = exports.OpenPluginW(far::OPEN_PLUGINSMENU, 0);
    const String group = u"Group";
    if (!exports.SetDirectoryW(panel, reinterpret_cast<far::HostText>(group.c_str()), 0)) {
        state.SkipWithError("the group could not be entered");
        return;
    }
    for (auto _ : state) {
        far::PluginPanelItem* items = nullptr;
        int32_t listed = 0;
        if (!exports.GetFindDataW(panel, &items, &listed, 0) || listed != count + 1) {
            state.SkipWithError("the group was not listed whole");
            break;
        }
        exports.FreeFindDataW(panel, items, listed);
    }
    exports.ClosePluginW(panel);
    state.SetItemsProcessed(state.iterations() * count);
}

BENCHMARK(ReadAGroupInThePanel)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
