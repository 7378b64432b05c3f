// Copying, moving, making folders and deleting on the real file system, as the host's file
// panels do: every question (an existing target, a non-empty folder) and every error goes to
// the caller's FileQuestions, and an error ends only the item it happened to.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace farhost {

class FileQuestions {
public:
    enum class Choice { Yes, Skip, Cancel };
    // `target` exists: overwrite it, skip the item, or stop the whole operation.
    virtual Choice AskOverwrite(const std::filesystem::path& target) = 0;
    // `folder` is not empty: delete it with everything in it, skip it, or stop.
    virtual Choice AskDeleteFolder(const std::filesystem::path& folder) = 0;
    // What went wrong with `item`; the operation goes on with the next one.
    virtual void TellError(const std::filesystem::path& item, const std::string& what,
                           const std::string& reason) = 0;

protected:
    ~FileQuestions() = default;
};

// Copies (moves) the items to `destination`: into it when it is a folder; a single item takes
// the name otherwise, several go into a folder of that name. A folder goes with everything in
// it; a moved item's source goes only once all of it reached the target. The sources that
// reached their targets entirely, in their order.
std::vector<std::filesystem::path> TransferItems(const std::vector<std::filesystem::path>& sources,
                                                 const std::filesystem::path& destination,
                                                 bool move, FileQuestions& questions);

// Why `name` cannot be made a folder in `folder`, or nothing when it can.
std::optional<std::string> FolderNameProblem(const std::filesystem::path& folder,
                                             const std::u16string& name);

// Deletes the items, a non-empty folder only when AskDeleteFolder agrees. The number deleted.
int DeleteItems(const std::vector<std::filesystem::path>& items, FileQuestions& questions);

}  // namespace farhost
