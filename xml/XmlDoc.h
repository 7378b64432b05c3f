// XML documents: built in memory, loaded from files of any supported encoding, saved as UTF-8.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>

#include "xml/XmlArena.h"
#include "xml/XmlEncoding.h"
#include "xml/XmlNode.h"
#include "xml/XmlWriter.h"

namespace wm {

// A file that cannot be opened, created or read.
WM_DECLARE_EXCEPTION(EFileError, Exception);

class TXmlDocBase {
public:
    // A new document: the declaration (version "1.0", encoding "UTF-8") and an unnamed root.
    TXmlDocBase();
    virtual ~TXmlDocBase() = default;
    TXmlDocBase(const TXmlDocBase&) = delete;
    TXmlDocBase& operator=(const TXmlDocBase&) = delete;

    // The top level: the declaration, the root and whatever else a loaded file holds there.
    TXmlNode& TopLevel() { return *top_; }
    const TXmlNode& TopLevel() const { return *top_; }
    // The first element of the top level; null only for a top level emptied by hand.
    TXmlNode* Root();
    const TXmlNode* Root() const;

    const std::string& Indent() const { return indent_; }
    TXmlOutputStyle Style() const { return style_; }

    // Decodes the code pages that 8-bit documents declare beyond those the layer knows itself
    // (UTF-8, windows-1252, iso-8859-1 and ASCII); the UTF-16 and UTF-32 names never reach it.
    void SetCodePageDecoder(TXmlCodePageDecoder decoder);

    // Replaces the content of the document; on failure the document keeps its content. An
    // 8-bit document (no byte-order mark, no UTF-16 or UTF-32 pattern) that declares a UTF-16
    // or UTF-32 encoding is read as UTF-8. Raises EXmlError "Unsupported string encoding",
    // "Unsupported encoding: <name>" for a declared encoding neither the layer nor the decoder
    // knows, "No root element found in xml" or the parser's error.
    void LoadFromBytes(std::string_view bytes);
    // Raises EFileError when the file cannot be read, then as LoadFromBytes.
    void LoadFromFile(const std::filesystem::path& file);

    std::string SaveToString() const;
    // Raises EXmlError "Cannot write to output stream" when the stream takes fewer bytes.
    void SaveToStream(std::ostream& stream) const;
    // Creates or truncates the file; raises EFileError when it cannot be created, then as
    // SaveToStream.
    void SaveToFile(const std::filesystem::path& file) const;

protected:
    std::string indent_ = "  ";
    TXmlOutputStyle style_ = TXmlOutputStyle::Compact;

private:
    std::unique_ptr<TXmlArena> arena_;  // of the last load; declared first, so it outlives top_
    std::unique_ptr<TXmlNode> top_;
    TXmlCodePageDecoder decoder_;
};

class TXmlDoc : public TXmlDocBase {
public:
    // The indentation per nesting level; switches the document to readable output.
    void SetIndent(std::string indent);
};

}  // namespace wm
