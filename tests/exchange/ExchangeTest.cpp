#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "plugin/uMessages.h"
#include "plugin/uXml.h"
#include "tests/framework/TestPlugin.h"

namespace wm::test {
namespace {

const Guid kPlugin = StringToGuid(u"{0123abcd-4567-89ef-0123-456789abcdef}");

class Exchange : public FrameworkTest {
protected:
    Exchange() {
        std::string language = ".Language=English,English\n";
        for (int i = 0; i < MessageCount; ++i) language += "\"m" + std::to_string(i) + "\"\n";
        host.SetLanguageFile(farhost::LanguageFile::Parse(language));
    }

    // The message numbers of the reasons the last reading passed items over for ("m22" is 22).
    std::vector<int> SkippedFor() const {
        std::vector<int> numbers;
        for (const auto& skipped : reading.Skipped) {
            numbers.push_back(std::stoi(ToUtf8(skipped.Reason).substr(1)));
        }
        return numbers;
    }

    std::vector<std::unique_ptr<TWaymarkInfo>> Read(const std::string& bytes, bool* ok = nullptr) {
        TXmlDoc doc;
        doc.LoadFromBytes(bytes);
        std::vector<std::unique_ptr<TWaymarkInfo>> items;
        reading = {};
        const bool result = ReadExchangeDocument(
            doc, [&](std::unique_ptr<TWaymarkInfo> info) { items.push_back(std::move(info)); },
            reading);
        if (ok) *ok = result;
        return items;
    }

    // One item made of `fields`, in a file like the program's own.
    std::unique_ptr<TWaymarkInfo> ReadItem(const std::string& fields) {
        auto items = Read("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<waymarks>\r\n<item>" +
                          fields + "</item>\r\n</waymarks>\r\n");
        EXPECT_LE(items.size(), 1u);
        return items.empty() ? nullptr : std::move(items[0]);
    }

