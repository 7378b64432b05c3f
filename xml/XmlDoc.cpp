#include "xml/XmlDoc.h"

#include <fstream>
#include <ostream>

#include "core/Format.h"
#include "xml/XmlEncoding.h"
#include "xml/XmlParser.h"

namespace wm {
namespace {

String PathText(const std::filesystem::path& file) {
    const std::u8string text = file.u8string();
    return FromUtf8(std::string_view(reinterpret_cast<const char*>(text.data()), text.size()));
}

bool IsUtf8Name(std::string_view name) {
    return EqualsIgnoreAsciiCase(name, "utf-8") || EqualsIgnoreAsciiCase(name, "utf8");
}

// 8-bit text by the encoding its declaration names: `bytes` themselves when they are to be read
// as UTF-8, otherwise their UTF-8 conversion, stored in `converted`.
std::string_view EightBitText(std::string_view bytes, const TXmlCodePageDecoder& decoder,
                              std::string& converted) {
    const std::optional<std::string> declared = DeclaredXmlEncoding(bytes);
    if (!declared) return bytes;
    const TXmlEightBitForm form = EightBitFormOf(*declared);
    if (form == TXmlEightBitForm::Utf8) return bytes;
    if (form != TXmlEightBitForm::CodePage) {
        converted = ToUtf8(DecodeEightBit(bytes, form));
        return converted;
    }
    std::optional<String> decoded = decoder ? decoder(bytes, *declared) : std::nullopt;
    if (!decoded) throw EXmlError(u"Unsupported encoding: " + FromUtf8(*declared));
    converted = ToUtf8(*decoded);
    return converted;
}

// The text to parse: `bytes` themselves when they are to be read as UTF-8, otherwise their
// UTF-8 conversion, stored in `converted`.
std::string_view TextOf(std::string_view bytes, const TXmlCodePageDecoder& decoder,
                        std::string& converted) {
    const TXmlEncodingGuess guess = DetectXmlEncoding(bytes);
    bytes.remove_prefix(guess.markLength);
    switch (guess.encoding) {
        case TXmlEncoding::Unsupported:
            throw EXmlError(u"Unsupported string encoding");
        case TXmlEncoding::Utf8:
            return bytes;
        case TXmlEncoding::Utf16LE:
        case TXmlEncoding::Utf16BE:
            converted = ToUtf8(DecodeUtf16(bytes, guess.encoding == TXmlEncoding::Utf16BE));
            return converted;
        case TXmlEncoding::Ucs4LE:
            converted = ToUtf8(DecodeUcs4LE(bytes));
            return converted;
        case TXmlEncoding::EightBit:
            break;
    }
    return EightBitText(bytes, decoder, converted);
}

const TXmlNode* FirstElement(const TXmlNode& parent) {
    for (size_t i = 0; i < parent.ChildCount(); ++i) {
        if (parent.Child(i).IsElement()) return &parent.Child(i);
    }
    return nullptr;
}

}  // namespace

TXmlDocBase::TXmlDocBase() : top_(std::make_unique<TXmlNode>(TXmlNodeType::Document)) {
    TXmlNode& declaration = top_->AddChild(TXmlNodeType::Declaration);
    declaration.AddAttribute("version", "1.0");
    declaration.AddAttribute("encoding", "UTF-8");
    top_->AddElement("");
}

TXmlNode* TXmlDocBase::Root() {
    return const_cast<TXmlNode*>(FirstElement(*top_));
}

const TXmlNode* TXmlDocBase::Root() const {
    return FirstElement(*top_);
}

void TXmlDocBase::LoadFromBytes(std::string_view bytes) {
    std::string converted;
    const std::string_view text = TextOf(bytes, decoder_, converted);
    auto arena = std::make_unique<TXmlArena>();
    auto top = std::make_unique<TXmlNode>(TXmlNodeType::Document);
    ParseXml(text, *top, *arena);
    if (!FirstElement(*top)) throw EXmlError(u"No root element found in xml");
    // The document holds UTF-8 now, and is saved as such: its declaration must say so.
    TXmlNode& first = top->Child(0);
    const auto encoding = first.Attribute("encoding");
    if (first.Type() == TXmlNodeType::Declaration && encoding && !IsUtf8Name(*encoding)) {
        first.SetAttribute("encoding", "UTF-8");
    }
    // The old nodes go before the arena they may refer to.
    top_ = std::move(top);
    arena_ = std::move(arena);
}

void TXmlDocBase::LoadFromFile(const std::filesystem::path& file) {
    // Read whole at once, so that the file is open only for as long as that takes.
    std::ifstream stream(file, std::ios::binary);
    if (!stream) throw EFileError(Format(u"Cannot open file \"%s\"", {PathText(file)}));
    std::string bytes;
    stream.seekg(0, std::ios::end);
    const std::streamoff size = stream.tellg();
    stream.seekg(0, std::ios::beg);
    if (size > 0) {
        bytes.resize(static_cast<size_t>(size));
        stream.read(bytes.data(), size);
    }
    if (size < 0 || !stream) throw EFileError(Format(u"Cannot read file \"%s\"", {PathText(file)}));
    LoadFromBytes(bytes);
}

std::string TXmlDocBase::SaveToString() const {
    std::string out;
    WriteXml(*top_, style_, indent_, out);
    return out;
}

void TXmlDocBase::SaveToStream(std::ostream& stream) const {
    const std::string bytes = SaveToString();
    if (!stream.write(bytes.data(), static_cast<std::streamsize>(bytes.size())) ||
        !stream.flush()) {
        throw EXmlError(u"Cannot write to output stream");
    }
}

void TXmlDocBase::SaveToFile(const std::filesystem::path& file) const {
    std::ofstream stream(file, std::ios::binary | std::ios::trunc);
    if (!stream) throw EFileError(Format(u"Cannot create file \"%s\"", {PathText(file)}));
    SaveToStream(stream);
    stream.close();
    if (!stream) throw EXmlError(u"Cannot write to output stream");
}

void TXmlDocBase::SetCodePageDecoder(TXmlCodePageDecoder decoder) {
    decoder_ = std::move(decoder);
}

void TXmlDoc::SetIndent(std::string indent) {
    indent_ = std::move(indent);
    style_ = TXmlOutputStyle::Readable;
}

}  // namespace wm
