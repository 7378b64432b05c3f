// Loads a document from the fuzzer's bytes (declared code pages decoded by the platform) and
// reads every item of it as an import does; then checks that what the layer saves loads again,
// and that saving settles after one round.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "farhost/engine/Host.h"
#include "farhost/engine/LanguageFile.h"
#include "framework/FarPlugin.h"
#include "platform/CodePages.h"
#include "plugin/uMessages.h"
#include "plugin/uXml.h"

namespace {

class FuzzPlugin : public wm::TFarPlugin {
public:
    wm::Guid GetPluginId() override { return wm::NullGuid; }
    void GetInfoStrings(wm::String& title, wm::String& description, wm::String& author) override {
        title = u"Fuzz";
        description = author = {};
    }
    void GetMenus(uint32_t&, TFarPluginMenu&, TFarPluginMenu&, TFarPluginMenu&,
                  wm::String&) override {}
    far::HANDLE Open(int, const wm::Guid*, far::INT_PTR) override { return nullptr; }
};

// The item reader shows its messages through the host.
farhost::Host& Host() {
    static farhost::Host* host = [] {
        auto* created = new farhost::Host;
        // A text for every message, so that every reason an item is passed over for reads.
        std::string language = ".Language=English,English\n";
        for (int i = 0; i < wm::MessageCount; ++i) language += "\"m" + std::to_string(i) + "\"\n";
        created->SetLanguageFile(farhost::LanguageFile::Parse(language));
        auto plugin = std::make_unique<FuzzPlugin>();
        plugin->SetStartupInfo(created->StartupInfo());
        wm::TFarPlugin::Register(std::move(plugin));
        return created;
    }();
    return *host;
}

std::string SaveAndLoad(const std::string& bytes) {
    wm::TXmlDoc doc;
    doc.LoadFromBytes(bytes);  // an exception here is a finding: it escapes to libFuzzer
    return doc.SaveToString();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Host().ClearRecords();
    wm::TXmlDoc doc;
    doc.SetCodePageDecoder(wm::platform::DecodeCodePage);  // as the import reads files
    try {
        doc.LoadFromBytes(std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const wm::EXmlError&) {
        return 0;
    }
    wm::TExchangeReading reading;
    wm::ReadExchangeDocument(
        doc,
        [](std::unique_ptr<wm::TWaymarkInfo> info) {
            if (info->Name.empty()) std::abort();
        },
        reading);
    // Every item is either handed over or said to be passed over, with a reason.
    for (const auto& skipped : reading.Skipped) {
        if (skipped.Reason.empty() || skipped.Number == 0 || skipped.Number > reading.Items) {
            std::abort();
        }
    }

    // Text before the first node may look like another encoding once saved; anything else
    // must load again. Attribute values settle after one round (line ends read as spaces).
    if (doc.TopLevel().Child(0).Type() == wm::TXmlNodeType::CharData) return 0;
    const std::string once = SaveAndLoad(doc.SaveToString());
    if (SaveAndLoad(once) != once) std::abort();
    return 0;
}
