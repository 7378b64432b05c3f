// The panel's copy and move: waymarks out to exchange files in a directory tree that mirrors
// the groups, and exchange files and directories in.
#include "framework/FarModule.h"
#include "platform/CharCase.h"
#include "platform/FileSystem.h"
#include "plugin/uConfirmUI.h"
#include "plugin/uFunctions.h"
#include "plugin/uImportReport.h"
#include "plugin/uMessages.h"
#include "plugin/uOptions.h"
#include "plugin/uPanel.h"
#include "plugin/uTasks.h"
#include "plugin/uXml.h"
#include "xml/XmlDoc.h"

namespace wm {
namespace {

namespace fs = std::filesystem;

constexpr StringView kFileExtension = u".wmk";

String PathText(const fs::path& path) {
    return path.u16string();
}

// The entry path of `name` inside `group`, or empty with the reason in `why` when it is no valid
// name. The name is normalised on its own, so that ".." cannot climb out of the group.
String EntryPathIn(StringView group, StringView name, String& why) {
    const String inner = TWaymarkInfo::NormalizeName(name);
    try {
        return TOptions::ValidateNewName(group.empty() ? inner : String(group) + u"/" + inner);
    } catch (const EWaymarkError& error) {
        why = error.Message();
        return {};
    }
}

// Inside a folder only exchange files are read.
bool IsExchangeFileName(const fs::path& file) {
    return platform::SameTextIgnoringCase(PathText(file.extension()), kFileExtension);
}

}  // namespace

bool TWaymarksPanel::GetFile(far::PluginPanelItem& item, int opMode, StringView destPath,
                             bool move) {
    const String name = FromHostString(item.FindData.lpwszFileName);
    if ((opMode & far::OPM_EDIT) != 0) {
        const bool edited = TWaymarks::EditByName(name);
        if (edited) Update();
        return edited;
    }
    const auto found = TWaymarks::Find(name, false);
    if (!found || !ExportEntry(*found, destPath, move, (opMode & far::OPM_SILENT) != 0)) {
        return false;
    }
    item.Flags &= ~far::PPIF_SELECTED;
    return true;
}

bool TWaymarksPanel::ExportEntry(const TWaymarkInfo& entry, StringView destination, bool move,
                                 bool silent) {
    std::error_code ignored;
    const fs::path directory = fs::absolute(fs::path(String(destination)), ignored);
    if (directory.empty()) return false;
    fs::create_directories(directory, ignored);

    const String last = ExtractLastComponent(entry.Name);
    const String fileName = entry.IsGroup() ? last : last + String(kFileExtension);
    if (!platform::IsValidFileName(fileName)) {
        if (!silent) ShowErrorLines({MessageText(MNotAFileName), entry.Name});
        return false;
    }
    const fs::path target = directory / fs::path(fileName);
    if (!entry.IsGroup()) return WriteWaymarkFile(entry, target, move, silent);

    size_t start = 0;
    const auto members = TWaymarks::ListChildren(entry.Name, false, start);
    if (!members) return false;
    bool all = true;
    for (const String& member : *members) {
        const auto stored = TWaymarks::Find(member, false);
        all = stored && ExportEntry(*stored, PathText(target), move, silent) && all;
    }
    // The group's own fields go beside the folder, in a file no waymark can be named like.
    if (!entry.Description.empty()) {
        const fs::path record = directory / fs::path(last + String(kFileExtension));
        all = WriteWaymarkFile(entry, record, false, silent) && all;
    }
    if (all && move) TWaymarks::Delete(entry.Name);
    return all;
}

bool TWaymarksPanel::WriteWaymarkFile(const TWaymarkInfo& waymark, const fs::path& file, bool move,
                                      bool silent) {
    std::error_code ignored;
    if (fs::exists(file, ignored)) {
        if (silent) return false;
        if (!MayOverwrite([&] { return TConfirmOverwriteFileDialog::Ask(PathText(file)); })) {
            return false;
        }
    }
    try {
        WriteExchangeFile(waymark, file);
    } catch (const Exception& error) {
        ShowErrorLines({MessageText(MFileWriteFailed), PathText(file), error.Message()});
        return false;
    }
    if (move) TWaymarks::Delete(waymark.Name);
    return true;
}

bool TWaymarksPanel::DecideOverwrite(int answer) {
    switch (answer) {
        case TConfirmOverwriteDialog::OverwriteOne:
            return true;
        case TConfirmOverwriteDialog::OverwriteAll:
            OverwriteChoice = 1;
            return true;
        case TConfirmOverwriteDialog::SkipAll:
            OverwriteChoice = 2;
            return false;
        case TConfirmOverwriteDialog::CancelAll:
            throw EAbort();
        default:
            return false;
    }
}

int TWaymarksPanel::PutFile(far::PluginPanelItem& item, int opMode, StringView srcPath,
                            bool /*move*/) {
    // The host hands over ".." when the cursor stands on it and nothing is marked.
    const String name = FromHostString(item.FindData.lpwszFileName);
    if (name.empty() || name == u"." || name == u"..") return 0;
    // A move in copies: the source files stay where they are.
    const fs::path source = fs::path(String(srcPath)) / fs::path(name);
    StoredCount = 0;
    bool imported = false;
    try {
        imported = ImportPath(CurrentDir, source, (opMode & far::OPM_SILENT) != 0, true);
    } catch (...) {
        if (StoredCount > 0) Update();
        throw;
    }
    if (imported || StoredCount > 0) Update();
    if (!imported) return 0;
    item.Flags &= ~far::PPIF_SELECTED;
    return 2;
}

bool TWaymarksPanel::ImportPath(const String& group, const fs::path& source, bool silent,
                                bool chosen) {
    std::error_code ignored;
    if (fs::is_directory(source, ignored)) {
        // A folder reached through a link can lead round to where the walk started.
        if (!chosen && platform::IsLinkedDirectory(PathText(source))) return true;
        return ImportDirectory(group, source, silent);
    }
    // A file the user chose is read whatever its name; other files in a folder are passed over.
    if (!chosen && !IsExchangeFileName(source)) return true;
    return ImportFile(group, source, silent);
}

bool TWaymarksPanel::ImportDirectory(const String& group, const fs::path& source, bool silent) {
    Reports.SetBatch();
    String why;
    const String target = EntryPathIn(group, PathText(source.filename()), why);
    if (target.empty()) {
        Reports.Show({why, PathText(source)});
        return false;
    }
    if (const auto stored = TWaymarks::Find(target, false); stored && !stored->IsGroup()) {
        Reports.Show({MessageText(MNotAGroup), target});
        return false;
    }
    // The group is made with the first waymark stored in it: a folder that holds nothing to
    // import leaves nothing behind.
    std::error_code error;
    std::vector<fs::path> entries;
    for (fs::directory_iterator it(source, error), end; !error && it != end; it.increment(error)) {
        entries.push_back(it->path());
    }
    if (error) {
        Reports.Show(UnreadableFileReport(PathText(source), FromUtf8(error.message())));
        return false;
    }
    bool all = true;
    for (const fs::path& entry : entries) all = ImportPath(target, entry, silent, false) && all;
    return all;
}

bool TWaymarksPanel::ImportFile(const String& group, const fs::path& source, bool silent) {
    TExchangeReading reading;
    size_t imported = 0;
    const auto take = [&](std::unique_ptr<TWaymarkInfo> item) {
        // The item being read is the last one counted.
        const auto skip = [&](String why) { reading.Skipped.push_back({reading.Items, why}); };
        String why;
        const String path = EntryPathIn(group, item->Name, why);
        if (path.empty()) return skip(why);
        item->Name = path;
        if (const auto existing = TWaymarks::Find(path, false)) {
            if (existing->IsGroup() != item->IsGroup()) {
                return skip(MessageText(existing->IsGroup() ? MTargetIsGroup : MNotAGroup));
            }
            if (item->IsGroup()) {
                // A group's description is given, never replaced.
                if (!existing->Description.empty() || item->Description.empty()) return;
                existing->Description = std::move(item->Description);
                *item = *existing;
            } else if (silent || !MayOverwrite([&] {
                           return TConfirmOverwriteWaymarkDialog::Ask(*existing, *item);
                       })) {
                return;
            }
        }
        const String parent = ExtractParentPath(path);
        if (!parent.empty() && !TWaymarks::EnsureGroups(parent)) return;
        if (!TWaymarks::Store(*item)) {
            ReportStoreFailed(path);
            return;
        }
        ++imported;
        ++StoredCount;
    };
    const String path = PathText(source);
    try {
        if (!ReadExchangeFile(source, take, reading)) {
            Reports.Show(UnreadableFileReport(path, MessageText(MWrongRootElement)));
            return false;
        }
    } catch (const Exception& error) {
        // A file that cannot be read or parsed is reported, and the batch goes on.
        const bool unreadable = dynamic_cast<const EFileError*>(&error) != nullptr ||
                                dynamic_cast<const EXmlError*>(&error) != nullptr;
        if (!unreadable) throw;
        Reports.Show(UnreadableFileReport(path, error.Message()));
        return false;
    }
    Reports.Show(FileReadingReport(path, reading, imported));
    return imported > 0;
}

}  // namespace wm
