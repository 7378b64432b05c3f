#include "platform/Event.h"

#include <windows.h>

#include <string>

#include "core/Exceptions.h"

namespace wm::platform {

struct ManualResetEvent::Impl {
    HANDLE handle = nullptr;
};

namespace {

WaitResult Await(HANDLE handle, DWORD milliseconds) {
    switch (WaitForSingleObject(handle, milliseconds)) {
        case WAIT_OBJECT_0:
            return WaitResult::Signalled;
        case WAIT_TIMEOUT:
            return WaitResult::TimedOut;
        default:
            return WaitResult::Failed;
    }
}

}  // namespace

ManualResetEvent::ManualResetEvent() : impl_(std::make_unique<Impl>()) {
    impl_->handle = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (impl_->handle == nullptr) {
        throw Exception(
            FromUtf8("Cannot create an event (error " + std::to_string(GetLastError()) + ")"));
    }
}

ManualResetEvent::~ManualResetEvent() {
    CloseHandle(impl_->handle);
}

void ManualResetEvent::Signal() {
    ::SetEvent(impl_->handle);
}
void ManualResetEvent::Reset() {
    ::ResetEvent(impl_->handle);
}
WaitResult ManualResetEvent::Wait() {
    return Await(impl_->handle, INFINITE);
}

WaitResult ManualResetEvent::WaitFor(uint32_t milliseconds) {
    // INFINITE is all bits set: a finite wait stays finite.
    return Await(impl_->handle, milliseconds == INFINITE ? INFINITE - 1 : milliseconds);
}

}  // namespace wm::platform
