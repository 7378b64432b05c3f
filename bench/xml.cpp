// Loading and saving a 10 MB exchange document of 50,000 items through the XML layer, and
// parsing the same bytes with expat for comparison.
#include <benchmark/benchmark.h>
#include <expat.h>

#include <string>

#include "xml/XmlDoc.h"
#include "xml/XmlText.h"

namespace {

constexpr int kItems = 50000;

// About 210 bytes per item, as the readable writer lays them out.
const std::string& ExchangeDocument() {
    static const std::string bytes = [] {
        wm::TXmlDoc doc;
        doc.SetIndent("  ");
        doc.Root()->SetName("waymarks");
        for (int i = 0; i < kItems; ++i) {
            const std::u16string n = wm::Str(std::to_string(i));
            wm::TXmlNode& item = doc.Root()->AddElement("item");
            item.AddElement("name").SetText(u"waymark " + n);
            item.AddElement("description").SetText(u"Tests & caf\u00e9 <" + n + u">");
            item.AddElement("directory").SetText(u"$(env:SRC)\\projects\\" + n);
            if (i % 8 == 0)
                item.AddElement("plugin").SetText(u"{0123ABCD-4567-89EF-0123-456789ABCDEF}");
            item.AddElement("param").SetText(u"param " + n);
        }
        return doc.SaveToString();
    }();
    return bytes;
}

void Load(benchmark::State& state) {
    const std::string& bytes = ExchangeDocument();
    for (auto _ : state) {
        wm::TXmlDoc doc;
        doc.LoadFromBytes(bytes);
        benchmark::DoNotOptimize(doc.Root());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
}

// Loading, then the text of every field of every item as the exchange reader takes it.
void LoadAndReadFields(benchmark::State& state) {
    const std::string& bytes = ExchangeDocument();
    for (auto _ : state) {
        wm::TXmlDoc doc;
        doc.LoadFromBytes(bytes);
        size_t characters = 0;
        const wm::TXmlNode& root = *doc.Root();
        for (size_t i = 0; i < root.ChildCount(); ++i) {
            const wm::TXmlNode& item = root.Child(i);
            for (size_t f = 0; f < item.ChildCount(); ++f) {
                characters += wm::DecodeXmlText(wm::TrimXmlSpace(item.Child(f).Value())).size();
            }
        }
        benchmark::DoNotOptimize(characters);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
}

void Save(benchmark::State& state) {
    const std::string& bytes = ExchangeDocument();
    wm::TXmlDoc doc;
    doc.SetIndent("  ");
    doc.LoadFromBytes(bytes);
    for (auto _ : state) {
        const std::string saved = doc.SaveToString();
        if (saved != bytes) state.SkipWithError("the saved bytes differ from the loaded ones");
        benchmark::DoNotOptimize(saved.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
}

// Expat with handlers that only count, so this is the bare parse.
void ExpatParse(benchmark::State& state) {
    const std::string& bytes = ExchangeDocument();
    for (auto _ : state) {
        size_t events = 0;
        XML_Parser parser = XML_ParserCreate(nullptr);
        XML_SetUserData(parser, &events);
        XML_SetElementHandler(
            parser,
            [](void* data, const XML_Char*, const XML_Char**) { ++*static_cast<size_t*>(data); },
            [](void* data, const XML_Char*) { ++*static_cast<size_t*>(data); });
        XML_SetCharacterDataHandler(
            parser, [](void* data, const XML_Char*, int) { ++*static_cast<size_t*>(data); });
        if (XML_Parse(parser, bytes.data(), static_cast<int>(bytes.size()), XML_TRUE) !=
            XML_STATUS_OK) {
            state.SkipWithError("expat failed");
        }
        XML_ParserFree(parser);
        benchmark::DoNotOptimize(events);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
}

BENCHMARK(Load)->Unit(benchmark::kMillisecond);
BENCHMARK(LoadAndReadFields)->Unit(benchmark::kMillisecond);
BENCHMARK(Save)->Unit(benchmark::kMillisecond);
BENCHMARK(ExpatParse)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
