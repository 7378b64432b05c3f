// Documents whose declaration names their encoding, read with and without the platform decoder.
#include <gtest/gtest.h>

#include "platform/CodePages.h"
#include "xml/XmlDoc.h"
#include "xml/XmlText.h"

namespace wm {
namespace {

std::string Declared(std::string_view encoding, std::string_view text) {
    return "<?xml version=\"1.0\" encoding=\"" + std::string(encoding) + "\"?><r>" +
           std::string(text) + "</r>";
}

String LoadedText(const std::string& bytes, bool withDecoder = true) {
    TXmlDoc doc;
    if (withDecoder) doc.SetCodePageDecoder(platform::DecodeCodePage);
    doc.LoadFromBytes(bytes);
    return DecodeXmlText(doc.Root()->Value());
}

const String kPrivet = u"\u041F\u0440\u0438\u0432\u0435\u0442";
const String kZlutoucky = u"\u017Dlu\u0165ou\u010Dk\u00FD";

TEST(XmlCodePages, DeclaredCodePagesAreDecodedThroughTheDecoder) {
    const struct {
        const char* encoding;
        const char* bytes;
        String text;
    } cases[] = {
        {"cp866", "\x8F\xE0\xA8\xA2\xA5\xE2", kPrivet},
        {"IBM866", "\x8F\xE0\xA8\xA2\xA5\xE2", kPrivet},
        {"koi8-r", "\xF0\xD2\xC9\xD7\xC5\xD4", kPrivet},
        {"KOI8-R", "\xF0\xD2\xC9\xD7\xC5\xD4", kPrivet},
        {"windows-1251", "\xCF\xF0\xE8\xE2\xE5\xF2", kPrivet},
        {"Windows-1251", "\xC6\x88\xB9", u"\u0416\u20ac\u2116"},
        {"iso-8859-5", "\xBF\xE0\xD8\xD2\xD5\xE2", kPrivet},
        {"windows-1250", "\x8Elu\x9Dou\xE8k\xFD", kZlutoucky},
        {"ISO-8859-2", "\xAElu\xBBou\xE8k\xFD", kZlutoucky},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LoadedText(Declared(c.encoding, c.bytes)), c.text) << c.encoding;
    }
}

TEST(XmlCodePages, EightBitDocumentsClaimingUtf16OrUtf32AreUtf8) {
    for (const char* encoding : {"utf-16", "UTF-16LE", "utf-16be", "utf-32", "UTF-32BE", "ucs-2",
                                 "ucs-4", "iso-10646-ucs-2"}) {
        for (bool withDecoder : {false, true}) {
            TXmlDoc doc;
            if (withDecoder) doc.SetCodePageDecoder(platform::DecodeCodePage);
            doc.LoadFromBytes(Declared(encoding, "caf\xC3\xA9"));
            EXPECT_EQ(DecodeXmlText(doc.Root()->Value()), u"caf\u00e9") << encoding;
            EXPECT_NE(doc.SaveToString().find("encoding=\"UTF-8\""), std::string::npos);
        }
    }
}

TEST(XmlCodePages, TheLayerAloneKnowsOnlyItsOwnEncodings) {
    EXPECT_EQ(LoadedText(Declared("windows-1252", "\xE9\x80"), false), u"\u00e9\u20ac");
    EXPECT_EQ(LoadedText(Declared("iso-8859-1", "\xE9"), false), u"\u00e9");
    EXPECT_EQ(LoadedText(Declared("utf-8", "\xD0\x96"), false), u"\u0416");
    // A byte-order mark or a UTF-16 pattern wins over any declared name.
    EXPECT_EQ(LoadedText("\xEF\xBB\xBF" + Declared("koi8-r", "\xD0\x96"), false), u"\u0416");
}

TEST(XmlCodePages, UnknownEncodingsAreRefusedByName) {
    const struct {
        const char* encoding;
        bool withDecoder;
    } cases[] = {
        {"koi8-r", false}, {"windows-1251", false}, {"x-foo", true}, {"utf-8//TRANSLIT", true},
        {"", true},
    };
    for (const auto& c : cases) {
        TXmlDoc doc;
        doc.Root()->SetName("kept");
        if (c.withDecoder) doc.SetCodePageDecoder(platform::DecodeCodePage);
        try {
            doc.LoadFromBytes(Declared(c.encoding, "x"));
            ADD_FAILURE() << c.encoding;
        } catch (const EXmlError& e) {
            EXPECT_EQ(e.Message(), u"Unsupported encoding: " + Str(c.encoding));
        }
        EXPECT_EQ(doc.Root()->Name(), "kept");
    }
}

}  // namespace
}  // namespace wm
