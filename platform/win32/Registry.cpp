#include <windows.h>

#include <cstring>
#include <string>

#include "platform/Registry.h"

namespace wm::platform {
namespace {

std::wstring Wide(StringView text) {
    return std::wstring(text.begin(), text.end());
}

RegistryStatus Status(LONG code) {
    return static_cast<RegistryStatus>(code);
}

HKEY RootHandle(RegistryRoot root) {
    // As windows.h spells them: the 32-bit value sign-extended to a handle.
    return reinterpret_cast<HKEY>(
        static_cast<ULONG_PTR>(static_cast<LONG>(static_cast<uint32_t>(root))));
}

bool IsRootHandle(HKEY key) {
    for (RegistryRoot root : AllRegistryRoots) {
        if (key == RootHandle(root)) return true;
    }
    return false;
}

bool IsStringType(RegistryType type) {
    return type == RegistryType::String || type == RegistryType::ExpandString ||
           type == RegistryType::MultiString;
}

class Win32Registry final : public Registry {
public:
    RegistryStatus OpenKey(RegistryRoot root, StringView path, RegistryKey& key) override {
        return Opened(key, [&](HKEY& handle) {
            return RegOpenKeyW(RootHandle(root), Wide(path).c_str(), &handle);
        });
    }

    RegistryStatus OpenKeyWithAccess(RegistryRoot root, StringView path, uint32_t access,
                                     RegistryKey& key) override {
        return Opened(key, [&](HKEY& handle) {
            return RegOpenKeyExW(RootHandle(root), Wide(path).c_str(), 0, access, &handle);
        });
    }

    RegistryStatus OpenSubKey(const RegistryKey& parent, StringView path,
                              RegistryKey& key) override {
        const HKEY parentHandle = Handle(parent);
        return Opened(key, [&](HKEY& handle) {
            return RegOpenKeyW(parentHandle, Wide(path).c_str(), &handle);
        });
    }

    RegistryStatus CreateKey(RegistryRoot root, StringView path, RegistryKey& key) override {
        return Opened(key, [&](HKEY& handle) {
            return RegCreateKeyW(RootHandle(root), Wide(path).c_str(), &handle);
        });
    }

    RegistryStatus QueryValue(const RegistryKey& key, StringView name, RegistryType& type,
                              uint32_t& size) override {
        DWORD rawType = 0, rawSize = 0;
        const LONG code =
            RegQueryValueExW(Handle(key), Wide(name).c_str(), nullptr, &rawType, nullptr, &rawSize);
        if (code == ERROR_SUCCESS) {
            type = static_cast<RegistryType>(rawType);
            size = rawSize;
        }
        return Status(code);
    }

    RegistryStatus ReadValue(const RegistryKey& key, StringView name, RegistryType& type,
                             std::vector<uint8_t>& data) override {
        const std::wstring wideName = Wide(name);
        std::vector<uint8_t> buffer;
        for (;;) {
            DWORD rawType = 0, rawSize = static_cast<DWORD>(buffer.size());
            const LONG code = RegQueryValueExW(Handle(key), wideName.c_str(), nullptr, &rawType,
                                               buffer.empty() ? nullptr : buffer.data(), &rawSize);
            // The first call only learns the size; a value that grew meanwhile asks again.
            if ((code == ERROR_SUCCESS && buffer.size() < rawSize) || code == ERROR_MORE_DATA) {
                buffer.resize(rawSize);
                continue;
            }
            if (code != ERROR_SUCCESS) return Status(code);
            buffer.resize(rawSize);
            type = static_cast<RegistryType>(rawType);
            data = std::move(buffer);
            return RegistryStatus::Ok;
        }
    }

    RegistryStatus WriteValue(const RegistryKey& key, StringView name, RegistryType type,
                              std::span<const uint8_t> data) override {
        // For string types the API looks at the characters on either side of the data and
        // counts a null just past it in; non-null guards keep the stored bytes exactly these.
        constexpr size_t kGuard = 2;
        std::vector<uint8_t> buffer(data.size() + 2 * kGuard, 0xFF);
        if (!data.empty()) std::memcpy(buffer.data() + kGuard, data.data(), data.size());
        const BYTE* bytes = IsStringType(type) ? buffer.data() + kGuard : data.data();
        return Status(RegSetValueExW(Handle(key), Wide(name).c_str(), 0, static_cast<DWORD>(type),
                                     data.empty() ? nullptr : bytes,
                                     static_cast<DWORD>(data.size())));
    }

    RegistryStatus DeleteValue(const RegistryKey& key, StringView name) override {
        return Status(RegDeleteValueW(Handle(key), Wide(name).c_str()));
    }

    RegistryStatus DeleteSubKey(const RegistryKey& key, StringView path) override {
        return Status(RegDeleteKeyW(Handle(key), Wide(path).c_str()));
    }

    RegistryStatus EnumSubKey(const RegistryKey& key, uint32_t index, String& name) override {
        std::wstring buffer(MaxKeyNameLength + 1, L'\0');
        for (;;) {
            DWORD length = static_cast<DWORD>(buffer.size());
            const LONG code = RegEnumKeyExW(Handle(key), index, buffer.data(), &length, nullptr,
                                            nullptr, nullptr, nullptr);
            if (code == ERROR_MORE_DATA && buffer.size() < 32767) {
                buffer.resize(32767);
                continue;
            }
            if (code == ERROR_SUCCESS) name.assign(buffer.begin(), buffer.begin() + length);
            return Status(code);
        }
    }

    RegistryStatus EnumValue(const RegistryKey& key, uint32_t index, String& name) override {
        std::wstring buffer(16384, L'\0');  // the longest value name, with its null
        DWORD length = static_cast<DWORD>(buffer.size());
        const LONG code = RegEnumValueW(Handle(key), index, buffer.data(), &length, nullptr,
                                        nullptr, nullptr, nullptr);
        if (code == ERROR_SUCCESS) name.assign(buffer.begin(), buffer.begin() + length);
        return Status(code);
    }

private:
    // Runs one open or create call into a fresh handle that `key` then owns.
    template <class Call>
    RegistryStatus Opened(RegistryKey& key, Call&& call) {
        key.Close();
        HKEY handle = nullptr;
        const LONG code = call(handle);
        if (code == ERROR_SUCCESS) key = Own(handle);
        return Status(code);
    }

protected:
    void CloseKey(uintptr_t handle) noexcept override {
        const HKEY key = reinterpret_cast<HKEY>(handle);
        if (!IsRootHandle(key)) RegCloseKey(key);
    }

private:
    RegistryKey Own(HKEY handle) { return RegistryKey(*this, reinterpret_cast<uintptr_t>(handle)); }

    // A key made by another registry is no handle here.
    HKEY Handle(const RegistryKey& key) const {
        return key.Owner() == this ? reinterpret_cast<HKEY>(key.Handle()) : nullptr;
    }
};

}  // namespace

std::unique_ptr<Registry> OpenSystemRegistry() {
    return std::make_unique<Win32Registry>();
}

}  // namespace wm::platform
