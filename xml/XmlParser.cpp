#include "xml/XmlParser.h"

#include <algorithm>
#include <vector>

#include "core/Format.h"
#include "xml/XmlArena.h"
#include "xml/XmlText.h"

namespace wm {
namespace {

constexpr size_t npos = std::string_view::npos;

TXmlNodeType DeclarationType(std::string_view keyword) {
    if (keyword == "DOCTYPE") return TXmlNodeType::DocType;
    if (keyword == "ELEMENT") return TXmlNodeType::ElementDecl;
    if (keyword == "ATTLIST") return TXmlNodeType::AttListDecl;
    if (keyword == "ENTITY") return TXmlNodeType::EntityDecl;
    if (keyword == "NOTATION") return TXmlNodeType::NotationDecl;
    return TXmlNodeType::Other;
}

// Literal TAB, CR and LF in an attribute value read as a space, CR LF as one space; references
// such as "&#10;" keep their character.
std::string NormalizeAttributeValue(std::string_view raw) {
    std::string out;
    out.reserve(raw.size());
    for (size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') ++i;
        out += IsXmlSpace(raw[i]) ? ' ' : raw[i];
    }
    return DecodeEntityReferences(out);
}

class Parser {
public:
    Parser(std::string_view text, TXmlArena& arena) : text_(text), builder_(arena) {}

    void ParseDocument(TXmlNode& top) {
        // open.back() receives what is parsed next; open.front() is the top level.
        std::vector<TXmlNode*> open{&top};
        while (pos_ < text_.size()) {
            if (text_[pos_] != '<') {
                ParseText(*open.back());
            } else if (At("</")) {
                ParseEndTag(open);
            } else if (At("<?")) {
                ParseInstruction(*open.back());
            } else if (At("<!")) {
                ParseBang(*open.back());
            } else {
                ParseStartTag(open);
            }
        }
        if (open.size() > 1) {
            Fail(Format(u"element <%s> is not closed", {FromUtf8(open.back()->Name())}));
        }
        builder_.Complete(top);
    }

    std::optional<std::string> LeadingDeclarationEncoding() {
        if (!At("<?xml") || text_.size() < 6 || !(IsXmlSpace(text_[5]) || text_[5] == '?')) {
            return std::nullopt;
        }
        TXmlNode scratch(TXmlNodeType::Document);
        ParseInstruction(scratch);
        const auto encoding = scratch.Child(0).Attribute("encoding");
        return encoding ? std::optional<std::string>(*encoding) : std::nullopt;
    }

private:
    [[noreturn]] void Fail(StringView what) const {
        const auto done = text_.substr(0, std::min(pos_, text_.size()));
        const int line = 1 + static_cast<int>(std::count(done.begin(), done.end(), '\n'));
        throw EXmlError(Format(u"Malformed XML at line %d: %s", {line, what}));
    }

    bool At(std::string_view token) const { return text_.substr(pos_, token.size()) == token; }

    // The position of `token` at or after `from`; fails naming the construct left open.
    size_t Require(std::string_view token, size_t from, StringView construct) const {
        const size_t found = text_.find(token, from);
        if (found == npos) Fail(Format(u"unterminated %s", {construct}));
        return found;
    }

    void SkipSpace() {
        while (pos_ < text_.size() && IsXmlSpace(text_[pos_])) ++pos_;
    }

    std::string_view ReadName() {
        const size_t start = pos_;
        while (pos_ < text_.size() && !IsXmlNameDelimiter(text_[pos_])) ++pos_;
        return text_.substr(start, pos_ - start);
    }

    void ParseText(TXmlNode& parent) {
        const size_t end = std::min(text_.find('<', pos_), text_.size());
        const std::string_view run = text_.substr(pos_, end - pos_);
        pos_ = end;
        if (IsXmlSpaceOnly(run)) return;
        const bool value = parent.IsElement() && parent.ChildCount() == 0;
        builder_.SetValue(value ? parent : builder_.AddChild(parent, TXmlNodeType::CharData), run);
    }

    void ParseStartTag(std::vector<TXmlNode*>& open) {
        if (open.size() > static_cast<size_t>(kMaxXmlDepth)) {
            Fail(Format(u"elements nested deeper than %d levels", {kMaxXmlDepth}));
        }
        ++pos_;
        const std::string_view name = ReadName();
        if (pos_ < text_.size() && !IsXmlSpace(text_[pos_]) && text_[pos_] != '/' &&
            text_[pos_] != '>') {
            Fail(u"malformed start tag");
        }
        TXmlNode& element =
            builder_.AddChild(*open.back(), TXmlNodeType::Element, name, CountAttributes(false));
        if (!ParseAttributes(element, false)) open.push_back(&element);
    }

    // The attributes up to the end of the tag, counted without moving on, so that the node can
    // be made with room for them all.
    size_t CountAttributes(bool instruction) {
        const size_t start = pos_;
        size_t count = 0;
        ScanAttributes(instruction, [&](std::string_view, std::string_view) { ++count; });
        pos_ = start;
        return count;
    }

    // Reads the counted attributes up to the end of the tag. True when the tag closes itself
    // ("/>", or "?>" for an instruction).
    bool ParseAttributes(TXmlNode& node, bool instruction) {
        return ScanAttributes(instruction, [&](std::string_view name, std::string_view raw) {
            builder_.AddAttribute(node, name, AttributeValue(raw));
        });
    }

