#include "farhost/engine/LanguageFile.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <string>

namespace farhost {
namespace {

namespace fs = std::filesystem;
using wm::String;

std::string Utf16Bytes(const String& text, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t c : text) {
        const char high = static_cast<char>(c >> 8), low = static_cast<char>(c & 0xFF);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

TEST(LanguageFile, ByteOrderMarkDecidesTheEncoding) {
    const String text =
        u".Language=Russian,Russian (\u0420\u0443\u0441)\r\n\"\u041F\u0443\u0442\u044C\"\r\n";
    struct Case {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"UTF-8", "\xEF\xBB\xBF" + wm::ToUtf8(text)},
        {"UTF-16LE", Utf16Bytes(text, false)},
        {"UTF-16BE", Utf16Bytes(text, true)},
        {"UTF-16LE with an odd trailing byte", Utf16Bytes(text, false) + "\x41"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const LanguageFile file = LanguageFile::Parse(c.bytes);
        EXPECT_EQ(file.Language(), u"Russian");
        EXPECT_EQ(file.Description(), u"Russian (\u0420\u0443\u0441)");
        EXPECT_EQ(file.Messages(), std::vector<String>{u"\u041F\u0443\u0442\u044C"});
    }
}

TEST(LanguageFile, WithoutByteOrderMarkEveryByteIsOneCharacter) {
    // "é" in UTF-8 is two bytes; without a mark they must not be decoded as UTF-8.
    const LanguageFile file = LanguageFile::Parse("\"caf\xC3\xA9\"\n\"\xE9t\xE9\"");
    EXPECT_EQ(file.Messages(), (std::vector<String>{u"caf\u00C3\u00A9", u"\u00E9t\u00E9"}));
}

TEST(LanguageFile, MessageLineRules) {
    const struct {
        const char* line;
        const char16_t* expected;
    } cases[] = {
        {R"("plain")", u"plain"},
        {R"("no closing quote)", u"no closing quote"},
        {" \t \"trimmed\" \t\r", u"trimmed"},
        {R"("  inner blanks kept  ")", u"  inner blanks kept  "},
        {R"("a\\b")", u"a\\b"},
        {R"("say \"hi\"")", u"say \"hi\""},
        {R"("\n\r\t\b")", u"\n\r\t\b"},
        // The closing quote goes first, so the backslash before it stays a backslash.
        {R"("C:\dir\x\")", u"C:\\dir\\x\\"},
        {R"("trailing\)", u"trailing\\"},
        {R"("two ""quotes""")", u"two \"quotes\""},
        {R"("ends with a doubled quote "")", u"ends with a doubled quote \""},
        {R"("mid"quote")", u"mid\"quote"},
        {R"("")", u""},
        {R"(")", u""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(LanguageFile::Parse(c.line).Messages(), std::vector<String>{c.expected});
    }
}

TEST(LanguageFile, OnlyQuotedLinesAreMessagesNumberedFromZero) {
    const LanguageFile file = LanguageFile::Parse(
        "  .Language=English , English (default)  \r\n"
        "// a comment \"with quotes\"\r\n"
        "\r\n"
        "\"zero\"\r\n"
        "   \t\r\n"
        "text \"not a message\"\r\n"
        "\t\"one\"\r\n"
        ".Language=Russian,Russian\r\n"
        "\"two\"");
    EXPECT_EQ(file.Language(), u"English");
    EXPECT_EQ(file.Description(), u"English (default)");
    EXPECT_EQ(file.Messages(), (std::vector<String>{u"zero", u"one", u"two"}));

    const LanguageFile bare = LanguageFile::Parse("\"only\"\n");
    EXPECT_TRUE(bare.Language().empty());
    EXPECT_EQ(bare.Messages().size(), 1u);
}

class TempFolder {
public:
    TempFolder() {
        static std::atomic<int> counter{0};
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        path_ = fs::temp_directory_path() /
                ("farhost-lng-" + std::to_string(stamp) + "-" + std::to_string(counter++));
        fs::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const fs::path& Path() const { return path_; }
    void Write(const std::string& name, const std::string& bytes) const {
        std::ofstream(path_ / name, std::ios::binary) << bytes;
    }

private:
    fs::path path_;
};

std::string Lng(const std::string& language, const std::string& message) {
    return ".Language=" + language + "," + language + "\r\n\"" + message + "\"\r\n";
}

TEST(LanguageFile, ForModuleChoosesTheInterfaceLanguageElseEnglish) {
    TempFolder all;
    all.Write("PlugEng.lng", Lng("English", "english"));
    all.Write("PlugRus.LNG", Lng("Russian", "russian"));
    all.Write("PlugGer.txt", Lng("German", "not a language file"));
    TempFolder russianOnly;
    russianOnly.Write("PlugRus.lng", Lng("Russian", "russian"));
    TempFolder empty;

    const struct {
        const TempFolder& folder;
        const char16_t* language;
        std::optional<String> expected;
    } cases[] = {
        {all, u"Russian", u"russian"},         {all, u"rUSSIAN", u"russian"},
        {all, u"English", u"english"},         {all, u"German", u"english"},
        {russianOnly, u"Russian", u"russian"}, {russianOnly, u"German", std::nullopt},
        {empty, u"English", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(wm::ToUtf8(c.folder.Path().u16string() + u" " + c.language));
        const auto file = LanguageFile::ForModule(c.folder.Path() / "Plug.so", c.language);
        ASSERT_EQ(file.has_value(), c.expected.has_value());
        if (file) {
            EXPECT_EQ(file->Messages().at(0), *c.expected);
        }
    }
    EXPECT_FALSE(LanguageFile::ForModule(all.Path() / "missing" / "Plug.so", u"English"));
}

}  // namespace
}  // namespace farhost
