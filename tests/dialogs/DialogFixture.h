// Dialog tests run real dialogs: the framework builds them through farhost's DialogInit and
// farhost plays the user's actions in DialogRun.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "farhost/engine/HostDialog.h"
#include "framework/FarStandardDialogs.h"
#include "tests/framework/TestPlugin.h"

namespace wm::test {

inline constexpr Guid kDialogId{0x5EEDD1A1, 0x0001, 0x0002, {1, 2, 3, 4, 5, 6, 7, 8}};

using TControl = TFarDialog::TControl;
using TButton = TFarDialog::TButton;

// The message of the exception of type E that `body` raises, or a note that it raised none.
template <class E>
String ErrorOf(const std::function<void()>& body) {
    try {
        body();
    } catch (const E& error) {
        return error.Message();
    }
    return u"(no exception)";
}

class DialogTest : public FrameworkTest {
protected:
    explicit DialogTest(farhost::Host::Options options = {}) : FrameworkTest(std::move(options)) {}

    // Nothing the plugin did may have been refused by the host, unless a test forgets it.
    void TearDown() override { EXPECT_EQ(host.Errors(), std::vector<std::string>{}); }

    // The host's own copy of a built dialog.
    farhost::HostDialog& HostSide(const TFarDialog& dialog) {
        farhost::HostDialog* side = host.FindDialog(dialog.GetHandle());
        if (!side) throw Exception(u"the dialog has no host dialog");
        return *side;
    }

    // A control's or dialog's left, top, width and height as they answer now.
    struct Cells {
        int x, y, w, h;
        bool operator==(const Cells&) const = default;
        friend void PrintTo(const Cells& c, std::ostream* out) {
            *out << "{" << c.x << ", " << c.y << ", " << c.w << ", " << c.h << "}";
        }
    };
    template <class Object>
    static Cells Bounds(Object& object) {
        Cells cells{};
        object.GetBounds(cells.x, cells.y, cells.w, cells.h);
        return cells;
    }
};

}  // namespace wm::test
