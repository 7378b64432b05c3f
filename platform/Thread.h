// A thread that runs one body; its owner joins it (the destructor does so at the latest).
#pragma once

#include <functional>
#include <memory>

namespace wm::platform {

class Thread {
public:
    // Starts the body at once; throws Exception when the system gives no thread. The body is
    // expected to handle its own errors: an exception leaving it is dropped.
    explicit Thread(std::function<void()> body);
    ~Thread();
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    // Waits until the body has returned; later calls return at once.
    void Join();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace wm::platform
