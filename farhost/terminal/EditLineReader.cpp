// The terminal reader on Linux: libedit's line editor, with history and completion for commands
// and a second editor for answers, where Esc cancels.
#include <histedit.h>
#include <termios.h>
#include <unistd.h>

#include <clocale>
#include <csignal>
#include <filesystem>
#include <ostream>

#include "farhost/session/CommandHistory.h"
#include "farhost/session/LineReader.h"
#include "farhost/terminal/TerminalModule.h"

namespace farhost {
namespace {

// libedit shows the prompt and leaves the cooked terminal mode only at the first key it reads:
// keys typed in between were echoed by the kernel, and a Ctrl+C among them raised the ignored
// signal and discarded them. The editing mode is entered before the prompt shows.
class EditingMode {
public:
    explicit EditingMode(EditLine* editor) : editor_(editor) { el_set(editor_, EL_PREP_TERM, 1); }
    ~EditingMode() { el_set(editor_, EL_PREP_TERM, 0); }
    EditingMode(const EditingMode&) = delete;
    EditingMode& operator=(const EditingMode&) = delete;

private:
    EditLine* editor_;
};

class EditLineReader final : public LineReader {
public:
    EditLineReader(std::ostream& out, CompletionSource complete)
        : out_(out), complete_(std::move(complete)) {
        const char* locale = std::setlocale(LC_CTYPE, nullptr);
        oldLocale_ = locale ? locale : "C";
        std::setlocale(LC_CTYPE, "");
        // Ctrl+C is a key of the editors; while a command runs it does nothing.
        oldInterrupt_ = std::signal(SIGINT, SIG_IGN);
        history_ = history_init();
        HistEvent event;
        history(history_, &event, H_SETSIZE, 1000);
        history(history_, &event, H_SETUNIQUE, 1);
        historyFile_ = CommandHistoryFile();
        if (!historyFile_.empty()) history(history_, &event, H_LOAD, historyFile_.c_str());
        commands_ = Open();
        el_set(commands_, EL_HIST, history, history_);
        el_set(commands_, EL_ADDFN, "farhost-complete", "complete a command or waymark", Complete);
        el_set(commands_, EL_BIND, "^I", "farhost-complete", nullptr);
        answers_ = Open();
        el_set(answers_, EL_BIND, "^[", "farhost-cancel", nullptr);
    }
    ~EditLineReader() override {
        if (!historyFile_.empty()) {
            std::error_code ignored;
            std::filesystem::create_directories(historyFile_.parent_path(), ignored);
            HistEvent event;
            history(history_, &event, H_SAVE, historyFile_.c_str());
        }
        el_end(answers_);
        el_end(commands_);
        history_end(history_);
        std::signal(SIGINT, oldInterrupt_);
        std::setlocale(LC_CTYPE, oldLocale_.c_str());
    }
    EditLineReader(const EditLineReader&) = delete;
    EditLineReader& operator=(const EditLineReader&) = delete;

    Result Read(const std::string& prompt, Kind kind) override {
        out_ << std::flush;
        prompt_ = prompt;
        cancelled_ = false;
        EditLine* editor = kind == Kind::Command ? commands_ : answers_;
        int count = 0;
        const char* line = nullptr;
        {
            const EditingMode mode(editor);
            line = el_gets(editor, &count);
        }
        Result result;
        if (line == nullptr || count <= 0) {
            out_ << "\n" << std::flush;  // the shell's prompt starts on a line of its own
            return result;
        }
        result.text = line;
        while (!result.text.empty() && (result.text.back() == '\n' || result.text.back() == '\r'))
            result.text.pop_back();
        if (cancelled_) {
            result.status = Result::Status::Cancelled;
            result.text.clear();
            return result;
        }
        result.status = Result::Status::Line;
        if (kind == Kind::Command && result.text.find_first_not_of(" \t") != std::string::npos) {
            HistEvent event;
            history(history_, &event, H_ENTER, result.text.c_str());
        }
        return result;
    }

private:
    EditLine* Open() {
        EditLine* editor = el_init("farhost", stdin, stdout, stderr);
        el_set(editor, EL_CLIENTDATA, this);
        el_set(editor, EL_EDITOR, "emacs");
        el_set(editor, EL_PROMPT, Prompt);
        // Ctrl+C reaches the editor as a key instead of a signal.
        el_set(editor, EL_SETTY, "-d", "-isig", nullptr);
        el_set(editor, EL_ADDFN, "farhost-cancel", "cancel the line", Cancel);
        el_set(editor, EL_BIND, "^C", "farhost-cancel", nullptr);
        return editor;
    }

    static EditLineReader& Of(EditLine* editor) {
        void* self = nullptr;
        el_get(editor, EL_CLIENTDATA, &self);
        return *static_cast<EditLineReader*>(self);
    }

    static char* Prompt(EditLine* editor) { return Of(editor).prompt_.data(); }

    static unsigned char Cancel(EditLine* editor, int key) {
        Of(editor).cancelled_ = true;
        // The rest of a key sequence that began with Esc is dropped with it.
        if (key == 0x1b) tcflush(STDIN_FILENO, TCIFLUSH);
        const LineInfo* line = el_line(editor);
        el_cursor(editor, static_cast<int>(line->lastchar - line->cursor));
        if (key == 0x03) el_insertstr(editor, "^C");
        el_push(editor, "\n");
        return CC_REFRESH;
    }

    static unsigned char Complete(EditLine* editor, int) {
        EditLineReader& self = Of(editor);
        const LineInfo* line = el_line(editor);
        const std::string before(line->buffer, line->cursor);
        const Completion completion = self.complete_(before);
        if (completion.candidates.empty()) return CC_REFRESH_BEEP;
        const std::string typed = before.substr(completion.wordStart);
        std::string insert = completion.candidates.size() == 1 ? completion.candidates[0]
                                                               : CommonStart(completion.candidates);
        if (completion.candidates.size() == 1 && completion.endsWord) insert += " ";
        if (insert.size() > typed.size()) {
            el_deletestr(editor, static_cast<int>(typed.size()));
            el_insertstr(editor, insert.c_str());
            return CC_REFRESH;
        }
        std::string list = "\n";
        for (const auto& candidate : completion.candidates) list += candidate + "  ";
        std::fputs((list + "\n").c_str(), stdout);
        std::fflush(stdout);
        return CC_REDISPLAY;
    }

    std::ostream& out_;
    CompletionSource complete_;
    std::string oldLocale_;
    void (*oldInterrupt_)(int) = SIG_DFL;
    History* history_ = nullptr;
    std::filesystem::path historyFile_;
    EditLine* commands_ = nullptr;
    EditLine* answers_ = nullptr;
    std::string prompt_;
    bool cancelled_ = false;
};

}  // namespace

std::unique_ptr<LineReader> OpenEditLineReader(std::ostream& out, CompletionSource complete) {
    return std::make_unique<EditLineReader>(out, std::move(complete));
}

}  // namespace farhost
