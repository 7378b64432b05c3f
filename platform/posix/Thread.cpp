#include "platform/Thread.h"

#include <system_error>
#include <thread>

#include "core/Exceptions.h"

namespace wm::platform {

struct Thread::Impl {
    std::thread thread;
};

Thread::Thread(std::function<void()> body) : impl_(std::make_unique<Impl>()) {
    try {
        impl_->thread = std::thread([body = std::move(body)] {
            try {
                body();
            } catch (...) {
                // Nothing may leave a thread; the body reports its own failures.
            }
        });
    } catch (const std::system_error& error) {
        throw Exception(u"Cannot start a thread: " + FromUtf8(error.what()));
    }
}

Thread::~Thread() {
    Join();
}

void Thread::Join() {
    if (impl_->thread.joinable()) impl_->thread.join();
}

}  // namespace wm::platform
