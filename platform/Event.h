// A manual-reset event: once signalled it stays signalled, waking every waiter, until reset.
#pragma once

#include <cstdint>
#include <memory>

namespace wm::platform {

enum class WaitResult { Signalled, TimedOut, Failed };

class ManualResetEvent {
public:
    // Starts not signalled; throws Exception when the system gives no event.
    ManualResetEvent();
    ~ManualResetEvent();
    ManualResetEvent(const ManualResetEvent&) = delete;
    ManualResetEvent& operator=(const ManualResetEvent&) = delete;

    void Signal();
    void Reset();
    // Waits until the event is signalled.
    WaitResult Wait();
    // Waits until the event is signalled or `milliseconds` have passed.
    WaitResult WaitFor(uint32_t milliseconds);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace wm::platform
