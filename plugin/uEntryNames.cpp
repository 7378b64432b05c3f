#include "plugin/uEntryNames.h"

#include <algorithm>
#include <mutex>
#include <numeric>
#include <optional>

#include "plugin/uFunctions.h"
#include "plugin/uOptions.h"

namespace wm {

std::shared_ptr<const TEntryNames> TEntryNames::Read(TOptions& options) {
    static std::mutex mutex;
    static std::shared_ptr<const TEntryNames> kept;
    static std::optional<TFarConfig::TChangeStamp> keptStamp;
    static String keptBase;

    // Taken before the listing: a change while listing makes the next search list again.
    const auto stamp = options.ChangeStamp();
    {
        const std::lock_guard lock(mutex);
        if (stamp && kept && keptStamp == stamp && keptBase == options.BaseKeyPath()) {
            if (!kept->sorted_) kept = std::make_shared<const TEntryNames>(kept->names_, true);
            return kept;
        }
    }
    std::vector<String> names;
    if (!options.ForEachEntryName([&](StringView name) {
            names.emplace_back(name);
            return true;
        })) {
        return nullptr;
    }
    auto made = std::make_shared<const TEntryNames>(std::move(names), false);
    if (stamp) {
        const std::lock_guard lock(mutex);
        kept = made;
        keptStamp = stamp;
        keptBase = options.BaseKeyPath();
    }
    return made;
}

TEntryNames::TEntryNames(std::vector<String> names, bool sorted)
    : sorted_(sorted), names_(std::move(names)) {
    if (!sorted_) return;
    byName_.resize(names_.size());
    std::iota(byName_.begin(), byName_.end(), 0u);
    byLastComponent_ = byName_;
    std::stable_sort(byName_.begin(), byName_.end(),
                     [&](uint32_t a, uint32_t b) { return names_[a] < names_[b]; });
    std::stable_sort(byLastComponent_.begin(), byLastComponent_.end(), [&](uint32_t a, uint32_t b) {
        return LastComponent(names_[a]) < LastComponent(names_[b]);
    });
}

// The places whose key starts with `prefix`, in list order: from `order` (sorted by `key`)
// where the names are sorted, else from all of them.
template <typename Key>
std::vector<size_t> TEntryNames::Matching(const std::vector<uint32_t>& order, StringView prefix,
                                          Key key) const {
    std::vector<size_t> found;
    if (!sorted_) {
        for (size_t place = 0; place < names_.size(); ++place) {
            if (key(place).starts_with(prefix)) found.push_back(place);
        }
        return found;
    }
    auto at =
        std::lower_bound(order.begin(), order.end(), prefix,
                         [&](uint32_t place, StringView wanted) { return key(place) < wanted; });
    for (; at != order.end() && key(*at).starts_with(prefix); ++at) found.push_back(*at);
    std::sort(found.begin(), found.end());
    return found;
}

bool TEntryNames::Contains(StringView name) const {
    if (!sorted_) return std::find(names_.begin(), names_.end(), name) != names_.end();
    const auto at = std::lower_bound(
        byName_.begin(), byName_.end(), name,
        [&](uint32_t place, StringView wanted) { return StringView(names_[place]) < wanted; });
    return at != byName_.end() && names_[*at] == name;
}

std::vector<size_t> TEntryNames::StartingWith(StringView prefix) const {
    return Matching(byName_, prefix, [&](size_t place) { return StringView(names_[place]); });
}

std::vector<size_t> TEntryNames::LastComponentStartingWith(StringView prefix) const {
    return Matching(byLastComponent_, prefix,
                    [&](size_t place) { return LastComponent(names_[place]); });
}

}  // namespace wm
