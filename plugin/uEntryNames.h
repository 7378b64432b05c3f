// The stored waymarks' names, sorted for searching and kept from one search to the next while the
// store says nothing in it has changed; where the store cannot say, every search lists afresh.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "core/String.h"

namespace wm {

class TOptions;

class TEntryNames {
public:
    // Null when the names could not all be listed.
    static std::shared_ptr<const TEntryNames> Read(TOptions& options);

    explicit TEntryNames(std::vector<String> names);

    // In the store's order; the places below are places in this list, in this order.
    const std::vector<String>& Names() const { return names_; }
    bool Contains(StringView name) const;
    std::vector<size_t> StartingWith(StringView prefix) const;
    std::vector<size_t> LastComponentStartingWith(StringView prefix) const;

private:
    std::vector<String> names_;
    std::vector<uint32_t> byName_, byLastComponent_;
};

}  // namespace wm
