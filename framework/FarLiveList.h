// A process-wide list of live objects (panels, dialogs, progress indicators) guarded by one
// lock that is held for insertion, removal and lookup only. The list does not own them.
#pragma once

#include <algorithm>
#include <vector>

#include "platform/Lock.h"

namespace wm {

template <class T>
class TFarLiveList {
public:
    void Add(T* object) {
        platform::LockGuard guard(lock_);
        objects_.push_back(object);
    }
    void Remove(T* object) noexcept {
        platform::LockGuard guard(lock_);
        std::erase(objects_, object);
    }
    // The first object, in the order they were added, for which `match` holds; or null.
    template <class Match>
    T* Find(Match&& match) {
        platform::LockGuard guard(lock_);
        const auto found = std::find_if(objects_.begin(), objects_.end(), match);
        return found != objects_.end() ? *found : nullptr;
    }
    // Calls `visit` on every object, first to last, with the lock held throughout.
    template <class Visit>
    void ForEach(Visit&& visit) {
        platform::LockGuard guard(lock_);
        for (T* object : objects_) visit(*object);
    }

private:
    platform::Lock lock_;
    std::vector<T*> objects_;
};

}  // namespace wm
