#include "farhost/session/CommandHistory.h"

#include <cstdlib>
#include <fstream>
#include <string>
#include <system_error>

namespace farhost {
namespace {

constexpr const char* kHeader = "_HiStOrY_V2_";

bool IsOctal(char c) {
    return c >= '0' && c <= '7';
}

std::string Decoded(const std::string& line) {
    std::string text;
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '\\' && i + 3 < line.size() && IsOctal(line[i + 1]) &&
            IsOctal(line[i + 2]) && IsOctal(line[i + 3])) {
            text += static_cast<char>((line[i + 1] - '0') * 64 + (line[i + 2] - '0') * 8 +
                                      (line[i + 3] - '0'));
            i += 3;
        } else {
            text += line[i];
        }
    }
    return text;
}

std::string Encoded(const std::string& text) {
    std::string line;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= ' ' || byte == '\\' || byte == 0x7F) {
            line += '\\';
            line += static_cast<char>('0' + (byte >> 6));
            line += static_cast<char>('0' + ((byte >> 3) & 7));
            line += static_cast<char>('0' + (byte & 7));
        } else {
            line += c;
        }
    }
    return line;
}

}  // namespace

std::filesystem::path CommandHistoryFile() {
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data)
        return std::filesystem::path(data) / "farhost" / "history";
    if (const char* home = std::getenv("HOME"); home && *home)
        return std::filesystem::path(home) / ".local/share/farhost/history";
    return {};
}

std::vector<wm::String> LoadCommandHistory(const std::filesystem::path& file) {
    std::vector<wm::String> lines;
    std::ifstream in(file, std::ios::binary);
    std::string line;
    if (!std::getline(in, line) || line != kHeader) return lines;
    while (std::getline(in, line)) {
        if (!line.empty()) lines.push_back(wm::FromUtf8(Decoded(line)));
    }
    return lines;
}

bool SaveCommandHistory(const std::filesystem::path& file, const std::vector<wm::String>& lines,
                        size_t limit) {
    std::error_code ignored;
    std::filesystem::create_directories(file.parent_path(), ignored);
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out << kHeader << "\n";
    const size_t first = lines.size() > limit ? lines.size() - limit : 0;
    for (size_t i = first; i < lines.size(); ++i) out << Encoded(wm::ToUtf8(lines[i])) << "\n";
    return static_cast<bool>(out.flush());
}

}  // namespace farhost
