#include "plugin/uConfirmUI.h"

#include "platform/FileSystem.h"
#include "platform/Locale.h"
#include "plugin/uFunctions.h"
#include "plugin/uMessages.h"

namespace wm {
namespace {

// {3D9A6E21-7F4C-4B58-9E03-A1C58B27D64F}
constexpr Guid ConfirmDialogId{
    0x3D9A6E21, 0x7F4C, 0x4B58, {0x9E, 0x03, 0xA1, 0xC5, 0x8B, 0x27, 0xD6, 0x4F}};

// Digits grouped in threes with the locale's separator.
String FormatSize(uint64_t size) {
    const String digits = FromUtf8(std::to_string(size));
    const String separator = platform::ThousandsSeparator();
    String grouped;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) grouped += separator;
        grouped += digits[i];
    }
    return grouped;
}

String TwoDigits(int value) {
    return FromUtf8((value < 10 ? "0" : "") + std::to_string(value));
}

// A date-time pattern of yyyy, yy, mm, dd, hh, nn and ss; any other character stays.
String FormatPattern(StringView pattern, const platform::LocalTime& time) {
    String text;
    for (size_t i = 0; i < pattern.size();) {
        const StringView rest = pattern.substr(i);
        const auto starts = [&](StringView token) { return rest.substr(0, token.size()) == token; };
        if (starts(u"yyyy")) {
            text += FromUtf8(std::to_string(time.year));
            i += 4;
        } else if (starts(u"yy")) {
            text += TwoDigits(time.year % 100);
            i += 2;
        } else if (starts(u"mm") || starts(u"dd") || starts(u"hh") || starts(u"nn") ||
                   starts(u"ss")) {
            const char16_t c = rest[0];
            text += TwoDigits(c == u'm'   ? time.month
                              : c == u'd' ? time.day
                              : c == u'h' ? time.hour
                              : c == u'n' ? time.minute
                                          : time.second);
            i += 2;
        } else {
            text += pattern[i++];
        }
    }
    return text;
}

TConfirmOverwriteDialog::TItemDescription DescribeWaymark(int caption,
                                                          const TWaymarkInfo& waymark) {
    return {u"", waymark.DisplayText(), MessageText(caption) + u" " + waymark.Name + u": "};
}

}  // namespace

TConfirmOverwriteDialog::TConfirmOverwriteDialog(TConstruction key)
    : TButtonsDialog(key, ConfirmDialogId) {}

void TConfirmOverwriteDialog::CreateContent() {
    TButtonsDialog::CreateContent();
    QuestionLabel = AddLabel(0, 0, 0, u"", 1);
    ExistingLabel = AddLabel(0, 0, 0, u"", 2);
    IncomingLabel = AddLabel(0, 0, 0, u"", 2);
    InnerSeparator = AddSeparator(0);
    ApplyToAllCheckbox = AddCheckbox(0, 0, MessageText(MApplyToAll), false);
}

void TConfirmOverwriteDialog::CreateButtons() {
    TButtonsDialog::CreateButtons();
    OverwriteButton = AddButton(0, 0, MessageText(MOverwrite));
    OverwriteButton->SetDefault(true);
    SkipButton = AddButton(0, 0, MessageText(MSkip));
    CancelButton = AddButton(0, 0, GetStandardText(TFarStandardText::Cancel));
}

void TConfirmOverwriteDialog::ClearControls() {
    TButtonsDialog::ClearControls();
    QuestionLabel = ExistingLabel = IncomingLabel = nullptr;
    InnerSeparator = nullptr;
    ApplyToAllCheckbox = nullptr;
    OverwriteButton = SkipButton = CancelButton = nullptr;
}

void TConfirmOverwriteDialog::AdjustSize(int& w, int& h) {
    TButtonsDialog::AdjustSize(w, h);
    h = 11;
}

