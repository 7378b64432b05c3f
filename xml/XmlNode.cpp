#include "xml/XmlNode.h"

#include <algorithm>

#include "core/Format.h"
#include "xml/XmlText.h"

namespace wm {

bool IsXmlNameDelimiter(char c) {
    if (static_cast<unsigned char>(c) < 0x20) return true;
    switch (c) {
        case ' ':
        case '<':
        case '>':
        case '/':
        case '=':
        case '?':
        case '&':
        case '"':
        case '\'':
            return true;
        default:
            return false;
    }
}

void TXmlNode::SetName(std::string name) {
    if (std::any_of(name.begin(), name.end(), IsXmlNameDelimiter)) {
        throw EXmlError(Format(u"Illegal character in node name \"%s\"", {FromUtf8(name)}));
    }
    name_ = std::move(name);
}

void TXmlNode::SetText(StringView text) {
    value_ = EscapeXml(ToUtf8(text));
}

const std::string* TXmlNode::Attribute(std::string_view name) const {
    const auto it = std::find_if(attributes_.begin(), attributes_.end(),
                                 [&](const TXmlAttribute& a) { return a.Name == name; });
    return it == attributes_.end() ? nullptr : &it->Value;
}

void TXmlNode::SetAttribute(std::string_view name, std::string value) {
    const auto it = std::find_if(attributes_.begin(), attributes_.end(),
                                 [&](const TXmlAttribute& a) { return a.Name == name; });
    if (it != attributes_.end()) {
        it->Value = std::move(value);
    } else {
        AddAttribute(std::string(name), std::move(value));
    }
}

void TXmlNode::AddAttribute(std::string name, std::string value) {
    attributes_.push_back({std::move(name), std::move(value)});
}

TXmlNode& TXmlNode::AddChild(TXmlNodeType type) {
    return *children_.emplace_back(std::make_unique<TXmlNode>(type));
}

TXmlNode& TXmlNode::AddElement(std::string name) {
    auto element = std::make_unique<TXmlNode>(TXmlNodeType::Element);
    element->SetName(std::move(name));
    return *children_.emplace_back(std::move(element));
}

void TXmlNode::Clear() {
    value_.clear();
    attributes_.clear();
    children_.clear();
}

}  // namespace wm
