#include <mutex>

#include "platform/Lock.h"

namespace wm::platform {

// Recursive, like a critical section.
struct Lock::Impl {
    std::recursive_mutex mutex;
};

Lock::Lock() : impl_(std::make_unique<Impl>()) {}
Lock::~Lock() = default;
void Lock::Enter() {
    impl_->mutex.lock();
}
void Lock::Leave() {
    impl_->mutex.unlock();
}

}  // namespace wm::platform
