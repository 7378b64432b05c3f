// The terminal through ncurses (wide characters): colours close to the host's, or bold and
// reverse on a terminal without colours.
#include <clocale>
#include <csignal>
#include <cstring>
#include <exception>
#include <stdexcept>
#include <string>

#include <curses.h>

#include "farhost/engine/DialogAction.h"
#include "farhost/screen/Terminal.h"
#include "farhost/screen/TerminalKeys.h"
#include "farhost/terminal/TerminalModule.h"

namespace farhost {
namespace {

// A style's colours (0 black, 1 red, 2 green, 3 yellow, 4 blue, 5 magenta, 6 cyan, 7 grey,
// +8 bright) and its attribute without colours.
struct StyleLook {
    short foreground, background;
    attr_t monochrome;
};

constexpr short kBright = 8;

StyleLook LookOf(CellStyle style) {
    switch (style) {
        case CellStyle::Panel:
        case CellStyle::PanelFrame:
        case CellStyle::PanelTitle:
        case CellStyle::PanelInfo:
            return {COLOR_CYAN + kBright, COLOR_BLUE, A_NORMAL};
        case CellStyle::PanelDirectory:
            return {COLOR_WHITE + kBright, COLOR_BLUE, A_BOLD};
        case CellStyle::PanelMarked:
            return {COLOR_YELLOW + kBright, COLOR_BLUE, A_BOLD | A_UNDERLINE};
        case CellStyle::PanelCursor:
        case CellStyle::PanelTitleActive:
            return {COLOR_BLACK, COLOR_CYAN, A_REVERSE};
        case CellStyle::CommandLine:
        case CellStyle::KeyBarNumber:
            return {COLOR_WHITE, COLOR_BLACK, A_NORMAL};
        case CellStyle::KeyBarLabel:
            return {COLOR_BLACK, COLOR_CYAN, A_REVERSE};
        case CellStyle::Dialog:
            return {COLOR_BLACK, COLOR_WHITE, A_NORMAL};
        case CellStyle::DialogFocus:
        case CellStyle::DialogEdit:
            return {COLOR_BLACK, COLOR_CYAN, A_REVERSE};
        case CellStyle::DialogEditFocus:
            return {COLOR_WHITE + kBright, COLOR_CYAN, A_REVERSE | A_BOLD};
        case CellStyle::DialogDisabled:
            return {COLOR_BLACK + kBright, COLOR_WHITE, A_DIM};
        case CellStyle::DialogHotKey:
            return {COLOR_YELLOW, COLOR_WHITE, A_BOLD | A_UNDERLINE};
        case CellStyle::Warning:
            return {COLOR_WHITE + kBright, COLOR_RED, A_NORMAL};
        case CellStyle::WarningFocus:
            return {COLOR_BLACK, COLOR_WHITE, A_REVERSE};
        case CellStyle::Menu:
            return {COLOR_WHITE + kBright, COLOR_CYAN, A_NORMAL};
        case CellStyle::MenuSelected:
            return {COLOR_WHITE + kBright, COLOR_BLACK, A_REVERSE};
        case CellStyle::MenuHotKey:
            return {COLOR_YELLOW + kBright, COLOR_CYAN, A_BOLD | A_UNDERLINE};
    }
    return {COLOR_WHITE, COLOR_BLACK, A_NORMAL};
}

constexpr int kStyleCount = static_cast<int>(CellStyle::MenuHotKey) + 1;

void RestoreTerminal() noexcept {
    if (!isendwin()) endwin();
}

extern "C" void OnFatalSignal(int signal) {
    RestoreTerminal();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// The names ncurses gives modified cursor keys ("kUP5"), without the modifier digit.
std::optional<uint32_t> NamedKey(const char* name) {
    static const struct {
        const char* prefix;
        uint32_t key;
    } kNames[] = {{"kUP", keys::Up},     {"kDN", keys::Down},  {"kLFT", keys::Left},
                  {"kRIT", keys::Right}, {"kHOM", keys::Home}, {"kEND", keys::End},
                  {"kNXT", keys::PgDn},  {"kPRV", keys::PgUp}, {"kDC", keys::Del},
                  {"kIC", keys::Ins}};
    if (!name) return std::nullopt;
    const std::string text = name;
    for (const auto& entry : kNames) {
        const size_t length = std::strlen(entry.prefix);
        if (text.size() == length + 1 && text.compare(0, length, entry.prefix) == 0 &&
            text.back() >= '2' && text.back() <= '8')
            return ModifiersOfParameter(text.back() - '0') | entry.key;
    }
    return std::nullopt;
}

std::optional<uint32_t> KeyOfCode(int code) {
    if (code >= KEY_F(1) && code <= KEY_F(63)) {
        // xterm's numbering: 13-24 Shift, 25-36 Ctrl, 37-48 Ctrl+Shift, 49-60 Alt, then Alt+Shift.
        static const uint32_t kGroups[] = {0,          keys::Shift,
                                           keys::Ctrl, keys::Ctrl | keys::Shift,
                                           keys::Alt,  keys::Alt | keys::Shift};
        const int index = code - KEY_F(1);
        return kGroups[index / 12] | (keys::F1 + static_cast<uint32_t>(index % 12));
    }
    switch (code) {
        case KEY_UP:
            return keys::Up;
        case KEY_DOWN:
            return keys::Down;
        case KEY_LEFT:
            return keys::Left;
        case KEY_RIGHT:
            return keys::Right;
        case KEY_HOME:
            return keys::Home;
        case KEY_END:
            return keys::End;
        case KEY_PPAGE:
            return keys::PgUp;
        case KEY_NPAGE:
            return keys::PgDn;
        case KEY_IC:
            return keys::Ins;
        case KEY_DC:
            return keys::Del;
        case KEY_BACKSPACE:
            return keys::BS;
        case KEY_ENTER:
            return keys::Enter;
        case KEY_BTAB:
            return keys::Shift | keys::Tab;
        case KEY_SR:
            return keys::Shift | keys::Up;
        case KEY_SF:
            return keys::Shift | keys::Down;
        case KEY_SLEFT:
            return keys::Shift | keys::Left;
        case KEY_SRIGHT:
            return keys::Shift | keys::Right;
        case KEY_SHOME:
            return keys::Shift | keys::Home;
        case KEY_SEND:
            return keys::Shift | keys::End;
        case KEY_SDC:
            return keys::Shift | keys::Del;
        case KEY_SIC:
            return keys::Shift | keys::Ins;
        case KEY_SNEXT:
            return keys::Shift | keys::PgDn;
        case KEY_SPREVIOUS:
            return keys::Shift | keys::PgUp;
        default:
            return NamedKey(keyname(code));
    }
}

class CursesTerminal final : public Terminal {
public:
    CursesTerminal() {
        // Wide characters need a UTF-8 character type; the rest of the locale stays "C".
        const char* ctype = std::setlocale(LC_CTYPE, "");
        if (!ctype || (!std::strstr(ctype, "UTF-8") && !std::strstr(ctype, "utf8")))
            std::setlocale(LC_CTYPE, "C.UTF-8");
        screen_ = newterm(nullptr, stdout, stdin);
        if (!screen_) throw std::runtime_error("the terminal cannot be used full screen");
        set_term(screen_);
        // A terminal that cannot place the cursor (TERM=dumb) cannot show a screen.
        const char* moveCursor = tigetstr("cup");
        if (!moveCursor || moveCursor == reinterpret_cast<const char*>(-1)) {
            endwin();
            delscreen(screen_);
            throw std::runtime_error("the terminal cannot place the cursor");
        }
        for (const int signal :
             {SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGSEGV, SIGBUS, SIGFPE, SIGABRT})
            std::signal(signal, OnFatalSignal);
        previousTerminate_ = std::set_terminate([] {
            RestoreTerminal();
            std::abort();
        });
        raw();
        noecho();
        nonl();
        keypad(stdscr, TRUE);
        set_escdelay(25);
        colours_ = has_colors();
        if (colours_) {
            start_color();
            const bool bright = COLORS >= 16;
            for (int i = 0; i < kStyleCount; ++i) {
                StyleLook look = LookOf(static_cast<CellStyle>(i));
                attrs_[i] = A_NORMAL;
                if (!bright) {
                    if (look.foreground >= kBright) attrs_[i] = A_BOLD;
                    look.foreground %= kBright;
                    look.background %= kBright;
                }
                init_pair(static_cast<short>(i + 1), look.foreground, look.background);
            }
        }
    }

    ~CursesTerminal() override {
        RestoreTerminal();
        delscreen(screen_);
        for (const int signal :
             {SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGSEGV, SIGBUS, SIGFPE, SIGABRT})
            std::signal(signal, SIG_DFL);
        std::set_terminate(previousTerminate_);
    }

    CursesTerminal(const CursesTerminal&) = delete;
    CursesTerminal& operator=(const CursesTerminal&) = delete;

    int Width() const override { return getmaxx(stdscr); }
    int Height() const override { return getmaxy(stdscr); }

    void Show(const ScreenBuffer& screen) override {
        const int width = std::min(screen.Width(), Width());
        const int height = std::min(screen.Height(), Height());
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const Cell& cell = screen.At(x, y);
                // The bottom right cell is left alone: writing it scrolls some terminals.
                if (x == Width() - 1 && y == Height() - 1) continue;
                const auto index = static_cast<int>(cell.style);
                wchar_t text[2] = {
                    cell.ch >= 0xD800 && cell.ch <= 0xDFFF ? L'?' : static_cast<wchar_t>(cell.ch),
                    0};
                cchar_t shown;
                if (colours_) {
                    setcchar(&shown, text, attrs_[index], static_cast<short>(index + 1), nullptr);
                } else {
                    setcchar(&shown, text, LookOf(cell.style).monochrome, 0, nullptr);
                }
                mvadd_wch(y, x, &shown);
            }
        }
        if (screen.CursorX() >= 0 && screen.CursorX() < Width() && screen.CursorY() < Height()) {
            curs_set(1);
            move(screen.CursorY(), screen.CursorX());
        } else {
            curs_set(0);
        }
        refresh();
    }

