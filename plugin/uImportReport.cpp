#include "plugin/uImportReport.h"

#include "core/Exceptions.h"
#include "core/Format.h"
#include "framework/FarModule.h"
#include "plugin/uFunctions.h"
#include "plugin/uMessages.h"

namespace wm {
namespace {

// A box shows the first reasons; the count says how many there were.
constexpr size_t kReasonsShown = 3;

String Number(size_t value) {
    return FromUtf8(std::to_string(value));
}

}  // namespace

void TImportReports::Begin(bool silent) {
    Silent = silent;
    Batch = Quiet = false;
}

void TImportReports::Show(const std::vector<String>& lines) {
    if (Silent || Quiet || lines.empty()) return;
    if (!Batch) {
        TFarModule::ShowErrorLines(lines);
        return;
    }
    std::vector<String> box{MessageText(MTitle)};
    box.insert(box.end(), lines.begin(), lines.end());
    for (int button : {MReportContinue, MReportQuiet, MReportStop}) {
        box.push_back(MessageText(button));
    }
    switch (TFarModule::ShowMessage(box, far::FMSG_WARNING, 3)) {
        case 1:
            Quiet = true;
            break;
        case 2:
            throw EAbort();
        default:  // Continue, or the box closed with Esc
            break;
    }
}

std::vector<String> UnreadableFileReport(StringView path, StringView why) {
    return {MessageText(MFileReadFailed), String(path), String(why)};
}

std::vector<String> FileReadingReport(StringView path, const TExchangeReading& reading,
                                      size_t imported) {
    if (!reading.Skipped.empty()) {
        std::vector<String> lines{MessageText(MFileItemsSkipped), String(path),
                                  Format(MessageText(MItemsSkippedCount),
                                         {Number(reading.Skipped.size()), Number(reading.Items)})};
        for (size_t i = 0; i < reading.Skipped.size() && i < kReasonsShown; ++i) {
            const TSkippedItem& item = reading.Skipped[i];
            lines.push_back(Format(MessageText(MItemReason), {Number(item.Number), item.Reason}));
        }
        return lines;
    }
    if (reading.Items == 0 && imported == 0) return {MessageText(MNothingToImport), String(path)};
    return {};
}

}  // namespace wm
