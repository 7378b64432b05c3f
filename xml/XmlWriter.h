// The writer: a node tree into bytes, compact or readable.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "xml/XmlNode.h"

namespace wm {

enum class TXmlOutputStyle : uint8_t {
    Compact,   // no line breaks, no indentation
    Readable,  // CR LF after each node, `indent` once per nesting level
};

// Appends the UTF-8 bytes of the children of `top` (a Document node) to `out`.
void WriteXml(const TXmlNode& top, TXmlOutputStyle style, std::string_view indent,
              std::string& out);

}  // namespace wm
