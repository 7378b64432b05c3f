// The last-resort error box, for reports that cannot go through the host.
#pragma once

#include <cstdint>

#include "core/String.h"

namespace wm::platform {

constexpr uint32_t MessageBoxIconError = 0x10;
constexpr uint32_t MessageBoxTaskModal = 0x2000;

// Windows: MessageBoxW without an owner window. Elsewhere: the caption and text on stderr.
void ShowLastResortMessage(StringView caption, StringView text, uint32_t style);

// Redirects the box, for tests that must see it without a desktop; restores on destruction.
class ScopedMessageBoxSink {
public:
    using Sink = void (*)(StringView caption, StringView text, uint32_t style);
    explicit ScopedMessageBoxSink(Sink sink);
    ~ScopedMessageBoxSink();
    ScopedMessageBoxSink(const ScopedMessageBoxSink&) = delete;
    ScopedMessageBoxSink& operator=(const ScopedMessageBoxSink&) = delete;

private:
    Sink previous_;
};

}  // namespace wm::platform
