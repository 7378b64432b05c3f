#include "platform/Thread.h"

#include <windows.h>

#include <string>

#include "core/Exceptions.h"

namespace wm::platform {

struct Thread::Impl {
    std::function<void()> body;
    HANDLE handle = nullptr;

    static DWORD WINAPI Run(void* parameter) {
        try {
            static_cast<Impl*>(parameter)->body();
        } catch (...) {
            // Nothing may leave a thread; the body reports its own failures.
        }
        return 0;
    }
};

Thread::Thread(std::function<void()> body) : impl_(std::make_unique<Impl>()) {
    impl_->body = std::move(body);
    impl_->handle = CreateThread(nullptr, 0, &Impl::Run, impl_.get(), 0, nullptr);
    if (impl_->handle == nullptr) {
        throw Exception(
            FromUtf8("Cannot start a thread (error " + std::to_string(GetLastError()) + ")"));
    }
}

Thread::~Thread() {
    Join();
    CloseHandle(impl_->handle);
}

void Thread::Join() {
    WaitForSingleObject(impl_->handle, INFINITE);
}

}  // namespace wm::platform