    // The raw value itself when normalizing would not change it.
    std::string_view AttributeValue(std::string_view raw) {
        if (raw.find_first_of("&\t\n\r") == npos) return raw;
        normalized_ = NormalizeAttributeValue(raw);
        return normalized_;
    }

    // Calls onAttribute(name, raw value) for each attribute up to the end of the tag.
    template <class OnAttribute>
    bool ScanAttributes(bool instruction, OnAttribute&& onAttribute) {
        for (;;) {
            SkipSpace();
            if (instruction ? At("?>") : At("/>")) {
                pos_ += 2;
                return true;
            }
            if (!instruction && At(">")) {
                ++pos_;
                return false;
            }
            if (pos_ >= text_.size()) Fail(u"unterminated tag");
            const std::string_view name = ReadName();
            SkipSpace();
            if (name.empty() || !At("=")) Fail(u"malformed attribute");
            ++pos_;
            SkipSpace();
            const char quote = pos_ < text_.size() ? text_[pos_] : '\0';
            if (quote != '"' && quote != '\'') Fail(u"attribute value without quotes");
            const size_t close = Require({&quote, 1}, pos_ + 1, u"attribute value");
            onAttribute(name, text_.substr(pos_ + 1, close - pos_ - 1));
            pos_ = close + 1;
        }
    }

    void ParseEndTag(std::vector<TXmlNode*>& open) {
        pos_ += 2;
        const std::string_view name = ReadName();
        SkipSpace();
        if (!At(">")) Fail(u"malformed end tag");
        if (open.size() == 1) Fail(Format(u"end tag </%s> without a start tag", {FromUtf8(name)}));
        if (open.back()->Name() != name) {
            Fail(Format(u"end tag </%s> does not match <%s>",
                        {FromUtf8(name), FromUtf8(open.back()->Name())}));
        }
        ++pos_;
        builder_.Complete(*open.back());
        open.pop_back();
    }

    void ParseInstruction(TXmlNode& parent) {
        pos_ += 2;
        const std::string_view target = ReadName();
        if (pos_ < text_.size() && !IsXmlSpace(text_[pos_]) && !At("?>")) {
            Fail(u"malformed processing instruction");
        }
        if (target == "xml") {
            ParseAttributes(
                builder_.AddChild(parent, TXmlNodeType::Declaration, {}, CountAttributes(true)),
                true);
            return;
        }
        const size_t end = Require("?>", pos_, u"processing instruction");
        TXmlNode& node = builder_.AddChild(
            parent,
            target == "xml-stylesheet" ? TXmlNodeType::Stylesheet : TXmlNodeType::Instruction,
            target);
        SkipSpace();
        builder_.SetValue(node, text_.substr(pos_, std::max(end, pos_) - pos_));
        pos_ = end + 2;
    }

    void ParseBang(TXmlNode& parent) {
        if (At("<!--")) {
            const size_t end = Require("-->", pos_ + 4, u"comment");
            builder_.SetValue(builder_.AddChild(parent, TXmlNodeType::Comment),
                              text_.substr(pos_ + 4, end - pos_ - 4));
            pos_ = end + 3;
            return;
        }
        if (At("<![CDATA[")) {
            const size_t end = Require("]]>", pos_ + 9, u"CDATA section");
            builder_.SetValue(builder_.AddChild(parent, TXmlNodeType::CData),
                              text_.substr(pos_ + 9, end - pos_ - 9));
            pos_ = end + 3;
            return;
        }
        pos_ += 2;
        const std::string_view keyword = ReadName();
        const TXmlNodeType type = DeclarationType(keyword);
        const size_t end = DeclarationEnd(type == TXmlNodeType::DocType);
        builder_.SetValue(builder_.AddChild(parent, type, keyword), text_.substr(pos_, end - pos_));
        pos_ = end + 1;
    }

    // The ">" that closes a "<!" construct, past quoted literals and, for a document type, its
    // internal subset with the comments and instructions in it.
    size_t DeclarationEnd(bool hasSubset) const {
        bool inSubset = false;
        for (size_t i = pos_; i < text_.size();) {
            const char c = text_[i];
            if (c == '"' || c == '\'') {
                i = Require({&c, 1}, i + 1, u"literal") + 1;
            } else if (inSubset && text_.compare(i, 4, "<!--") == 0) {
                i = Require("-->", i + 4, u"comment") + 3;
            } else if (inSubset && text_.compare(i, 2, "<?") == 0) {
                i = Require("?>", i + 2, u"processing instruction") + 2;
            } else {
                if (inSubset && c == ']') inSubset = false;
                if (!inSubset && hasSubset && c == '[') inSubset = true;
                if (!inSubset && c == '>') return i;
                ++i;
            }
        }
        Fail(u"unterminated declaration");
    }

    std::string_view text_;
    size_t pos_ = 0;
    TXmlTreeBuilder builder_;
    std::string normalized_;  // the last attribute value that normalizing changed
};

}  // namespace

void ParseXml(std::string_view text, TXmlNode& top, TXmlArena& arena) {
    Parser(text, arena).ParseDocument(top);
}

std::optional<std::string> DeclaredXmlEncoding(std::string_view text) {
    TXmlArena arena;
    return Parser(text, arena).LeadingDeclarationEncoding();
}

}  // namespace wm
