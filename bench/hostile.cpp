// Hostile texts of 10 KB to 1 MB: stored directories made of forms that never resolve, and
// typed names of many components or separators alone. Each must cost time linear in its length:
// the reported complexity is O(N), and doubling N doubles the time.
#include <benchmark/benchmark.h>

#include <string>

#include "platform/Environment.h"
#include "plugin/uInfo.h"
#include "plugin/uSubstitution.h"

namespace {

using namespace wm;

const bool kPrivateRegistry = platform::SetEnvironmentValue(u"FARHOST_REGISTRY", u":memory:");

// `unit` repeated up to `length` characters.
String Repeated(StringView unit, int64_t length) {
    String text;
    text.reserve(static_cast<size_t>(length) + unit.size());
    while (text.size() < static_cast<size_t>(length)) text += unit;
    return text;
}

template <typename Engine>
void Substitute(benchmark::State& state, StringView unit) {
    TSubstitutionEngines engines;
    engines.AddEngineClass<Engine>();
    const String text = Repeated(unit, state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(engines.Substitute(text));
    state.SetComplexityN(state.range(0));
}

void UnknownFolders(benchmark::State& state) {
    Substitute<TKnownFolderSubstitutionEngine>(state, u"$(dir:x)");
}
void EmptyRegistryForms(benchmark::State& state) {
    Substitute<TRegistrySubstitutionEngine>(state, u"$(reg:)");
}
// One form opened and never closed, then closing brackets all the way.
void ClosersAfterOneForm(benchmark::State& state) {
    TSubstitutionEngines engines;
    engines.AddEngineClass<TRegistrySubstitutionEngine>();
    const String text = u"$(reg:" + Repeated(u"a)", state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(engines.Substitute(text));
    state.SetComplexityN(state.range(0));
}

void Normalize(benchmark::State& state, StringView unit) {
    const String text = Repeated(unit, state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(TWaymarkInfo::NormalizeName(text));
    state.SetComplexityN(state.range(0));
}
void ManyComponents(benchmark::State& state) {
    Normalize(state, u"a/");
}
void SeparatorsAlone(benchmark::State& state) {
    Normalize(state, u"/\\");
}
void UpAndDown(benchmark::State& state) {
    Normalize(state, u"a/b/../");
}

}  // namespace

#define WM_LINEAR(name)             \
    BENCHMARK(name)                 \
        ->RangeMultiplier(2)        \
        ->Range(10 << 10, 1 << 20)  \
        ->Complexity(benchmark::oN) \
        ->Unit(benchmark::kMillisecond)
WM_LINEAR(UnknownFolders);
WM_LINEAR(EmptyRegistryForms);
WM_LINEAR(ClosersAfterOneForm);
WM_LINEAR(ManyComponents);
WM_LINEAR(SeparatorsAlone);
WM_LINEAR(UpAndDown);

BENCHMARK_MAIN();
