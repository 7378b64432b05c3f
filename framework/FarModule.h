// The host call layer: every part of the plugin reaches the host through these class
// operations, which use the function tables copied by the plugin object.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "core/Format.h"
#include "core/String.h"
#include "host/PluginW.h"

namespace wm {

enum class TFarStandardText : uint8_t {
    Title = 0,
    ExceptionHeader = 1,
    Ok = 2,
    Cancel = 3,
    Yes = 4,
    No = 5,
};

// Root of the framework's module classes: no fields, class operations only.
class TFarModule {
public:
    static String FromHostString(const far::HostChar* text);
    static String FromHostString(const far::HostChar* text, size_t length);
    // Points into the string's own buffer: valid while the string lives unchanged.
    static const far::HostChar* ToHostString(const String& text);
    static far::HostChar* NewHostString(StringView text);
    static void FreeHostString(far::HostChar*& text);

    // Message numbers are signed bytes; -1 is "no message" and gives the empty text.
    static String GetMessageText(int messageNumber);
    static String GetStandardText(TFarStandardText id);

    static void Log(StringView text);
    static void LogFmt(StringView format, std::initializer_list<FormatArg> args);

    // True and the chosen index (separators count); false when cancelled or the list is empty.
    // A string "-" becomes a separator.
    static bool ShowMenu(int itemId, StringView title, StringView helpTopic,
                         const std::vector<String>& items, int& selected);
    // The last `buttons` lines are the button captions; returns the host's answer.
    static int ShowMessage(const std::vector<String>& lines, uint32_t flags, int buttons);
    static int ShowErrorLines(const std::vector<String>& lines);
    static int ShowError(StringView text);

    // Exactly `width` characters: shortened like a path by the host, or padded with `fill`.
    static String FitText(StringView text, int width, char16_t fill);

    static bool IsPluginCommand(StringView text);

protected:
    static const far::PluginStartupInfo& Startup();

    // Calls a function the host has handed over. A slot left empty (before SetStartupInfoW, or
    // by a host that fills less) answers `fallback`, as the documents say a zeroed record does.
    template <typename Function, typename Fallback, typename... Args>
    static auto CallHost(Function function, Fallback fallback, Args... args) {
        using Result = decltype(function(args...));
        if (function == nullptr) return static_cast<Result>(fallback);
        return function(args...);
    }
};

// Base of config, screen, panel, dialog, macro and progress classes.
class TFarCommonModule : public TFarModule {};

class TFarMacro : public TFarCommonModule {
public:
    // Macro commands are not run by this framework: always false.
    static bool ExecuteCommand(StringView command);
};

}  // namespace wm
