#include "platform/Event.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace wm::platform {

struct ManualResetEvent::Impl {
    std::mutex mutex;
    std::condition_variable changed;
    bool signalled = false;
};

ManualResetEvent::ManualResetEvent() : impl_(std::make_unique<Impl>()) {}
ManualResetEvent::~ManualResetEvent() = default;

void ManualResetEvent::Signal() {
    {
        std::lock_guard lock(impl_->mutex);
        impl_->signalled = true;
    }
    impl_->changed.notify_all();
}

void ManualResetEvent::Reset() {
    std::lock_guard lock(impl_->mutex);
    impl_->signalled = false;
}

WaitResult ManualResetEvent::Wait() {
    std::unique_lock lock(impl_->mutex);
    impl_->changed.wait(lock, [this] { return impl_->signalled; });
    return WaitResult::Signalled;
}

WaitResult ManualResetEvent::WaitFor(uint32_t milliseconds) {
    std::unique_lock lock(impl_->mutex);
    const bool signalled = impl_->changed.wait_for(lock, std::chrono::milliseconds(milliseconds),
                                                   [this] { return impl_->signalled; });
    return signalled ? WaitResult::Signalled : WaitResult::TimedOut;
}

}  // namespace wm::platform
