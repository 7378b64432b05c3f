#include "farhost/session/RegCommand.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <ostream>
#include <sstream>
#include <stdexcept>

#include "platform/Registry.h"

namespace farhost {
namespace {

using wm::platform::Registry;
using wm::platform::RegistryKey;
using wm::platform::RegistryRoot;
using wm::platform::RegistryStatus;
using wm::platform::RegistryType;

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

struct KeyPath {
    RegistryRoot root;
    std::string rootName;  // the long form, as reg prints it
    wm::String path;
};

KeyPath ParseKey(const std::string& text) {
    static const std::map<std::string, std::pair<RegistryRoot, std::string>> roots = {
        {"HKCR", {RegistryRoot::ClassesRoot, "HKEY_CLASSES_ROOT"}},
        {"HKCU", {RegistryRoot::CurrentUser, "HKEY_CURRENT_USER"}},
        {"HKLM", {RegistryRoot::LocalMachine, "HKEY_LOCAL_MACHINE"}},
        {"HKU", {RegistryRoot::Users, "HKEY_USERS"}},
        {"HKCC", {RegistryRoot::CurrentConfig, "HKEY_CURRENT_CONFIG"}},
    };
    const auto slash = text.find('\\');
    const std::string head = Upper(text.substr(0, slash));
    for (const auto& [shortName, root] : roots) {
        if (head == shortName || head == root.second) {
            std::string rest = slash == std::string::npos ? "" : text.substr(slash + 1);
            while (!rest.empty() && rest.back() == '\\') rest.pop_back();
            return {root.first, root.second, wm::FromUtf8(rest)};
        }
    }
    throw std::runtime_error("invalid key name: " + text);
}

const std::map<RegistryType, std::string>& TypeNames() {
    static const std::map<RegistryType, std::string> names = {
        {RegistryType::None, "REG_NONE"},
        {RegistryType::String, "REG_SZ"},
        {RegistryType::ExpandString, "REG_EXPAND_SZ"},
        {RegistryType::Binary, "REG_BINARY"},
        {RegistryType::Dword, "REG_DWORD"},
        {RegistryType::MultiString, "REG_MULTI_SZ"},
        {RegistryType::Qword, "REG_QWORD"},
    };
    return names;
}

std::string TypeName(RegistryType type) {
    const auto found = TypeNames().find(type);
    return found != TypeNames().end()
               ? found->second
               : "REG_UNKNOWN(" + std::to_string(static_cast<uint32_t>(type)) + ")";
}

RegistryType ParseType(const std::string& name) {
    for (const auto& [type, text] : TypeNames()) {
        if (Upper(name) == text) return type;
    }
    throw std::runtime_error("unknown type: " + name);
}

std::u16string Utf16Units(const std::vector<uint8_t>& data) {
    std::u16string units(data.size() / 2, u'\0');
    std::memcpy(units.data(), data.data(), units.size() * 2);
    return units;
}

std::string Hex(uint64_t value) {
    std::ostringstream text;
    text << "0x" << std::hex << value;
    return text.str();
}

std::string DataText(RegistryType type, const std::vector<uint8_t>& data) {
    switch (type) {
        case RegistryType::String:
        case RegistryType::ExpandString: {
            std::u16string text = Utf16Units(data);
            text = text.substr(0, text.find(u'\0'));
            return wm::ToUtf8(text);
        }
        case RegistryType::MultiString: {
            std::u16string text = Utf16Units(data);
            while (!text.empty() && text.back() == u'\0') text.pop_back();
            std::string out;
            for (char16_t c : text) {
                out += c == u'\0' ? std::string("\\0") : wm::ToUtf8(std::u16string(1, c));
            }
            return out;
        }
        case RegistryType::Dword:
            if (data.size() == 4) {
                uint32_t value;
                std::memcpy(&value, data.data(), 4);
                return Hex(value);
            }
            break;
        case RegistryType::Qword:
            if (data.size() == 8) {
                uint64_t value;
                std::memcpy(&value, data.data(), 8);
                return Hex(value);
            }
            break;
        default:
            break;
    }
    std::ostringstream text;
    for (uint8_t byte : data) {
        text << "0123456789ABCDEF"[byte >> 4] << "0123456789ABCDEF"[byte & 15];
    }
    return text.str();
}

std::vector<uint8_t> Bytes(const std::u16string& text) {
    std::vector<uint8_t> bytes(text.size() * 2);
    std::memcpy(bytes.data(), text.data(), bytes.size());
    return bytes;
}

std::vector<uint8_t> DataBytes(RegistryType type, const std::string& data) {
    switch (type) {
        case RegistryType::String:
        case RegistryType::ExpandString:
            return Bytes(wm::FromUtf8(data) + u'\0');
        case RegistryType::MultiString: {
            std::u16string text;
            for (size_t i = 0; i < data.size();) {
                if (data.compare(i, 2, "\\0") == 0) {
                    text += u'\0';
                    i += 2;
                } else {
                    const auto next = data.find("\\0", i);
                    text += wm::FromUtf8(data.substr(i, next - i));
                    i = next == std::string::npos ? data.size() : next;
                }
            }
            return Bytes(text + u'\0' + u'\0');
        }
        case RegistryType::Dword:
        case RegistryType::Qword: {
            const uint64_t value = std::stoull(data.empty() ? "0" : data, nullptr, 0);
            std::vector<uint8_t> bytes(type == RegistryType::Dword ? 4 : 8);
            if (type == RegistryType::Dword && value > 0xFFFFFFFFull) {
                throw std::runtime_error("a REG_DWORD holds at most 0xffffffff");
            }
            std::memcpy(bytes.data(), &value, bytes.size());
            return bytes;
        }
        default: {
            if (data.size() % 2 != 0)
                throw std::runtime_error("binary data needs pairs of hex digits");
            std::vector<uint8_t> bytes;
            for (size_t i = 0; i < data.size(); i += 2) {
                bytes.push_back(static_cast<uint8_t>(std::stoul(data.substr(i, 2), nullptr, 16)));
            }
            return bytes;
        }
    }
}

void Check(RegistryStatus status, const std::string& what) {
    if (status != RegistryStatus::Ok) {
        throw std::runtime_error(what + " (error " + std::to_string(static_cast<int>(status)) +
                                 ")");
    }
}

struct Options {
    std::string key;
    std::optional<std::string> value;  // "" for /ve
    bool allValues = false;            // /va
    std::string type = "REG_SZ";
    std::string data;
    bool recursive = false;  // /s
};

Options ParseOptions(const std::vector<std::string>& args) {
    if (args.size() < 2) throw std::runtime_error("usage: reg query|add|delete KEY [options]");
    Options options;
    options.key = args[1];
    for (size_t i = 2; i < args.size(); ++i) {
        const std::string flag = Upper(args[i]);
        const auto value = [&]() -> std::string {
            if (i + 1 >= args.size()) throw std::runtime_error(args[i] + " needs a value");
            return args[++i];
        };
        if (flag == "/V") {
            options.value = value();
        } else if (flag == "/VE") {
            options.value = "";
        } else if (flag == "/VA") {
            options.allValues = true;
        } else if (flag == "/T") {
            options.type = value();
        } else if (flag == "/D") {
            options.data = value();
        } else if (flag == "/S") {
            options.recursive = true;
        } else if (flag != "/F") {
            throw std::runtime_error("unknown option " + args[i]);
        }
    }
    return options;
}

void PrintValue(std::ostream& out, const std::string& name, RegistryType type,
                const std::vector<uint8_t>& data) {
    out << "    " << (name.empty() ? "(Default)" : name) << "    " << TypeName(type) << "    "
        << DataText(type, data) << "\n";
}

std::string FullName(const KeyPath& key) {
    return key.rootName + (key.path.empty() ? "" : "\\" + wm::ToUtf8(key.path));
}

void PrintKey(Registry& registry, const KeyPath& key, const RegistryKey& handle,
              std::ostream& out) {
    out << "\n" << FullName(key) << "\n";
    RegistryType type{};
    std::vector<uint8_t> data;
    wm::String valueName;
    for (uint32_t index = 0; registry.EnumValue(handle, index, valueName) == RegistryStatus::Ok;
         ++index) {
        if (registry.ReadValue(handle, valueName, type, data) == RegistryStatus::Ok) {
            PrintValue(out, wm::ToUtf8(valueName), type, data);
        }
    }
}

std::vector<wm::String> SubKeys(Registry& registry, const RegistryKey& handle) {
    std::vector<wm::String> names;
    wm::String child;
    while (registry.EnumSubKey(handle, static_cast<uint32_t>(names.size()), child) ==
           RegistryStatus::Ok) {
        names.push_back(child);
    }
    return names;
}

KeyPath Below(const KeyPath& key, const wm::String& child) {
    KeyPath sub = key;
    sub.path = key.path.empty() ? child : key.path + u"\\" + child;
    return sub;
}

// Walks the tree with a stack of its own, so that no depth of keys can exhaust the call stack,
// and opens each key from its parent, so that the walk costs what the tree holds.
void Query(Registry& registry, const KeyPath& top, const Options& options, std::ostream& out) {
    RegistryKey topHandle;
    Check(registry.OpenKey(top.root, top.path, topHandle), "the key does not exist");
    if (options.value) {
        RegistryType type{};
        std::vector<uint8_t> data;
        Check(registry.ReadValue(topHandle, wm::FromUtf8(*options.value), type, data),
              "the value does not exist");
        out << "\n" << FullName(top) << "\n";
        PrintValue(out, *options.value, type, data);
        return;
    }
    // The keys still to print, each below the key at `parent` in `open`.
    struct Pending {
        KeyPath path;
        size_t parent;
        wm::String name;
    };
    std::vector<RegistryKey> open;
    std::vector<Pending> pending;
    const auto print = [&](const KeyPath& key, RegistryKey handle) {
        PrintKey(registry, key, handle, out);
        const auto children = SubKeys(registry, handle);
        if (!options.recursive) {
            for (const auto& child : children) out << FullName(Below(key, child)) << "\n";
            return;
        }
        open.push_back(std::move(handle));
        // Pushed last to first, so that the first child is printed next.
        for (auto it = children.rbegin(); it != children.rend(); ++it) {
            pending.push_back({Below(key, *it), open.size() - 1, *it});
        }
    };
    print(top, std::move(topHandle));
    while (!pending.empty()) {
        Pending next = std::move(pending.back());
        pending.pop_back();
        // Keys whose children are all printed are closed again.
        while (open.size() > next.parent + 1) open.pop_back();
        RegistryKey handle;
        Check(registry.OpenSubKey(open[next.parent], next.name, handle), "the key does not exist");
        print(next.path, std::move(handle));
    }
}

// Deletes the deepest keys first, walking down with a stack of open keys.
void DeleteTree(Registry& registry, const KeyPath& top) {
    const auto slash = top.path.rfind(u'\\');
    RegistryKey parent;
    Check(
        registry.OpenKey(
            top.root, slash == wm::String::npos ? wm::String() : top.path.substr(0, slash), parent),
        "the parent key cannot be opened");
    // Each open key with the name of the key below it that the walk went into.
    std::vector<std::pair<RegistryKey, wm::String>> path;
    path.emplace_back(std::move(parent),
                      slash == wm::String::npos ? top.path : top.path.substr(slash + 1));
    for (;;) {
        RegistryKey key;
        Check(registry.OpenSubKey(path.back().first, path.back().second, key),
              "the key does not exist");
        wm::String child;
        if (registry.EnumSubKey(key, 0, child) == RegistryStatus::Ok) {
            path.emplace_back(std::move(key), std::move(child));
            continue;
        }
        key.Close();
        Check(registry.DeleteSubKey(path.back().first, path.back().second),
              "the key cannot be deleted");
        if (path.size() == 1) return;
        path.pop_back();
    }
}

}  // namespace

int RunRegCommand(const std::vector<std::string>& args, std::ostream& out) {
    try {
        if (args.empty()) throw std::runtime_error("usage: reg query|add|delete KEY [options]");
        const std::string operation = Upper(args[0]);
        const Options options = ParseOptions(args);
        const KeyPath key = ParseKey(options.key);
        Registry& registry = wm::platform::CurrentRegistry();
        if (operation == "QUERY") {
            Query(registry, key, options, out);
        } else if (operation == "ADD") {
            RegistryKey handle;
            Check(registry.CreateKey(key.root, key.path, handle), "the key cannot be created");
            if (options.value) {
                const RegistryType type = ParseType(options.type);
                Check(registry.WriteValue(handle, wm::FromUtf8(*options.value), type,
                                          DataBytes(type, options.data)),
                      "the value cannot be written");
            }
        } else if (operation == "DELETE") {
            if (options.value) {
                RegistryKey handle;
                Check(registry.OpenKey(key.root, key.path, handle), "the key does not exist");
                Check(registry.DeleteValue(handle, wm::FromUtf8(*options.value)),
                      "the value does not exist");
            } else {
                if (key.path.empty()) throw std::runtime_error("a root cannot be deleted");
                DeleteTree(registry, key);
            }
        } else {
            throw std::runtime_error("unknown operation " + args[0]);
        }
        if (operation != "QUERY") out << "The operation completed successfully.\n";
        return 0;
    } catch (const std::exception& error) {
        out << "ERROR: " << error.what() << "\n";
        return 1;
    }
}

std::optional<RegValueText> QueryRegValue(const std::string& keyText, const std::string& name) {
    const KeyPath key = ParseKey(keyText);
    Registry& registry = wm::platform::CurrentRegistry();
    RegistryKey handle;
    if (registry.OpenKey(key.root, key.path, handle) != RegistryStatus::Ok) return std::nullopt;
    RegistryType type{};
    std::vector<uint8_t> data;
    if (registry.ReadValue(handle, wm::FromUtf8(name), type, data) != RegistryStatus::Ok) {
        return std::nullopt;
    }
    return RegValueText{TypeName(type), DataText(type, data)};
}

}  // namespace farhost
