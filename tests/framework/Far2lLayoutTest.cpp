#include <gtest/gtest.h>

// far2l's records exist for x86_64 Linux only; elsewhere this file is empty.
#if defined(__x86_64__) && !defined(_WIN32)

#include <array>
#include <cstring>
#include <optional>
#include <type_traits>
#include <utility>

#include "farhost/engine/DialogAction.h"
#include "host/Far2lPluginW.h"

namespace wm::test {
namespace {

namespace fk = farhost::keys;

// A record's bytes as far2l reads them.
template <class Record>
class Image {
public:
    explicit Image(const Record& record) { std::memcpy(bytes_.data(), &record, sizeof record); }
    template <class T>
    T At(size_t offset) const {
        T value;
        std::memcpy(&value, bytes_.data() + offset, sizeof value);
        return value;
    }
    const unsigned char* Data() const { return bytes_.data(); }

private:
    std::array<unsigned char, sizeof(Record)> bytes_{};
};

const char32_t kName[] = U"name";
const char32_t kOwner[] = U"owner";
const char32_t kGroup[] = U"group";
const char32_t kDescription[] = U"description";

TEST(Far2lLayout, PanelItemFieldsLandInFar2lsOrder) {
    far2l::PluginPanelItem item{};
    item.FindData.ftLastWriteTime = {0x11111111, 0x22222222};
    item.FindData.nPhysicalSize = 0x0102030405060708;
    item.FindData.nFileSize = 0x1112131415161718;
    item.FindData.dwFileAttributes = far::FILE_ATTRIBUTE_DIRECTORY;
    item.FindData.dwUnixMode = 040755;
    item.FindData.lpwszFileName = kName;
    item.UserData = 0xABCDEF0123;
    item.Flags = far::PPIF_SELECTED;
    item.Description = kDescription;
    item.Owner = kOwner;
    item.Group = kGroup;
    item.CustomColumnNumber = 3;
    item.CRC32 = 0xDEADBEEF;

    const Image image(item);
    EXPECT_EQ(image.At<uint32_t>(16), 0x11111111u);
    EXPECT_EQ(image.At<uint32_t>(20), 0x22222222u);
    EXPECT_EQ(image.At<uint64_t>(24), 0x0102030405060708u);
    EXPECT_EQ(image.At<uint64_t>(32), 0x1112131415161718u);
    EXPECT_EQ(image.At<uint32_t>(40), far::FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(image.At<uint32_t>(44), 040755u);
    EXPECT_EQ(image.At<const char32_t*>(48), kName);
    EXPECT_EQ(image.At<uintptr_t>(56), 0xABCDEF0123u);
    EXPECT_EQ(image.At<uint32_t>(64), far::PPIF_SELECTED);
    EXPECT_EQ(image.At<const char32_t*>(72), kDescription);
    EXPECT_EQ(image.At<const char32_t*>(80), kOwner);
    EXPECT_EQ(image.At<const char32_t*>(88), kGroup);
    EXPECT_EQ(image.At<int32_t>(104), 3);
    EXPECT_EQ(image.At<uint32_t>(108), 0xDEADBEEFu);
}

TEST(Far2lLayout, PackedPointersSitAtFourByteOffsets) {
    const far2l::HostText32 strings[] = {kName};
    far2l::PluginInfo info{};
    info.DiskMenuStringsNumber = 5;
    info.PluginMenuStrings = strings;
    info.PluginMenuStringsNumber = 1;
    info.PluginConfigStrings = strings;
    info.CommandPrefix = kName;
    info.SysID = 0x57415950;
    const Image plugin(info);
    EXPECT_EQ(plugin.At<int32_t>(24), 5);
    EXPECT_EQ(plugin.At<const far2l::HostText32*>(28), strings);
    EXPECT_EQ(plugin.At<int32_t>(36), 1);
    EXPECT_EQ(plugin.At<const far2l::HostText32*>(40), strings);
    EXPECT_EQ(plugin.At<const char32_t*>(52), kName);
    EXPECT_EQ(plugin.At<uint32_t>(60), 0x57415950u);

    const far2l::FarMenuItem items[2] = {{kName, 1, 0, 0}, {kOwner, 0, 1, 1}};
    const Image menu(items);
    EXPECT_EQ(menu.At<const char32_t*>(20), kOwner);  // the second item, 20 bytes on
    EXPECT_EQ(menu.At<int32_t>(32), 1);
    EXPECT_EQ(menu.At<int32_t>(36), 1);
}

const far2l::PanelMode kModes[1]{};
const far2l::KeyBarTitles kKeyBar{};

template <class Info>
Info FilledOpenPluginInfo() {
    Info info{};
    info.StructSize = sizeof info;
    info.Flags = far::OPIF_SHOWNAMESONLY;
    info.CurDir = kName;
    info.PanelTitle = kOwner;
    info.InfoLinesNumber = 2;
    info.PanelModesArray = kModes;
    info.PanelModesNumber = 1;
    info.StartPanelMode = u'0';
    info.StartSortOrder = 1;
    info.KeyBar = &kKeyBar;
    info.ShortcutData = kGroup;
    info.Reserved = -1;
    return info;
}

TEST(Far2lLayout, OpenPluginInfoVersionsDifferOnlyAfterShortcutData) {
    auto v26 = FilledOpenPluginInfo<far2l::OpenPluginInfo<112>>();
    auto v28 = FilledOpenPluginInfo<far2l::OpenPluginInfo<120>>();
    auto head = FilledOpenPluginInfo<far2l::OpenPluginInfo<128>>();
    v28.CurURL = kDescription;
    head.CurURL = kDescription;
    head.CurPath = kName;
    const Image a(v26);
    const Image b(v28);
    const Image c(head);

    EXPECT_EQ(std::memcmp(a.Data() + 4, b.Data() + 4, 100), 0);
    EXPECT_EQ(std::memcmp(a.Data() + 4, c.Data() + 4, 100), 0);
    EXPECT_EQ(a.At<int32_t>(0), 112);
    EXPECT_EQ(b.At<int32_t>(0), 120);
    EXPECT_EQ(c.At<int32_t>(0), 128);
    EXPECT_EQ(a.At<const char32_t*>(96), kGroup);
    EXPECT_EQ(a.At<int64_t>(104), -1);
    EXPECT_EQ(b.At<const char32_t*>(104), kDescription);
    EXPECT_EQ(b.At<int64_t>(112), -1);
    EXPECT_EQ(c.At<const char32_t*>(104), kDescription);
    EXPECT_EQ(c.At<const char32_t*>(112), kName);
    EXPECT_EQ(c.At<int64_t>(120), -1);
}

// Host functions, typed as the plugin calls them; far2l writes them as raw pointers.
intptr_t HostAdvControl(intptr_t module, int32_t command, void*, void* param2) {
    return module * 1000 + command + (param2 ? 1 : 0);
}
far::HANDLE HostDialogInit(intptr_t, int32_t, int32_t, int32_t, int32_t, far2l::HostText32,
                           far2l::FarDialogItem* item, uint32_t, uint32_t, uint32_t,
                           far::FARWINDOWPROC, intptr_t) {
    return item;
}
char32_t* HostTruncPathStr(char32_t* text, int32_t cells) {
    return text + cells;
}

template <size_t Size>
void ExpectStartupReachesHost(size_t dialogInitOffset) {
    using Startup = far2l::PluginStartupInfo<Size>;
    std::remove_pointer_t<decltype(Startup::FSF)> functions{};
    std::array<unsigned char, Size> bytes{};
    const auto put = [](unsigned char* at, auto value) { std::memcpy(at, &value, sizeof value); };
    put(reinterpret_cast<unsigned char*>(&functions) + 276,
        far2l::FARSTDTRUNCPATHSTR{&HostTruncPathStr});
    put(bytes.data() + 148, &functions);
    put(bytes.data() + 164, far2l::FARAPIADVCONTROL{&HostAdvControl});
    put(bytes.data() + dialogInitOffset, far2l::FARAPIDIALOGINIT{&HostDialogInit});

    Startup info;
    std::memcpy(&info, bytes.data(), Size);
    int param = 0;
    EXPECT_EQ(info.AdvControl(7, far::ACTL_GETFARRECT, nullptr, &param), 7033);
    far2l::FarDialogItem item{};
    EXPECT_EQ(info.DialogInit(0, 0, 0, 10, 5, nullptr, &item, 1, 0, 0, nullptr, 0), &item);
    char32_t path[] = U"/tmp/x";
    EXPECT_EQ(info.FSF->TruncPathStr(path, 4), path + 4);
}

TEST(Far2lLayout, StartupFunctionsAreFoundWhereEachVersionPutsThem) {
    ExpectStartupReachesHost<260>(180);
    ExpectStartupReachesHost<276>(188);
}

struct KeyCase {
    uint32_t far2l;
    std::optional<uint32_t> far2;
};

TEST(Far2lKeys, CodesTranslateToFar2sNumbering) {
    const KeyCase cases[] = {
        // characters: FAR 2's are 16-bit
        {'a', 'a'},
        {fk::Enter, fk::Enter},
        {0x044F, 0x044F},
        {0xFFFF, 0xFFFF},
        {0x10000, std::nullopt},
        {0x1F600, std::nullopt},
        // extended keys and the internal ranges (mouse wheel, "no key")
        {0x200070, fk::F1},
        {0x20007B, fk::F1 + 11},
        {0x200021, fk::PgUp},
        {0x20002E, fk::Del},
        {0x280003, 0x20003},
        {0x300001, 0x30001},
        {0x210000, std::nullopt},
        {0x380000, std::nullopt},
        // modifiers, alone and combined; right Ctrl and right Alt keep their own FAR 2 bits
        {0x04000000, fk::Ctrl},
        {0x04200073, fk::Ctrl | (fk::F1 + 3)},
        {0x08000078, fk::Alt | 'x'},
        {0x10000009, fk::Shift | fk::Tab},
        {0x1C20002E, fk::Ctrl | fk::Alt | fk::Shift | fk::Del},
        {0x20000030, 0x10000030u},
        {0x40200070, 0x20000000u | fk::F1},
        {0x14210000, std::nullopt},
        // far2l's own bits: Alt+digits, right Shift, internal marks, the reserved top bit
        {0x01000031, std::nullopt},
        {0x02000000, std::nullopt},
        {0x00400061, std::nullopt},
        {0x00800061, std::nullopt},
        {0x80000061, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(far2l::ToFar2Key(c.far2l), c.far2) << std::hex << "far2l key 0x" << c.far2l;
    }
}

TEST(Far2lKeys, NamedKeysMapToTheStandInHostsCodesWithModifiers) {
    const std::pair<uint32_t, uint32_t> named[] = {
        {far2l::keys::PgUp, fk::PgUp},   {far2l::keys::PgDn, fk::PgDn},
        {far2l::keys::End, fk::End},     {far2l::keys::Home, fk::Home},
        {far2l::keys::Left, fk::Left},   {far2l::keys::Up, fk::Up},
        {far2l::keys::Right, fk::Right}, {far2l::keys::Down, fk::Down},
        {far2l::keys::Ins, fk::Ins},     {far2l::keys::Del, fk::Del},
        {far2l::keys::F1, fk::F1},       {far2l::keys::F1 + 11, fk::F1 + 11},
    };
    const std::pair<uint32_t, uint32_t> modifiers[] = {
        {0, 0},
        {far2l::keys::Ctrl | far2l::keys::Shift, fk::Ctrl | fk::Shift},
        {far2l::keys::Alt, fk::Alt}};
    for (const auto& [own, far2] : named) {
        for (const auto& [ownMods, far2Mods] : modifiers) {
            const auto mapped = far2l::ToFar2Key(own | ownMods);
            ASSERT_TRUE(mapped.has_value()) << std::hex << (own | ownMods);
            EXPECT_EQ(*mapped & ~fk::ModifierMask, far2);
            EXPECT_EQ(*mapped & fk::ModifierMask, far2Mods);
        }
    }
}

}  // namespace
}  // namespace wm::test

#endif