void TConfirmOverwriteDialog::SetSize(int w, int h) {
    TButtonsDialog::SetSize(w, h);
    if (QuestionLabel == nullptr) return;
    TControl* const rows[] = {QuestionLabel,  ExistingLabel,      IncomingLabel,
                              InnerSeparator, ApplyToAllCheckbox, Separator};
    for (TControl* row : rows) PlaceControl(row);
    FormatInto(Existing, ExistingLabel);
    FormatInto(Incoming, IncomingLabel);
    OverwriteButton->SetTop(Separator->GetTop() + 1);
    OverwriteButton->SetDefault(true);
    SkipButton->SetTop(OverwriteButton->GetTop());
    CancelButton->SetTop(OverwriteButton->GetTop());
}

void TConfirmOverwriteDialog::FormatInto(const TItemDescription* description, TLabel* label) {
    if (description == nullptr || description->Empty()) {
        label->SetText(u"");
        return;
    }
    const int room = label->GetWidth() - static_cast<int>(description->Caption.size()) -
                     static_cast<int>(description->Details.size());
    if (room <= 0) {
        label->SetText(description->Caption + description->Details);
        return;
    }
    label->SetText(description->Caption + FitText(description->Text, room, u' ') +
                   description->Details);
}

void TConfirmOverwriteDialog::ShowWhenDescribed(TLabel* label,
                                                const TItemDescription* description) {
    const bool shown = description != nullptr && !description->Empty();
    if (shown == label->GetVisible()) return;
    label->SetVisible(shown);
    SetHeight(GetHeight() + (shown ? 1 : -1));
}

int TConfirmOverwriteDialog::Run() {
    QuestionLabel->SetText(Question);
    ShowWhenDescribed(ExistingLabel, Existing);
    ShowWhenDescribed(IncomingLabel, Incoming);
    FormatInto(Existing, ExistingLabel);
    FormatInto(Incoming, IncomingLabel);
    TButton* pressed = nullptr;
    if (!Execute(pressed)) return CancelAll;
    const bool all = ApplyToAllCheckbox->GetChecked();
    if (pressed == OverwriteButton) return all ? OverwriteAll : OverwriteOne;
    if (pressed == SkipButton) return all ? SkipAll : SkipOne;
    return CancelAll;
}

int TConfirmOverwriteDialog::Ask(StringView question, const TItemDescription* existing,
                                 const TItemDescription* incoming) {
    auto dialog = TFarDialog::New<TConfirmOverwriteDialog>();
    dialog->SetDialogFlags(dialog->GetDialogFlags() | far::FDLG_WARNING);
    dialog->Question = String(question);
    dialog->Existing = existing;
    dialog->Incoming = incoming;
    return dialog->Run();
}

int TConfirmOverwriteWaymarkDialog::Ask(const TWaymarkInfo& existing,
                                        const TWaymarkInfo& incoming) {
    const TItemDescription old = DescribeWaymark(MExistingEntry, existing);
    const TItemDescription fresh = DescribeWaymark(MIncomingEntry, incoming);
    return TConfirmOverwriteDialog::Ask(MessageText(MOverwriteQuestion), &old, &fresh);
}

// The file on disk is the one that exists: it is described as such, and nothing as new.
int TConfirmOverwriteFileDialog::Ask(StringView path) {
    const TItemDescription file = DescribeFile(MExistingEntry, path);
    return TConfirmOverwriteDialog::Ask(MessageText(MOverwriteQuestion), &file, nullptr);
}

TConfirmOverwriteDialog::TItemDescription TConfirmOverwriteFileDialog::DescribeFile(
    int caption, StringView path) {
    TItemDescription description{u" ", String(path), MessageText(caption) + u" "};
    const auto entry = platform::FindFileEntry(path);
    if (!entry) {
        description.Details += MessageText(MFileNotFound);
        return description;
    }
    description.Details +=
        entry->directory ? MessageText(MDirectoryMarker) : FormatSize(entry->size);
    const String pattern = MessageText(MDateTimePattern);
    description.Details +=
        u" " + (pattern.empty() ? platform::FormatLocaleDateTime(entry->lastWrite)
                                : FormatPattern(pattern, entry->lastWrite));
    return description;
}

}  // namespace wm
