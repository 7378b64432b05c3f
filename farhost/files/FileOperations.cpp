#include "farhost/files/FileOperations.h"

#include <algorithm>
#include <system_error>

namespace farhost {
namespace fs = std::filesystem;
namespace {

bool Exists(const fs::path& path) {
    std::error_code ignored;
    return fs::exists(fs::symlink_status(path, ignored));
}

// Whether `path` is `folder` or lies below it.
bool IsWithin(const fs::path& path, const fs::path& folder) {
    std::error_code ignored;
    const fs::path inner = fs::weakly_canonical(path, ignored);
    const fs::path outer = fs::weakly_canonical(folder, ignored);
    auto i = inner.begin();
    for (auto o = outer.begin(); o != outer.end(); ++o, ++i) {
        if (o->empty()) continue;  // a trailing separator
        if (i == inner.end() || *i != *o) return false;
    }
    return true;
}

// Copies `source` over the existing file `target`: written beside it first, so that the old
// file goes only once the copy is complete.
void ReplaceFile(const fs::path& source, const fs::path& target, std::error_code& error) {
    std::error_code ignored;
    fs::path partial = target;
    partial += ".partial";
    fs::remove(partial, ignored);
    fs::copy_file(source, partial, error);
    if (error) return;
    fs::rename(partial, target, error);
    if (error) {
        // Where renaming does not replace a file.
        error.clear();
        fs::remove(target, error);
        if (!error) fs::rename(partial, target, error);
    }
    if (error) fs::remove(partial, ignored);
}

class Transfer {
public:
    Transfer(bool move, FileQuestions& questions) : move_(move), questions_(questions) {}

    // True when all of `source` reached `target` (and a moved source is gone).
    bool Item(const fs::path& source, const fs::path& target);
    bool Cancelled() const { return cancelled_; }

private:
    bool Fail(const fs::path& item, const std::string& reason) {
        questions_.TellError(item, move_ ? "Cannot move" : "Cannot copy", reason);
        return false;
    }
    bool Fail(const fs::path& item, const std::error_code& error) {
        return Fail(item, error.message());
    }
    bool Folder(const fs::path& source, const fs::path& target, bool targetExists);
    // The moved source goes once its copy is complete.
    bool RemoveSource(const fs::path& source);

    bool move_;
    FileQuestions& questions_;
    bool cancelled_ = false;
};

bool Transfer::Item(const fs::path& source, const fs::path& target) {
    std::error_code error;
    const fs::file_status status = fs::symlink_status(source, error);
    if (error || !fs::exists(status)) return Fail(source, "it does not exist");
    const bool folder = fs::is_directory(status);
    if (folder && IsWithin(target, source)) return Fail(source, "a folder cannot go into itself");
    const fs::file_status targetStatus = fs::symlink_status(target, error);
    const bool targetExists = fs::exists(targetStatus);
    if (targetExists && fs::equivalent(source, target, error))
        return Fail(source, "the source and the target are the same");
    if (targetExists && folder != fs::is_directory(targetStatus))
        return Fail(source, "a file and a folder cannot replace each other");
    if (targetExists && !folder) {
        const auto choice = questions_.AskOverwrite(target);
        if (choice == FileQuestions::Choice::Cancel) cancelled_ = true;
        if (choice != FileQuestions::Choice::Yes) return false;
    }
    if (move_ && !targetExists) {
        fs::rename(source, target, error);
        if (!error) return true;
        // Another file system: copied, then removed.
    }
    if (folder) return Folder(source, target, targetExists);
    if (fs::is_symlink(status)) {
        if (targetExists) fs::remove(target, error);
        if (!error) fs::copy_symlink(source, target, error);
    } else if (targetExists) {
        ReplaceFile(source, target, error);
    } else {
        fs::copy_file(source, target, error);
    }
    if (error) return Fail(source, error);
    return RemoveSource(source);
}

bool Transfer::Folder(const fs::path& source, const fs::path& target, bool targetExists) {
    std::error_code error;
    if (!targetExists) fs::create_directory(target, source, error);
    if (error) return Fail(source, error);
    std::vector<fs::path> children;
    for (fs::directory_iterator it(source, error), end; !error && it != end; it.increment(error))
        children.push_back(it->path());
    if (error) return Fail(source, error);
    std::sort(children.begin(), children.end());
    bool complete = true;
    for (const fs::path& child : children) {
        if (cancelled_) return false;
        complete = Item(child, target / child.filename()) && complete;
    }
    return complete && RemoveSource(source);
}

bool Transfer::RemoveSource(const fs::path& source) {
    if (!move_) return true;
    std::error_code error;
    fs::remove(source, error);
    return error ? Fail(source, "copied, but the source stays: " + error.message()) : true;
}

}  // namespace

std::vector<fs::path> TransferItems(const std::vector<fs::path>& sources,
                                    const fs::path& destination, bool move,
                                    FileQuestions& questions) {
    std::error_code error;
    const bool intoFolder = fs::is_directory(destination, error) || sources.size() > 1;
    if (intoFolder && !fs::is_directory(destination, error)) {
        fs::create_directories(destination, error);
        if (error) {
            questions.TellError(destination, "Cannot create the folder", error.message());
            return {};
        }
    }
    Transfer transfer(move, questions);
    std::vector<fs::path> done;
    for (const fs::path& source : sources) {
        if (transfer.Cancelled()) break;
        const fs::path target = intoFolder ? destination / source.filename() : destination;
        if (transfer.Item(source, target)) done.push_back(source);
    }
    return done;
}

std::optional<std::string> FolderNameProblem(const fs::path& folder, const std::u16string& name) {
    if (name.find_first_not_of(u' ') == std::u16string::npos) return "The name is empty";
    if (name == u"." || name == u"..") return "\"" + fs::path(name).string() + "\" is not a name";
    for (const char16_t c : name) {
        if (c < 0x20 || std::u16string_view(u"<>:\"/\\|?*").find(c) != std::u16string_view::npos)
            return "A folder name cannot hold < > : \" / \\ | ? * or control characters";
    }
    if (name.back() == u' ' || name.back() == u'.')
        return "A folder name cannot end with a blank or a dot";
    if (Exists(folder / name)) return "A file or folder of this name exists";
    return std::nullopt;
}

int DeleteItems(const std::vector<fs::path>& items, FileQuestions& questions) {
    int deleted = 0;
    for (const fs::path& item : items) {
        std::error_code error;
        const fs::file_status status = fs::symlink_status(item, error);
        if (error || !fs::exists(status)) {
            questions.TellError(item, "Cannot delete", "it does not exist");
            continue;
        }
        if (fs::is_directory(status) && !fs::is_empty(item, error)) {
            const auto choice = questions.AskDeleteFolder(item);
            if (choice == FileQuestions::Choice::Cancel) break;
            if (choice == FileQuestions::Choice::Skip) continue;
        }
        fs::remove_all(item, error);
        if (error) {
            questions.TellError(item, "Cannot delete", error.message());
        } else {
            ++deleted;
        }
    }
    return deleted;
}

}  // namespace farhost
