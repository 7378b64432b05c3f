// The peak heap memory of loading documents of about 5 MB through the XML layer, as a ratio to
// the size of the input: every allocation of this program goes through the counting operators
// below. The loads are timed too, but the counter "peak_ratio" is what this program is for.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <new>
#include <string>

#include "xml/XmlDoc.h"

namespace {

// Bytes the allocator handed out and not yet got back, and the most there were since a reset.
size_t gLive = 0;
size_t gPeak = 0;

void* Allocate(size_t size) {
    void* block = std::malloc(size ? size : 1);
    if (!block) throw std::bad_alloc();
    gLive += malloc_usable_size(block);
    gPeak = std::max(gPeak, gLive);
    return block;
}

void Free(void* block) noexcept {
    if (!block) return;
    gLive -= malloc_usable_size(block);
    std::free(block);
}

}  // namespace

void* operator new(size_t size) {
    return Allocate(size);
}
void* operator new[](size_t size) {
    return Allocate(size);
}
void* operator new(size_t size, const std::nothrow_t&) noexcept {
    try {
        return Allocate(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](size_t size, const std::nothrow_t& tag) noexcept {
    return operator new(size, tag);
}
void operator delete(void* block) noexcept {
    Free(block);
}
void operator delete[](void* block) noexcept {
    Free(block);
}
void operator delete(void* block, size_t) noexcept {
    Free(block);
}
void operator delete[](void* block, size_t) noexcept {
    Free(block);
}

namespace {

constexpr size_t kSize = 5 << 20;

// Repeats `unit(i)` between `head` and `tail` until the document holds about kSize bytes.
std::string Document(std::string_view head, const std::function<std::string(size_t)>& unit,
                     std::string_view tail) {
    std::string bytes(head);
    for (size_t i = 0; bytes.size() < kSize; ++i) bytes += unit(i);
    bytes += tail;
    return bytes;
}

std::string UnitsOf(std::string_view text) {
    return Document(
        "<waymarks>", [&](size_t) { return std::string(text); }, "</waymarks>");
}

// Elements 256 deep, again and again.
std::string DeepNesting() {
    std::string chain;
    for (int i = 0; i < wm::kMaxXmlDepth - 1; ++i) chain += "<a>";
    for (int i = 0; i < wm::kMaxXmlDepth - 1; ++i) chain += "</a>";
    return UnitsOf(chain);
}

// Names of letters, as short as the count allows: every one differs.
std::string DistinctName(size_t i) {
    std::string name;
    do {
        name += static_cast<char>(i % 52 < 26 ? 'a' + i % 52 : 'A' + i % 52 - 26);
        i /= 52;
    } while (i > 0);
    return name;
}

// Two bytes from 0x80 up: 16,384 names, more than any table of names keeps, again and again.
std::string CyclingName(size_t i) {
    return {static_cast<char>(0x80 + i % 128), static_cast<char>(0x80 + i / 128 % 128)};
}

std::string Utf16(std::string_view ascii) {
    std::string out = "\xFF\xFE";
    for (char c : ascii) out += {c, '\0'};
    return out;
}

void PeakOfLoading(benchmark::State& state, const std::string& bytes) {
    double ratio = 0;
    for (auto _ : state) {
        const size_t before = gLive;
        gPeak = gLive;
        {
            wm::TXmlDoc doc;
            doc.LoadFromBytes(bytes);
            benchmark::DoNotOptimize(doc.Root());
        }
        ratio = std::max(ratio, static_cast<double>(gPeak - before) / bytes.size());
    }
    state.counters["peak_ratio"] = ratio;
    state.counters["input_MB"] = static_cast<double>(bytes.size()) / (1 << 20);
}

void Register(const char* name, std::function<std::string()> make) {
    benchmark::RegisterBenchmark(
        name, [make = std::move(make)](benchmark::State& state) { PeakOfLoading(state, make()); })
        ->Unit(benchmark::kMillisecond)
        ->Iterations(2);
}

const int kRegistered = [] {
    Register("EmptyElements", [] { return UnitsOf("<a/>"); });
    Register("EmptyElementsUtf16", [] { return Utf16(UnitsOf("<a/>")); });
    Register("ShortTexts", [] { return UnitsOf("<a>1</a>"); });
    Register("ManyAttributes", [] {
        return Document(
            "<waymarks", [](size_t i) { return " a" + std::to_string(i) + "=\"v\""; }, "/>");
    });
    Register("ElementsWithAttributes", [] { return UnitsOf("<a id=\"12\" name=\"value\"/>"); });
    Register("TextsBetweenElements", [] { return UnitsOf("x<a/>"); });
    Register("TextsBetweenDeclarations", [] { return UnitsOf("x<!>"); });
    Register("DistinctNames", [] {
        return Document(
            "<waymarks>", [](size_t i) { return "<" + DistinctName(i) + "/>"; }, "</waymarks>");
    });
    Register("CyclingShortNames", [] {
        return Document(
            "<waymarks>", [](size_t i) { return "<" + CyclingName(i) + "/>"; }, "</waymarks>");
    });
    Register("DeepNesting", DeepNesting);
    Register("LongText", [] { return UnitsOf("text & more text "); });
    Register("ExchangeItems", [] {
        return Document(
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<waymarks>\r\n",
            [](size_t i) {
                const std::string n = std::to_string(i);
                return "  <item>\r\n    <name>waymark " + n + "</name>\r\n    <directory>D:\\p\\" +
                       n + "</directory>\r\n  </item>\r\n";
            },
            "</waymarks>\r\n");
    });
    return 0;
}();

}  // namespace

BENCHMARK_MAIN();
