#include "plugin/uXml.h"

#include <cstdint>
#include <string>
#include <system_error>

#include "core/Format.h"
#include "framework/FarModule.h"
#include "platform/CodePages.h"
#include "plugin/uFunctions.h"
#include "plugin/uMessages.h"
#include "xml/XmlEncoding.h"
#include "xml/XmlText.h"

namespace wm {
namespace {

constexpr std::string_view kRootName = "waymarks";
constexpr std::string_view kItemName = "item";
// A group's own fields, beside the folder of its members; readers of waymarks pass it over.
constexpr std::string_view kGroupName = "group";

const TXmlNode* FirstChildElement(const TXmlNode& parent, std::string_view name, bool exactCase,
                                  std::string_view attribute, std::string_view attributeValue) {
    for (size_t i = 0; i < parent.ChildCount(); ++i) {
        const TXmlNode& child = parent.Child(i);
        if (!child.IsElement()) continue;
        if (exactCase ? child.Name() != name : !EqualsIgnoreAsciiCase(child.Name(), name)) {
            continue;
        }
        if (!attribute.empty()) {
            const auto value = child.Attribute(attribute);
            if (!value || *value != attributeValue) continue;
        }
        return &child;
    }
    return nullptr;
}

StringView TrimControls(StringView text) {
    while (!text.empty() && text.front() <= u' ') text.remove_prefix(1);
    while (!text.empty() && text.back() <= u' ') text.remove_suffix(1);
    return text;
}

// The text of the first child element `name`; empty when there is none.
String FieldText(const TXmlNode& item, std::string_view name) {
    const TXmlNode* field = FindXmlNode(item, name);
    return field ? ReadXmlText(*field) : String();
}

void AddField(TXmlNode& item, std::string name, StringView text) {
    item.AddElement(std::move(name)).SetText(text);
}

}  // namespace

const TXmlNode* FindXmlNode(const TXmlNode& start, std::string_view path,
                            std::string_view attribute, std::string_view attributeValue) {
    const TXmlNode* node = &start;
    for (size_t slash = path.find('/'); slash != std::string_view::npos; slash = path.find('/')) {
        node = FirstChildElement(*node, path.substr(0, slash), false, {}, {});
        if (!node) return nullptr;
        path.remove_prefix(slash + 1);
    }
    return FirstChildElement(*node, path, true, attribute, attributeValue);
}

String ReadXmlText(const TXmlNode& element) {
    for (size_t i = 0; i < element.ChildCount(); ++i) {
        const TXmlNode& child = element.Child(i);
        if (child.Type() == TXmlNodeType::CData) return DecodeXmlText(child.Value());
    }
    return String(TrimControls(DecodeXmlText(TrimXmlSpace(element.Value()))));
}

bool SaveToXml(const TWaymarkInfo& info, TXmlNode& item) {
    AddField(item, "name", ExtractLastComponent(info.Name));
    if (!info.Description.empty()) AddField(item, "description", info.Description);
    AddField(item, "directory", info.Directory);
    if (!IsNullGuid(info.PluginID)) AddField(item, "plugin", GuidToString(info.PluginID));
    if (!info.Param.empty()) AddField(item, "param", info.Param);
    if (!info.HostFile.empty()) AddField(item, "hostfile", info.HostFile);
    return true;
}

// The normal form of the element's name field; empty, with the reason, when there is none.
String ReadEntryName(const TXmlNode& element, String& reason) {
    const TXmlNode* nameField = FindXmlNode(element, "name");
    if (!nameField) {
        reason = MessageText(MItemWithoutName);
        return {};
    }
    // A name such as "." or "a/.." names no entry: it would stand for the importing group.
    String name = TWaymarkInfo::NormalizeName(ReadXmlText(*nameField));
    if (name.empty()) reason = MessageText(MItemEmptyName);
    return name;
}

std::unique_ptr<TWaymarkInfo> LoadGroupFromXml(const TXmlNode& element, String& reason) {
    const String name = ReadEntryName(element, reason);
    if (name.empty()) return nullptr;
    auto group = std::make_unique<TWaymarkInfo>();
    group->SetName(name);
    group->SetIsGroup(true);
    group->Description = FieldText(element, "description");
    return group;
}

std::unique_ptr<TWaymarkInfo> LoadFromXml(const TXmlNode& item, String& reason) {
    const String name = ReadEntryName(item, reason);
    if (name.empty()) return nullptr;
    const TXmlNode* directory = FindXmlNode(item, "directory");
    if (!directory) {
        reason = MessageText(MItemWithoutDirectory);
        return nullptr;
    }
    const String plugin = FieldText(item, "plugin");
    const auto pluginId = plugin.empty() ? std::optional<Guid>(NullGuid) : TryStringToGuid(plugin);
    if (!pluginId) {
        reason = MessageText(MItemBadPluginId);
        return nullptr;
    }
    auto info = std::make_unique<TWaymarkInfo>();
    info->SetName(name);
    info->Description = FieldText(item, "description");
    info->Directory = ReadXmlText(*directory);
    info->PluginID = *pluginId;
    info->Param = FieldText(item, "param");
    info->HostFile = FieldText(item, "hostfile");
    return info;
}

std::unique_ptr<TXmlDoc> NewExchangeDocument(const TWaymarkInfo& info) {
    auto doc = std::make_unique<TXmlDoc>();
    doc->SetIndent("  ");
    TXmlNode& root = *doc->Root();
    root.SetName(std::string(kRootName));
    if (info.IsGroup()) {
        TXmlNode& group = root.AddElement(std::string(kGroupName));
        AddField(group, "name", ExtractLastComponent(info.Name));
        if (!info.Description.empty()) AddField(group, "description", info.Description);
    } else {
        SaveToXml(info, root.AddElement(std::string(kItemName)));
    }
    return doc;
}

void WriteExchangeFile(const TWaymarkInfo& info, const std::filesystem::path& file) {
    NewExchangeDocument(info)->SaveToFile(file);
}

bool ReadExchangeDocument(const TXmlDocBase& doc, const TWaymarkHandler& take,
                          TExchangeReading& reading) {
    const TXmlNode* root = doc.Root();
    if (!root || root->Name() != kRootName) return false;
    for (size_t i = 0; i < root->ChildCount(); ++i) {
        const TXmlNode& child = root->Child(i);
        const bool group = child.IsElement() && child.Name() == kGroupName;
        if (!group && (!child.IsElement() || child.Name() != kItemName)) continue;
        ++reading.Items;
        String reason;
        if (auto info = group ? LoadGroupFromXml(child, reason) : LoadFromXml(child, reason)) {
            take(std::move(info));
        } else {
            reading.Skipped.push_back({reading.Items, std::move(reason)});
        }
    }
    return true;
}

// Exchange files hold a few waymarks; a larger file is refused before it is read.
constexpr uintmax_t kMaxExchangeFileBytes = 4 << 20;

bool ReadExchangeFile(const std::filesystem::path& file, const TWaymarkHandler& take,
                      TExchangeReading& reading) {
    std::error_code error;
    const uintmax_t size = std::filesystem::file_size(file, error);
    if (!error && size > kMaxExchangeFileBytes) {
        throw EFileError(
            Format(MessageText(MFileTooLarge),
                   {Str(std::to_string(size)), Str(std::to_string(kMaxExchangeFileBytes))}));
    }
    TXmlDoc doc;
    doc.SetCodePageDecoder(platform::DecodeCodePage);
    doc.LoadFromFile(file);
    return ReadExchangeDocument(doc, take, reading);
}

}  // namespace wm
