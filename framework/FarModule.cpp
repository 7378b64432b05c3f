#include "framework/FarModule.h"

#include <cstring>

#include "framework/FarPlugin.h"
#include "framework/FarProgress.h"

namespace wm {

const far::PluginStartupInfo& TFarModule::Startup() {
    return TFarPlugin::Instance().StartupInfo();
}

String TFarModule::FromHostString(const far::HostChar* text) {
    if (text == nullptr) return {};
    size_t length = 0;
    while (text[length] != 0) ++length;
    return FromHostString(text, length);
}

String TFarModule::FromHostString(const far::HostChar* text, size_t length) {
    if (text == nullptr) return {};
    return String(reinterpret_cast<const char16_t*>(text), length);
}

const far::HostChar* TFarModule::ToHostString(const String& text) {
    return reinterpret_cast<const far::HostChar*>(text.c_str());
}

far::HostChar* TFarModule::NewHostString(StringView text) {
    auto* copy = new far::HostChar[text.size() + 1];
    std::memcpy(copy, text.data(), text.size() * sizeof(char16_t));
    copy[text.size()] = 0;
    return copy;
}

void TFarModule::FreeHostString(far::HostChar*& text) {
    delete[] text;
    text = nullptr;
}

String TFarModule::GetMessageText(int messageNumber) {
    const auto number = static_cast<int8_t>(messageNumber);
    if (number == -1) return {};
    const auto& startup = Startup();
    if (startup.GetMsg == nullptr) return {};
    return FromHostString(startup.GetMsg(startup.ModuleNumber, number));
}

String TFarModule::GetStandardText(TFarStandardText id) {
    String text;
    TFarPlugin::Instance().GetStandardText(id, text);
    return text;
}

void TFarModule::Log(StringView text) {
    TFarPlugin::Instance().Log(text);
}

void TFarModule::LogFmt(StringView format, std::initializer_list<FormatArg> args) {
    String line;
    try {
        line = Format(format, args);
    } catch (const EConvertError&) {
        line = u"Invalid log message: " + String(format);
    }
    Log(line);
}

bool TFarModule::ShowMenu(int /*itemId*/, StringView title, StringView helpTopic,
                          const std::vector<String>& items, int& selected) {
    if (items.empty()) return false;
    const auto& startup = Startup();
    std::vector<far::FarMenuItem> menu(items.size());
    for (size_t i = 0; i < items.size(); ++i) {
        if (items[i] == u"-") {
            menu[i].Separator = 1;
        } else {
            menu[i].Text = ToHostString(items[i]);
        }
    }
    const String titleText(title), helpText(helpTopic);
    const int result = CallHost(startup.Menu, -1, startup.ModuleNumber, -1, -1, 0,
                                far::FMENU_WRAPMODE | far::FMENU_AUTOHIGHLIGHT,
                                ToHostString(titleText), nullptr, ToHostString(helpText), nullptr,
                                nullptr, menu.data(), static_cast<int32_t>(menu.size()));
    if (result < 0) return false;
    selected = result;
    return true;
}

int TFarModule::ShowMessage(const std::vector<String>& lines, uint32_t flags, int buttons) {
    const auto& startup = Startup();
    std::vector<const far::HostChar*> items;
    items.reserve(lines.size());
    for (const auto& line : lines) items.push_back(ToHostString(line));
    const int answer = CallHost(startup.Message, -1, startup.ModuleNumber, flags, nullptr,
                                items.data(), static_cast<int32_t>(items.size()), buttons);
    if (buttons > 0) TFarProgress::MarkAllOverwritten();
    return answer;
}

int TFarModule::ShowErrorLines(const std::vector<String>& lines) {
    std::vector<String> message;
    message.reserve(lines.size() + 2);
    message.push_back(GetStandardText(TFarStandardText::Title));
    message.insert(message.end(), lines.begin(), lines.end());
    message.push_back(GetStandardText(TFarStandardText::Ok));
    return ShowMessage(message, far::FMSG_WARNING, 1);
}

int TFarModule::ShowError(StringView text) {
    return ShowErrorLines({String(text)});
}

String TFarModule::FitText(StringView text, int width, char16_t fill) {
    const size_t target = width > 0 ? static_cast<size_t>(width) : 0;
    String result(text);
    if (result.size() > target) {
        const auto& startup = Startup();
        if (startup.FSF != nullptr && startup.FSF->TruncPathStr != nullptr) {
            startup.FSF->TruncPathStr(reinterpret_cast<far::HostChar*>(result.data()), width);
            result.resize(std::char_traits<char16_t>::length(result.c_str()));
        }
        if (result.size() > target) result.resize(target);
    }
    if (result.size() < target) {
        result.append(target - result.size(), fill);
    }
    return result;
}

bool TFarModule::IsPluginCommand(StringView /*text*/) {
    return false;
}

bool TFarMacro::ExecuteCommand(StringView /*command*/) {
    return false;
}

}  // namespace wm
