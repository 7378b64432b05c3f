// The markup parser: UTF-8 text (or bytes taken as such) into a node tree.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "xml/XmlArena.h"
#include "xml/XmlNode.h"

namespace wm {

// Appends the nodes of `text` to `top`, a Document node, their names and values kept in `arena`,
// which must outlive them. Runs of text that are only white space are dropped; the first text of
// an element becomes its value, later ones character-data children. Raises EXmlError for malformed
// markup and for elements nested deeper than kMaxXmlDepth. Text, attribute values and the content
// of comments and other constructs are taken as they are, so "&" without a reference and non-UTF-8
// bytes are kept.
void ParseXml(std::string_view text, TXmlNode& top, TXmlArena& arena);

// The encoding attribute of the declaration that `text` starts with; nothing when it does not
// start with a declaration or the declaration has no encoding.
std::optional<std::string> DeclaredXmlEncoding(std::string_view text);

}  // namespace wm
