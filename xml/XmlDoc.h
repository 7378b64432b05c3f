// XML documents: built in memory, loaded from files of any supported encoding, saved as UTF-8.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>

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

    // Replaces the content of the document; on failure the document keeps its content.
    // Raises EXmlError "Unsupported string encoding", "No root element found in xml" or the
    // parser's error.
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
    std::unique_ptr<TXmlNode> top_;
};

class TXmlDoc : public TXmlDocBase {
public:
    // The indentation per nesting level; switches the document to readable output.
    void SetIndent(std::string indent);
};

}  // namespace wm