    TerminalInput Read() override {
        for (;;) {
            wint_t ch = 0;
            timeout(-1);
            const int got = get_wch(&ch);
            if (got == ERR) {
                if (++errors_ > 100) return {TerminalInput::Kind::End, 0};
                continue;
            }
            errors_ = 0;
            if (got == KEY_CODE_YES) {
                if (ch == KEY_RESIZE) return {TerminalInput::Kind::Resize, 0};
                if (const auto key = KeyOfCode(static_cast<int>(ch)))
                    return {TerminalInput::Kind::Key, *key};
                continue;
            }
            if (ch == keys::Esc) {
                if (const auto key = ReadEscapeSequence()) return {TerminalInput::Kind::Key, *key};
                continue;
            }
            return {TerminalInput::Kind::Key, KeyOfCharacter(static_cast<char32_t>(ch))};
        }
    }

private:
    // What follows an ESC within a moment: a sequence the library did not decode, a key
    // pressed with Alt, or nothing (Esc itself).
    std::optional<uint32_t> ReadEscapeSequence() {
        std::string bytes;
        timeout(40);
        while (!EscapeSequenceComplete(bytes)) {
            wint_t ch = 0;
            const int got = get_wch(&ch);
            if (got == ERR) break;
            if (got == KEY_CODE_YES) {
                // A resize is kept for the next read; the ESC was Esc itself.
                if (ch == KEY_RESIZE) {
                    ungetch(KEY_RESIZE);
                    return bytes.empty() ? std::optional<uint32_t>(keys::Esc) : std::nullopt;
                }
                // Alt with a key the library decoded.
                const auto key = bytes.empty() ? KeyOfCode(static_cast<int>(ch)) : std::nullopt;
                return key ? std::optional<uint32_t>(keys::Alt | *key) : std::nullopt;
            }
            if (ch > 0x7F)
                return bytes.empty() ? std::optional<uint32_t>(keys::Alt | ch) : std::nullopt;
            bytes += static_cast<char>(ch);
        }
        return DecodeEscapeSequence(bytes);
    }

    SCREEN* screen_ = nullptr;
    bool colours_ = false;
    attr_t attrs_[kStyleCount] = {};
    int errors_ = 0;
    std::terminate_handler previousTerminate_ = nullptr;
};

}  // namespace

std::unique_ptr<Terminal> OpenCursesTerminal() {
    return std::make_unique<CursesTerminal>();
}

}  // namespace farhost
