#include "plugin/uFunctions.h"

#include "framework/FarModule.h"
#include "plugin/uMessages.h"

namespace wm {
namespace {

constexpr StringView kSeparators = u"\\/";

}  // namespace

StringView LastComponent(StringView path) {
    const size_t separator = path.find_last_of(kSeparators);
    return separator == StringView::npos ? path : path.substr(separator + 1);
}

String Trim(StringView text) {
    size_t begin = 0, end = text.size();
    while (begin < end && text[begin] <= u' ') ++begin;
    while (end > begin && text[end - 1] <= u' ') --end;
    return String(text.substr(begin, end - begin));
}

String ExtractLastComponent(StringView path) {
    return String(LastComponent(path));
}

String ExtractParentPath(StringView path) {
    const size_t separator = path.find_last_of(kSeparators);
    return separator == StringView::npos ? String() : String(path.substr(0, separator + 1));
}

bool SplitLastComponent(String& path, String& last) {
    last.clear();
    if (path.empty()) return false;
    const size_t separator = path.find_last_of(kSeparators);
    if (separator == String::npos) {
        last = std::move(path);
        path.clear();
    } else {
        last = path.substr(separator + 1);
        path.resize(separator);
    }
    return true;
}

bool SplitFirstComponent(String& path, String& first) {
    first.clear();
    if (path.empty()) return false;
    const size_t separator = path.find_first_of(kSeparators);
    if (separator == String::npos) {
        first = std::move(path);
        path.clear();
    } else {
        first = path.substr(0, separator);
        path.erase(0, separator + 1);
    }
    return true;
}

String ResolvePath(StringView base, StringView relative) {
    String result(base);
    if (relative.empty()) return result;
    if (kSeparators.find(relative.front()) != StringView::npos) result.clear();
    // One pass over the text: each component is looked at once, and ".." takes off only the
    // last component of what has been built.
    String dropped;
    for (size_t start = 0; start < relative.size();) {
        size_t end = relative.find_first_of(kSeparators, start);
        if (end == StringView::npos) end = relative.size();
        const StringView component = relative.substr(start, end - start);
        start = end + 1;
        if (component.empty() || component == u".") continue;
        if (component == u"..") {
            SplitLastComponent(result, dropped);
        } else {
            if (!result.empty()) result += u'/';
            result += component;
        }
    }
    return result;
}

String MessageText(uint8_t message) {
    if (message == MNoMessage) return {};
    return TFarModule::GetMessageText(message);
}

int AskYesNoCancel(std::vector<String> lines) {
    lines.push_back(MessageText(MYes));
    lines.push_back(MessageText(MNo));
    lines.push_back(MessageText(MCancel));
    return TFarModule::ShowMessage(lines, far::FMSG_WARNING, 3);
}

bool ReportStoreFailed(StringView name) {
    TFarModule::ShowErrorLines({MessageText(MStoreFailed), String(name)});
    return false;
}

}  // namespace wm