    TExchangeReading reading;
};

TWaymarkInfo Waymark(String name, String directory) {
    TWaymarkInfo info;
    info.SetName(name);
    info.Directory = std::move(directory);
    return info;
}

TEST_F(Exchange, TheEightLineFile) {
    TWaymarkInfo info = Waymark(u"tools/build", u"D:\\src");
    info.Description = u"Build & test";
    EXPECT_EQ(NewExchangeDocument(info)->SaveToString(),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
              "<waymarks>\r\n"
              "  <item>\r\n"
              "    <name>build</name>\r\n"
              "    <description>Build &amp; test</description>\r\n"
              "    <directory>D:\\src</directory>\r\n"
              "  </item>\r\n"
              "</waymarks>\r\n");
}

TEST_F(Exchange, FieldsAreWrittenInOrderWhenTheyHaveAValue) {
    TWaymarkInfo bare = Waymark(u"a", u"");
    bare.Flags = 0x40;  // flags are not written
    TWaymarkInfo full = Waymark(u"g/n\u00e9", u"<&>'\"");
    full.PluginID = kPlugin;
    full.Param = u"p";
    full.HostFile = u"h";
    full.Description = u"d";
    const std::pair<const TWaymarkInfo*, std::string> cases[] = {
        {&bare, "    <name>a</name>\r\n    <directory/>\r\n"},
        {&full,
         "    <name>n\xC3\xA9</name>\r\n    <description>d</description>\r\n"
         "    <directory>&lt;&amp;&gt;&apos;&quot;</directory>\r\n"
         "    <plugin>{0123ABCD-4567-89EF-0123-456789ABCDEF}</plugin>\r\n"
         "    <param>p</param>\r\n    <hostfile>h</hostfile>\r\n"},
    };
    for (const auto& [info, fields] : cases) {
        EXPECT_EQ(NewExchangeDocument(*info)->SaveToString(),
                  "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<waymarks>\r\n  <item>\r\n" +
                      fields + "  </item>\r\n</waymarks>\r\n");
    }
}

TEST_F(Exchange, AGroupsOwnFieldsTravelInAGroupElement) {
    TWaymarkInfo group = Waymark(u"g/tools", u"");
    group.SetIsGroup(true);
    group.Description = u"Build & run";
    const std::string bytes = NewExchangeDocument(group)->SaveToString();
    EXPECT_EQ(bytes,
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<waymarks>\r\n  <group>\r\n"
              "    <name>tools</name>\r\n    <description>Build &amp; run</description>\r\n"
              "  </group>\r\n</waymarks>\r\n");
    const auto read = Read(bytes);
    ASSERT_EQ(read.size(), 1u);
    EXPECT_TRUE(read[0]->IsGroup());
    EXPECT_EQ(read[0]->Name, u"tools");
    EXPECT_EQ(read[0]->Description, u"Build & run");

    EXPECT_TRUE(Read("<waymarks><group><description>d</description></group></waymarks>").empty());
    EXPECT_EQ(SkippedFor(), std::vector<int>{22});
}

TEST_F(Exchange, FilesRoundTrip) {
    const auto file = std::filesystem::temp_directory_path() /
                      ("wm_exchange_" + std::to_string(std::random_device{}()) + ".wmk");
    TWaymarkInfo info = Waymark(u"g/x", u"$(env:HOME)\\a & b");
    info.Description = u"  <&>'\" \u0416\U0001F600  ";
    info.PluginID = kPlugin;
    info.Param = u"\tp";
    info.HostFile = u"h";
    std::filesystem::create_directories(file.parent_path());
    { std::ofstream(file) << std::string(4096, 'x'); }  // truncated by the write
    WriteExchangeFile(info, file);
    EXPECT_EQ(std::filesystem::file_size(file), NewExchangeDocument(info)->SaveToString().size());
    std::vector<std::unique_ptr<TWaymarkInfo>> items;
    EXPECT_TRUE(ReadExchangeFile(
        file, [&](std::unique_ptr<TWaymarkInfo> read) { items.push_back(std::move(read)); },
        reading));
    std::filesystem::remove(file);
    ASSERT_EQ(items.size(), 1u);
    const TWaymarkInfo& read = *items[0];
    EXPECT_EQ(read.Name, u"x");
    EXPECT_EQ(read.Description, u"<&>'\" \u0416\U0001F600");  // the reader trims
    EXPECT_EQ(read.Directory, info.Directory);
    EXPECT_EQ(read.PluginID, kPlugin);
    EXPECT_EQ(read.Param, u"p");
    EXPECT_EQ(read.HostFile, u"h");
    EXPECT_EQ(read.Flags, 0);
    EXPECT_EQ(reading.Items, 1u);
    EXPECT_TRUE(reading.Skipped.empty());
}

// Name|Directory|Description|PluginID (empty for the null GUID).
String Fields(const TWaymarkInfo& info) {
    return info.Name + u"|" + info.Directory + u"|" + info.Description + u"|" +
           (IsNullGuid(info.PluginID) ? String() : GuidToString(info.PluginID));
}

TEST_F(Exchange, ItemReadingRules) {
    const String guid = u"{0123ABCD-4567-89EF-0123-456789ABCDEF}";
    struct Case {
        const char* fields;
        String read;      // Fields() of the item, or empty when it is refused
        int message = 0;  // the reason for a refused item; 0 for none
    };
    const Case cases[] = {
        {"<name>a</name><directory/>", u"a|||"},
        {"<name>a</name><name>b</name><directory>d</directory>", u"a|d||"},
        {"<name>\n\t a/./b/../c \r\n</name><directory>  d\x01 </directory>", u"a/c|d||"},
        {"<name><![CDATA[ x &amp; y ]]></name><directory>d</directory>", u" x & y |d||"},
        {"<name>n<![CDATA[c]]></name><directory>d</directory>", u"c|d||"},
        {"<name>x</name><directory>&#65534;&#65535;&#x10000;</directory>",
         u"x|\uFFFE&#65535;&#x10000;||"},
        {"<name>x</name><directory>a &lt; b & c</directory>", u"x|a < b & c||"},
        {"<name>x</name><directory/><description>caf\xE9 \x80</description>",
         u"x||caf\u00e9 \u20ac|"},
        {"<name>x</name><description>\xD0\x96</description><directory/>", u"x||\u0416|"},
        {"<name>x</name><directory/><plugin>{0123ABCD-4567-89EF-0123-456789ABCDEF}</plugin>",
         u"x|||" + guid},
        {"<name>x</name><directory/><plugin> {0123abcd-4567-89ef-0123-456789abcdef} </plugin>",
         u"x|||" + guid},
        {"<name>x</name><directory/><plugin/>", u"x|||"},
        {"<name>x</name><directory/><plugin>nope</plugin>", u"", 74},
        {"<Name>x</Name><directory>d</directory>", u"", 22},
        {"<group><name>x</name></group><directory>d</directory>", u"", 22},
        {"<name/><directory>d</directory>", u"", 23},
        {"<name> \t </name><directory>d</directory>", u"", 23},
        {"<name>a/..</name><directory>d</directory>", u"", 23},
        {"<name>x</name><Directory>d</Directory>", u"", 24},
    };
    for (const Case& c : cases) {
        host.ClearRecords();
        const auto info = ReadItem(c.fields);
        EXPECT_EQ(info ? Fields(*info) : String(), c.read) << c.fields;
        EXPECT_EQ(SkippedFor(), c.message ? std::vector<int>{c.message} : std::vector<int>{})
            << c.fields;
        EXPECT_TRUE(host.Messages().empty()) << c.fields;
    }
}

TEST_F(Exchange, ForeignFilesAreReadLikeOurOwn) {
    bool ok = false;
    const auto items = Read(
        "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- exported -->\n"
        "<waymarks version=\"2\">\n  text\n  <item id=\"1\"><name>a</name><directory>x"
        "</directory></item>\n  <other><name>skip</name><directory/></other>\n"
        "  <item><directory>no name</directory></item>\n  <ITEM><name>skip</name></ITEM>\n"
        "  <item>\n    <name>b</name>\n    <directory>y</directory>\n  </item>\n"
        "</waymarks>\n",
        &ok);
    EXPECT_TRUE(ok);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0]->Name, u"a");
    EXPECT_EQ(items[1]->Name, u"b");
    EXPECT_EQ(items[1]->Directory, u"y");
    EXPECT_EQ(reading.Items, 3u);
    EXPECT_EQ(SkippedFor(), std::vector<int>{22});
    EXPECT_EQ(reading.Skipped[0].Number, 2u);
}

