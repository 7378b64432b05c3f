#include "platform/MessageBox.h"

namespace wm::platform {

void ShowSystemMessageBox(StringView caption, StringView text, uint32_t style);

namespace {
ScopedMessageBoxSink::Sink g_sink = nullptr;
}

void ShowLastResortMessage(StringView caption, StringView text, uint32_t style) {
    if (g_sink) {
        g_sink(caption, text, style);
    } else {
        ShowSystemMessageBox(caption, text, style);
    }
}

ScopedMessageBoxSink::ScopedMessageBoxSink(Sink sink) : previous_(g_sink) {
    g_sink = sink;
}
ScopedMessageBoxSink::~ScopedMessageBoxSink() {
    g_sink = previous_;
}

}  // namespace wm::platform
