// The language and help files shipped next to the module.
#include <gtest/gtest.h>

#include <algorithm>

#include "farhost/engine/LanguageFile.h"
#include "plugin/uMessages.h"
#include "tests/support/BinaryExports.h"
#include "tests/support/Paths.h"

namespace wm::test {
namespace {

std::filesystem::path PackageDir() {
    return BuiltFile(WAYMARKS_MODULE_PATH).parent_path();
}

size_t Count(StringView text, StringView what) {
    size_t count = 0;
    for (auto at = text.find(what); at != StringView::npos; at = text.find(what, at + 1)) ++count;
    return count;
}

TEST(LanguageFiles, EachLanguageHasEveryMessageInItsPlace) {
    for (const char* name : {"WaymarksEng.lng", "WaymarksRus.lng"}) {
        SCOPED_TRACE(name);
        const auto file = farhost::LanguageFile::Load(PackageDir() / name);
        ASSERT_EQ(file.Messages().size(), static_cast<size_t>(MessageCount));
        EXPECT_EQ(Count(file.Messages()[MExceptionHeader], u"%s"), 1u);
        EXPECT_EQ(Count(file.Messages()[MExceptionHeader], u"%"), 1u);
        for (int m : {MTitle, MOk, MCancel, MYes, MNo, MWaymarkNotFound, MEmptyName,
                      MForbiddenCharacter, MChooseName, MNotAGroup, MNoPreviousLocation}) {
            EXPECT_FALSE(file.Messages()[m].empty()) << m;
        }
        EXPECT_TRUE(file.Messages()[MDateTimePattern].empty());
    }
    EXPECT_EQ(farhost::LanguageFile::Load(PackageDir() / "WaymarksEng.lng").Language(), u"English");
    EXPECT_EQ(farhost::LanguageFile::Load(PackageDir() / "WaymarksRus.lng").Language(), u"Russian");
}

// Topic names of a help file, lower-cased ASCII: lines "@Name".
std::vector<std::string> HelpTopics(const std::string& bytes) {
    std::vector<std::string> topics;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos) end = bytes.size();
        std::string line = bytes.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.size() > 1 && line[0] == '@' && line[1] != '@' && line[1] != '-') {
            std::string topic = line.substr(1);
            std::transform(topic.begin(), topic.end(), topic.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
            topics.push_back(topic);
        }
        start = end + 1;
    }
    return topics;
}

// The targets of the links "~text~@Topic@", lower-cased.
std::vector<std::string> LinkTargets(const std::string& bytes) {
    std::vector<std::string> targets;
    for (size_t at = bytes.find("~@"); at != std::string::npos; at = bytes.find("~@", at + 2)) {
        const size_t end = bytes.find('@', at + 2);
        if (end == std::string::npos) break;
        std::string target = bytes.substr(at + 2, end - at - 2);
        std::transform(target.begin(), target.end(), target.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        targets.push_back(target);
    }
    return targets;
}

TEST(HelpFiles, HaveTheTopicsThePluginOpensAndEveryLinkResolves) {
    std::vector<std::vector<std::string>> topicsByFile;
    for (const char* name : {"WaymarksEng.hlf", "WaymarksRus.hlf"}) {
        SCOPED_TRACE(name);
        const std::string bytes = ReadFileBytes(PackageDir() / name);
        EXPECT_TRUE(bytes.starts_with("\xEF\xBB\xBF.Language="));
        EXPECT_NE(bytes.find("\n.PluginContents="), std::string::npos);
        // The contents topic names the version the package is.
        EXPECT_NE(bytes.find("@Contents\n$^#Waymarks " WAYMARKS_VERSION_TEXT "#"),
                  std::string::npos);
        auto topics = HelpTopics(bytes);
        // The dialogs' and the menu's topics, and the one the host opens first.
        for (const char* topic : {"contents", "editor", "choosenamemenu"}) {
            EXPECT_NE(std::find(topics.begin(), topics.end(), topic), topics.end()) << topic;
        }
        const auto targets = LinkTargets(bytes);
        EXPECT_FALSE(targets.empty());
        for (const auto& target : targets) {
            EXPECT_NE(std::find(topics.begin(), topics.end(), target), topics.end()) << target;
        }
        std::sort(topics.begin(), topics.end());
        topicsByFile.push_back(std::move(topics));
    }
    EXPECT_EQ(topicsByFile[0], topicsByFile[1]) << "both languages have the same topics";
}

}  // namespace
}  // namespace wm::test
