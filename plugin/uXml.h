// The exchange file (".wmk"): an XML document whose root "waymarks" holds "item" elements, each
// with one child element per waymark field. A group's own fields travel in a "group" element
// (name and description) of a file of its own, which readers of waymarks alone pass over.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "plugin/uInfo.h"
#include "xml/XmlDoc.h"

namespace wm {

// Follows a path of element names separated by "/" from `start`. Every part but the last
// selects the first child element with that name compared without regard to ASCII case; the
// last selects the first child element with exactly that name and, when `attribute` is not
// empty, an attribute of that name whose value is exactly `attributeValue`. Null when a step
// finds nothing.
const TXmlNode* FindXmlNode(const TXmlNode& start, std::string_view path,
                            std::string_view attribute = {}, std::string_view attributeValue = {});

// The value of a field element: the content of its first CDATA section with references
// decoded; otherwise its value trimmed of XML white space, references decoded, and trimmed of
// characters up to U+0020. Bytes that are not UTF-8 are read as Windows-1252.
String ReadXmlText(const TXmlNode& element);

using TWaymarkHandler = std::function<void(std::unique_ptr<TWaymarkInfo>)>;

// An "item" element passed over: its position among the items (from 1) and why.
struct TSkippedItem {
    size_t Number = 0;
    String Reason;
};
// What reading an exchange document found besides its waymarks.
struct TExchangeReading {
    size_t Items = 0;  // the "item" and "group" elements of the root
    std::vector<TSkippedItem> Skipped;
};

// Appends the field elements of `info` to an "item" element. Always true.
bool SaveToXml(const TWaymarkInfo& info, TXmlNode& item);
// A new waymark from an "item" element, or null with the reason in `reason` (message 22, 23 or
// 24 for a missing or empty name or a missing directory, 74 for a "plugin" that is no GUID).
std::unique_ptr<TWaymarkInfo> LoadFromXml(const TXmlNode& item, String& reason);

// The exchange document holding `info` (an "item", or a "group" for a group), in readable style.
std::unique_ptr<TXmlDoc> NewExchangeDocument(const TWaymarkInfo& info);
// Creates or truncates `file` and writes the exchange document of `info` to it.
void WriteExchangeFile(const TWaymarkInfo& info, const std::filesystem::path& file);

// Hands every "item" child of the root that LoadFromXml accepts, and every "group" child with a
// name (as a group entry), to `take`, in document order, and notes the others in `reading`. False,
// showing nothing, when the root is not named "waymarks" (message 21 says so).
bool ReadExchangeDocument(const TXmlDocBase& doc, const TWaymarkHandler& take,
                          TExchangeReading& reading);
// Loads `file` (its XML and file errors pass to the caller) and reads it as above.
bool ReadExchangeFile(const std::filesystem::path& file, const TWaymarkHandler& take,
                      TExchangeReading& reading);

}  // namespace wm
