// The registry command of farhost, with the syntax of the Windows `reg` command (query, add,
// delete; /v, /ve, /va, /t, /d, /f, /s), working on the registry this process uses.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace farhost {

// `args` are the words after "reg". Returns the exit code: 0 done, 1 failed (with the reason
// written to `out`).
int RunRegCommand(const std::vector<std::string>& args, std::ostream& out);

// The data of one value as `reg query` prints it ("0x1", "text", "a\0b"), and its type name
// ("REG_DWORD"); nullopt when the key or the value does not exist.
struct RegValueText {
    std::string type;
    std::string data;
};
std::optional<RegValueText> QueryRegValue(const std::string& key, const std::string& name);

}  // namespace farhost
