#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <memory>
#include <vector>

#include "far2l/Records.h"
#include "tests/bridge/FakeFar2l.h"

namespace wm::test {
namespace {

using bridge::TTexts32;

// The fields whose places or names differ between the layouts, and the texts.
TEST(BridgeRecords, HostItemsAreFoldersOrFilesByTheDirectoryAttribute) {
    TTexts32 texts;
    const far::HostText columns[] = {u"c1", u"c\U0001D11E"};
    far::PluginPanelItem group{};
    group.FindData.dwFileAttributes = far::FILE_ATTRIBUTE_DIRECTORY;
    group.FindData.nPackSize = 42;
    group.FindData.lpwszFileName = u"gr\U0001F600up";
    group.UserData = 0xFEEDFACECAFE;
    group.CustomColumnData = columns;
    group.CustomColumnNumber = 2;
    alignas(8) const far2l::PluginPanelItem folder = bridge::ToHostItem(group, texts);
    EXPECT_EQ(folder.FindData.dwUnixMode, bridge::kFolderMode);
    EXPECT_EQ(folder.FindData.nPhysicalSize, 42u);
    EXPECT_EQ(T32(folder.FindData.lpwszFileName), U"gr\U0001F600up");
    EXPECT_EQ(folder.UserData, 0xFEEDFACECAFEu);
    EXPECT_EQ(folder.Owner, nullptr);
    ASSERT_EQ(folder.CustomColumnNumber, 2);
    EXPECT_EQ(T32(folder.CustomColumnData[1]), U"c\U0001D11E");

    far::PluginPanelItem mark = group;
    mark.FindData.dwFileAttributes = far::FILE_ATTRIBUTE_NORMAL;
    mark.CustomColumnData = nullptr;  // with a count
    alignas(8) const far2l::PluginPanelItem file = bridge::ToHostItem(mark, texts);
    EXPECT_EQ(file.FindData.dwUnixMode, bridge::kFileMode);
    EXPECT_EQ(file.UserData, 0xFEEDFACECAFEu);
    EXPECT_EQ(file.CustomColumnNumber, 0);
}

const std::u32string kNames[] = {U"one", U"t\U0001D11Ewo"};

std::vector<far2l::PluginPanelItem> HostItems() {
    std::vector<far2l::PluginPanelItem> items(2);
    for (size_t k = 0; k < 2; ++k) {
        items[k].FindData.lpwszFileName = kNames[k].c_str();
        items[k].FindData.nFileSize = 100 + k;
        items[k].FindData.nPhysicalSize = 200 + k;
        items[k].UserData = 0xABC0 + k;
    }
    items[1].Description = U"de\U0001F600sc";
    items[1].Owner = U"root";
    return items;
}

TEST(BridgeRecords, ItemsFar2lHandsOverBecomeThePluginsRecords) {
    const std::vector<far2l::PluginPanelItem> host = HostItems();
    bridge::TPluginItems items(host.data(), 2);
    ASSERT_EQ(items.Count(), 2);
    const far::PluginPanelItem* own = items.Data();
    EXPECT_EQ(std::u16string(own[0].FindData.lpwszFileName), u"one");
    EXPECT_EQ(own[0].Description, nullptr);
    EXPECT_EQ(std::u16string(own[1].FindData.lpwszFileName), u"t\U0001D11Ewo");
    EXPECT_EQ(own[1].FindData.nFileSize, 101u);
    EXPECT_EQ(own[1].FindData.nPackSize, 201u);
    EXPECT_EQ(own[1].UserData, 0xABC1u);
    EXPECT_EQ(std::u16string(own[1].Description), u"de\U0001F600sc");
    EXPECT_EQ(std::u16string(own[1].Owner), u"root");

    bridge::TPluginItems none(nullptr, 5);
    EXPECT_EQ(none.Count(), 0);
    EXPECT_EQ(none.Data(), nullptr);
}

TEST(BridgeRecords, PanelItemBlockHoldsTheRecordThenItsTexts) {
    far2l::PluginPanelItem host = HostItems()[1];
    host.FindData.lpwszFileName = U"\U0001F600.txt";
    const size_t size = bridge::PackPluginItem(host, nullptr);
    // The record, then "\U0001F600.txt" (6 units), "de\U0001F600sc" (6) and "root" (4), each ended.
    EXPECT_GE(size, sizeof(far::PluginPanelItem) + (7 + 7 + 5) * sizeof(char16_t));
    EXPECT_EQ(size % alignof(far::PluginPanelItem), 0u);

    auto block = std::make_unique<unsigned char[]>(size);  // exactly the size asked for
    EXPECT_EQ(bridge::PackPluginItem(host, block.get()), size);
    far::PluginPanelItem item;
    std::memcpy(&item, block.get(), sizeof item);
    const auto* begin = block.get();
    for (const far::HostText text : {item.FindData.lpwszFileName, item.Description, item.Owner}) {
        const auto* at = reinterpret_cast<const unsigned char*>(text);
        EXPECT_GE(at, begin + sizeof item);
        EXPECT_LT(at, begin + size);
    }
    EXPECT_EQ(std::u16string(item.FindData.lpwszFileName), u"\U0001F600.txt");
    EXPECT_EQ(std::u16string(item.Description), u"de\U0001F600sc");
    EXPECT_EQ(std::u16string(item.Owner), u"root");
    EXPECT_EQ(item.UserData, 0xABC1u);

    // Absent texts take no room and stay null.
    far2l::PluginPanelItem bare{};
    bare.FindData.lpwszFileName = U"";
    const size_t bareSize = bridge::PackPluginItem(bare, nullptr);
    EXPECT_LE(bareSize, sizeof item + 8);
    auto small = std::make_unique<unsigned char[]>(bareSize);
    bridge::PackPluginItem(bare, small.get());
    std::memcpy(&item, small.get(), sizeof item);
    EXPECT_EQ(std::u16string(item.FindData.lpwszFileName), u"");
    EXPECT_EQ(item.Description, nullptr);
}

// The plugin's answer about a panel, built from texts that die before far2l reads them.
far::OpenPluginInfo PanelAnswer(std::deque<std::u16string>& texts, far::PanelMode& mode,
                                far::KeyBarTitles& keyBar, const far::HostText* titles) {
    far::OpenPluginInfo info{};
    info.StructSize = sizeof info;
    info.Flags = far::OPIF_SHOWNAMESONLY;
    info.CurDir = texts.emplace_back(u"/gr\U0001D11Eup").c_str();
    info.ShortcutData = texts.emplace_back(u"shortcut").c_str();
    mode.ColumnTypes = u"N,C0";
    mode.ColumnWidths = u"0,10";
    mode.ColumnTitles = titles;
    info.PanelModesArray = &mode;
    info.PanelModesNumber = 1;
    info.StartPanelMode = u'3';
    keyBar.Titles[6] = texts.emplace_back(u"MkGroup").c_str();
    info.KeyBar = &keyBar;
    return info;
}

template <size_t Size>
void ExpectFilledUpToItsSize() {
    SCOPED_TRACE(Size);
    constexpr size_t kGuard = 32;
    std::vector<unsigned char> record(Size + kGuard, 0xAB);
    const int32_t structSize = Size;
    std::memcpy(record.data(), &structSize, sizeof structSize);
    bridge::THostPanelInfo kept;
    {
        std::deque<std::u16string> texts;
        far::PanelMode mode{};
        far::KeyBarTitles keyBar{};
        const far::HostText titles[] = {u"Name", u"Path"};  // one a column, no more
        kept.Fill(PanelAnswer(texts, mode, keyBar, titles), record.data());
    }
    for (size_t k = Size; k < Size + kGuard; ++k) ASSERT_EQ(record[k], 0xAB) << "byte " << k;

    alignas(8) far2l::OpenPluginInfo<Size> info;
    std::memcpy(&info, record.data(), Size);
    EXPECT_EQ(info.StructSize, structSize);
    EXPECT_EQ(info.Flags, far::OPIF_SHOWNAMESONLY);
    EXPECT_EQ(T32(info.CurDir), U"/gr\U0001D11Eup");
    EXPECT_EQ(T32(info.ShortcutData), U"shortcut");
    EXPECT_EQ(info.StartPanelMode, u'3');
    ASSERT_EQ(info.PanelModesNumber, 1);
    EXPECT_EQ(T32(info.PanelModesArray[0].ColumnTypes), U"N,C0");
    EXPECT_EQ(T32(info.PanelModesArray[0].ColumnTitles[1]), U"Path");
    ASSERT_NE(info.KeyBar, nullptr);
    EXPECT_EQ(T32(info.KeyBar->Titles[6]), U"MkGroup");
    EXPECT_EQ(info.KeyBar->Titles[5], nullptr);
    EXPECT_EQ(info.Reserved, 0);
    if constexpr (Size >= 120) {
        EXPECT_EQ(info.CurURL, nullptr);
    }
    if constexpr (Size >= 128) {
        EXPECT_EQ(info.CurPath, nullptr);
    }

    // The next answer brings its own texts.
    far::OpenPluginInfo next{};
    next.CurDir = u"/next";
    kept.Fill(next, record.data());  // the last answer's texts go
    std::memcpy(&info, record.data(), Size);
    EXPECT_EQ(T32(info.CurDir), U"/next");
    EXPECT_EQ(info.PanelModesNumber, 0);
    EXPECT_EQ(info.KeyBar, nullptr);
}

TEST(BridgeRecords, PanelInfoFillsEachLayoutUpToItsStructSize) {
    ExpectFilledUpToItsSize<112>();
    ExpectFilledUpToItsSize<120>();
    ExpectFilledUpToItsSize<128>();

    // A record too small for any layout is left alone.
    std::vector<unsigned char> small(112, 0xAB);
    const int32_t size = 104;
    std::memcpy(small.data(), &size, sizeof size);
    far::OpenPluginInfo answer{};
    answer.CurDir = u"/";
    bridge::THostPanelInfo().Fill(answer, small.data());
    for (size_t k = sizeof size; k < small.size(); ++k) ASSERT_EQ(small[k], 0xAB);
}

TEST(BridgeRecords, PluginInfoTextsAreFar2lsAndTheRecordKeepsItsOwnFields) {
    alignas(8) far2l::PluginInfo host{};
    host.StructSize = sizeof host;
    host.SysID = 0x57415950;
    TTexts32 texts;
    const far::HostText menu[] = {u"Way\U0001D11Emarks"};
    far::PluginInfo plugin{};
    plugin.Flags = 0x40;
    plugin.PluginMenuStrings = menu;
    plugin.PluginMenuStringsNumber = 1;
    plugin.PluginConfigStrings = menu;
    plugin.PluginConfigStringsNumber = 1;
    plugin.DiskMenuStringsNumber = 4;  // and no array
    plugin.CommandPrefix = u"cd";
    bridge::ToHostPluginInfo(plugin, host, texts);
    EXPECT_EQ(host.StructSize, 64);
    EXPECT_EQ(host.SysID, 0x57415950u);
    EXPECT_EQ(host.Flags, 0x40u);
    ASSERT_EQ(host.PluginMenuStringsNumber, 1);
    EXPECT_EQ(T32(host.PluginMenuStrings[0]), U"Way\U0001D11Emarks");
    ASSERT_EQ(host.PluginConfigStringsNumber, 1);
    EXPECT_EQ(T32(host.PluginConfigStrings[0]), U"Way\U0001D11Emarks");
    EXPECT_EQ(host.DiskMenuStrings, nullptr);
    EXPECT_EQ(host.DiskMenuStringsNumber, 0);
    EXPECT_EQ(T32(host.CommandPrefix), U"cd");

    plugin.CommandPrefix = nullptr;
    bridge::ToHostPluginInfo(plugin, host, texts);
    const far2l::HostText32 prefix = host.CommandPrefix;  // packed: read, not referred to
    EXPECT_EQ(prefix, nullptr);
}

}  // namespace
}  // namespace wm::test
