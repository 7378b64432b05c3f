// The command lines run, kept between runs of farhost in one file for the line mode and the
// full screen: a header line, then a line each, oldest first, blanks, backslashes and control
// characters written as backslash and three octal digits (the line editor's own format).
#pragma once

#include <filesystem>
#include <vector>

#include "core/String.h"

namespace farhost {

// $XDG_DATA_HOME/farhost/history, else ~/.local/share/farhost/history; empty without either.
std::filesystem::path CommandHistoryFile();

// The lines of the file, or none when it cannot be read.
std::vector<wm::String> LoadCommandHistory(const std::filesystem::path& file);
// Writes at most the latest `limit` lines, making the file's folder; false when it fails.
bool SaveCommandHistory(const std::filesystem::path& file, const std::vector<wm::String>& lines,
                        size_t limit = 1000);

}  // namespace farhost
