// The stored waymarks' names, kept from one search to the next while the store says nothing in it
// has changed; where the store cannot say, every search lists afresh. Names searched once are
// scanned; names kept for another search are sorted both ways first, so that each later search
// costs the same whatever their number.
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

    TEntryNames(std::vector<String> names, bool sorted);

    // In the store's order; the places below are places in this list, in this order.
    const std::vector<String>& Names() const { return names_; }
    bool Contains(StringView name) const;
    std::vector<size_t> StartingWith(StringView prefix) const;
    std::vector<size_t> LastComponentStartingWith(StringView prefix) const;

private:
    template <typename Key>
    std::vector<size_t> Matching(const std::vector<uint32_t>& order, StringView prefix,
                                 Key key) const;

    bool sorted_;
    std::vector<String> names_;
    std::vector<uint32_t> byName_, byLastComponent_;
};

}  // namespace wm
