#include "core/Format.h"

#include <climits>
#include <span>

#include "core/Exceptions.h"

namespace wm {
namespace {

// Walks one format string, keeping the position in the format and the next argument to use.
class Formatter {
public:
    Formatter(StringView format, std::initializer_list<FormatArg> args)
        : format_(format), args_(args.begin(), args.size()) {}

    String Run() {
        String out;
        out.reserve(format_.size());
        while (pos_ < format_.size()) {
            const size_t percent = format_.find(u'%', pos_);
            if (percent == StringView::npos) {
                out.append(format_.substr(pos_));
                break;
            }
            out.append(format_.substr(pos_, percent - pos_));
            pos_ = percent + 1;
            if (Peek() == u'%') {
                out.push_back(u'%');
                ++pos_;
            } else {
                AppendSpec(out);
            }
        }
        return out;
    }

private:
    StringView format_;
    std::span<const FormatArg> args_;
    size_t pos_ = 0;
    size_t next_ = 0;

    // '\0' at the end, which matches no character the grammar looks for.
    char16_t Peek() const { return pos_ < format_.size() ? format_[pos_] : u'\0'; }

    [[noreturn]] void Invalid() const {
        throw EConvertError(u"Format '" + String(format_) +
                            u"' invalid or incompatible with argument");
    }

    const FormatArg& NextArg() {
        if (next_ >= args_.size()) {
            throw EConvertError(u"No argument for format '" + String(format_) + u"'");
        }
        return args_[next_++];
    }

    // Reads decimal digits or '*' (the value then comes from the next argument, which must be
    // an integer). Returns false, reading nothing, when neither is there.
    bool ReadNumber(int64_t& value) {
        if (Peek() == u'*') {
            ++pos_;
            const FormatArg& arg = NextArg();
            if (!arg.IsInteger() || arg.Integer() < INT_MIN || arg.Integer() > INT_MAX) Invalid();
            value = arg.Integer();
            return true;
        }
        if (Peek() < u'0' || Peek() > u'9') return false;
        value = 0;
        while (Peek() >= u'0' && Peek() <= u'9') {
            value = value * 10 + (Peek() - u'0');
            if (value > INT_MAX) Invalid();
            ++pos_;
        }
        return true;
    }

    // %[index:][-][width][.precision]type, the '%' already consumed.
    void AppendSpec(String& out) {
        bool left = false;
        int64_t width = 0;  // a negative width from '*' pads nothing
        int64_t precision = -1;
        int64_t number = 0;
        bool hasWidth = ReadNumber(number);
        if (hasWidth && Peek() == u':') {
            if (number < 0) Invalid();
            next_ = static_cast<size_t>(number);
            ++pos_;
            hasWidth = false;
        } else if (hasWidth) {
            width = number;
        } else if (Peek() == u':') {
            Invalid();
        }
        if (!hasWidth) {
            if (Peek() == u'-') {
                left = true;
                ++pos_;
            }
            if (ReadNumber(number)) width = number;
        }
        if (Peek() == u'.') {
            ++pos_;
            if (!ReadNumber(precision)) Invalid();
        }
        const char16_t type = Peek();
        ++pos_;

        String text;
        switch (type) {
            case u's':
            case u'S': {
                const FormatArg& arg = NextArg();
                if (arg.IsInteger()) Invalid();
                text = arg.Text();
                if (precision >= 0 && static_cast<size_t>(precision) < text.size()) {
                    text.resize(static_cast<size_t>(precision));
                }
                break;
            }
            case u'd':
            case u'D':
            case u'u':
            case u'U':
            case u'x':
            case u'X':
                text = Integer(NextArg(), type, precision);
                break;
            default:
                Invalid();
        }
        if (width > 0 && static_cast<size_t>(width) > text.size()) {
            const String padding(static_cast<size_t>(width) - text.size(), u' ');
            text = left ? text + padding : padding + text;
        }
        out.append(text);
    }

    String Integer(const FormatArg& arg, char16_t type, int64_t precision) const {
        if (!arg.IsInteger()) Invalid();
        const int64_t value = arg.Integer();
        bool negative = false;
        uint64_t magnitude = static_cast<uint64_t>(value);
        unsigned base = 10;
        if (type == u'd' || type == u'D') {
            negative = value < 0;
            if (negative) magnitude = 0 - magnitude;
        } else {
            // Unsigned views of a negative value wrap at the width of its source type.
            if (arg.IntegerBits() == 32) magnitude &= 0xFFFFFFFFu;
            if (type == u'x' || type == u'X') base = 16;
        }
        String digits;
        do {
            digits.insert(digits.begin(), u"0123456789ABCDEF"[magnitude % base]);
            magnitude /= base;
        } while (magnitude != 0);
        if (precision > 0 && static_cast<size_t>(precision) > digits.size()) {
            digits.insert(0, static_cast<size_t>(precision) - digits.size(), u'0');
        }
        return negative ? u"-" + digits : digits;
    }
};

}  // namespace

String Format(StringView format, std::initializer_list<FormatArg> args) {
    return Formatter(format, args).Run();
}

}  // namespace wm