TEST_F(Exchange, AnotherRootIsRefused) {
    bool ok = true;
    EXPECT_TRUE(Read("<Waymarks><item><name>a</name><directory/></item></Waymarks>", &ok).empty());
    EXPECT_FALSE(ok);
    EXPECT_TRUE(host.Messages().empty());  // the caller says it
}

TEST_F(Exchange, PathLookup) {
    TXmlDoc doc;
    doc.LoadFromBytes(
        "<r><A><b k='1'>first</b><B k='2'>upper</B><b k='2'>second</b></A><a><c/></a></r>");
    const TXmlNode& root = *doc.Root();
    const auto text = [](const TXmlNode* node) { return node ? node->Value() : "(none)"; };
    EXPECT_EQ(text(FindXmlNode(root, "a/b")), "first");
    EXPECT_EQ(text(FindXmlNode(root, "a/B")), "upper");
    EXPECT_EQ(text(FindXmlNode(root, "A/b", "k", "2")), "second");
    EXPECT_EQ(FindXmlNode(root, "A/b", "k", "3"), nullptr);
    EXPECT_EQ(FindXmlNode(root, "a/c"), nullptr);  // the first "a", whatever its case
    EXPECT_EQ(FindXmlNode(root, "A"), &root.Child(0));
}

// A file larger than an exchange file may be is refused before it is read, naming both sizes.
TEST_F(Exchange, FilesOverFourMebibytesAreRefusedUnread) {
    std::string language = ".Language=English,English\n";
    for (int i = 0; i < MessageCount; ++i) {
        language += i == MFileTooLarge
                        ? "\"The file holds %s bytes; an exchange file may hold at most %s\"\n"
                        : "\"m" + std::to_string(i) + "\"\n";
    }
    host.SetLanguageFile(farhost::LanguageFile::Parse(language));
    const auto file = std::filesystem::temp_directory_path() /
                      ("wm_large_" + std::to_string(std::random_device{}()) + ".wmk");
    const auto take = [](std::unique_ptr<TWaymarkInfo>) {};
    constexpr size_t kLimit = 4 << 20;
    for (size_t size : {kLimit, kLimit + 1}) {
        std::string bytes = "<waymarks>";
        bytes.resize(size - 11, ' ');
        std::ofstream(file, std::ios::binary) << bytes << "</waymarks>";
        if (size == kLimit) {
            EXPECT_TRUE(ReadExchangeFile(file, take, reading));
            continue;
        }
        try {
            ReadExchangeFile(file, take, reading);
            ADD_FAILURE();
        } catch (const EFileError& e) {
            EXPECT_EQ(e.Message(),
                      u"The file holds 4194305 bytes; an exchange file may hold at most 4194304");
        }
    }
    std::filesystem::remove(file);
}

}  // namespace
}  // namespace wm::test
