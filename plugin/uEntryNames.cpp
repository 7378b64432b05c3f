#include "plugin/uEntryNames.h"

#include <algorithm>
#include <mutex>
#include <numeric>
#include <optional>

#include "plugin/uFunctions.h"
#include "plugin/uOptions.h"

namespace wm {
namespace {

// The places in `order` (sorted by `key`) whose key starts with `prefix`, in list order.
template <typename Key>
std::vector<size_t> PrefixRange(const std::vector<uint32_t>& order, StringView prefix, Key key) {
    auto at =
        std::lower_bound(order.begin(), order.end(), prefix,
                         [&](uint32_t place, StringView wanted) { return key(place) < wanted; });
    std::vector<size_t> found;
    for (; at != order.end() && key(*at).starts_with(prefix); ++at) found.push_back(*at);
    std::sort(found.begin(), found.end());
    return found;
}

}  // namespace

std::shared_ptr<const TEntryNames> TEntryNames::Read(TOptions& options) {
    static std::mutex mutex;
    static std::shared_ptr<const TEntryNames> kept;
    static std::optional<TFarConfig::TChangeStamp> keptStamp;
    static String keptBase;

    // Taken before the listing: a change while listing makes the next search list again.
    const auto stamp = options.ChangeStamp();
    {
        const std::lock_guard lock(mutex);
        if (stamp && kept && keptStamp == stamp && keptBase == options.BaseKeyPath()) return kept;
    }
    std::vector<String> names;
    if (!options.ForEachEntryName([&](StringView name) {
            names.emplace_back(name);
            return true;
        })) {
        return nullptr;
    }
    auto made = std::make_shared<const TEntryNames>(std::move(names));
    if (stamp) {
        const std::lock_guard lock(mutex);
        kept = made;
        keptStamp = stamp;
        keptBase = options.BaseKeyPath();
    }
    return made;
}

TEntryNames::TEntryNames(std::vector<String> names) : names_(std::move(names)) {
    byName_.resize(names_.size());
    std::iota(byName_.begin(), byName_.end(), 0u);
    byLastComponent_ = byName_;
    std::stable_sort(byName_.begin(), byName_.end(),
                     [&](uint32_t a, uint32_t b) { return names_[a] < names_[b]; });
    std::stable_sort(byLastComponent_.begin(), byLastComponent_.end(), [&](uint32_t a, uint32_t b) {
        return LastComponent(names_[a]) < LastComponent(names_[b]);
    });
}

bool TEntryNames::Contains(StringView name) const {
    const auto at = std::lower_bound(
        byName_.begin(), byName_.end(), name,
        [&](uint32_t place, StringView wanted) { return StringView(names_[place]) < wanted; });
    return at != byName_.end() && names_[*at] == name;
}

std::vector<size_t> TEntryNames::StartingWith(StringView prefix) const {
    return PrefixRange(byName_, prefix, [&](uint32_t place) { return StringView(names_[place]); });
}

std::vector<size_t> TEntryNames::LastComponentStartingWith(StringView prefix) const {
    return PrefixRange(byLastComponent_, prefix,
                       [&](uint32_t place) { return LastComponent(names_[place]); });
}

}  // namespace wm
