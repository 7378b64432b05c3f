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

// Most values fit in the first buffer, so that one call reads them.
constexpr size_t kFirstReadSize = 512;
constexpr size_t kLongestValueName = 16384;  // with its null
constexpr size_t kLongestKeyName = 32767;

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
        std::vector<uint8_t> buffer(kFirstReadSize);
        for (;;) {
            DWORD rawType = 0, rawSize = static_cast<DWORD>(buffer.size());
            const LONG code = RegQueryValueExW(Handle(key), wideName.c_str(), nullptr, &rawType,
                                               buffer.empty() ? nullptr : buffer.data(), &rawSize);
            // A value larger than the buffer is asked for again with its size.
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
        return EnumSubKeyInto(Handle(key), index, buffer, name);
    }

    // The system lists one name per call: one buffer serves the whole listing.
    RegistryStatus ListSubKeys(const RegistryKey& key,
                               const std::function<bool(StringView)>& visit) override {
        std::wstring buffer(MaxKeyNameLength + 1, L'\0');
        String name;
        for (DWORD index = 0;; ++index) {
            const RegistryStatus status = EnumSubKeyInto(Handle(key), index, buffer, name);
            if (status == RegistryStatus::NoMoreItems) return RegistryStatus::Ok;
            if (status != RegistryStatus::Ok) return status;
            if (!visit(name)) return RegistryStatus::Ok;
        }
    }

    // Each value's name, type and data in one call.
    RegistryStatus ReadValues(const RegistryKey& key, std::vector<RegistryValue>& values) override {
        values.clear();
        std::wstring name(kLongestValueName, L'\0');
        std::vector<uint8_t> data(kFirstReadSize);
        for (DWORD index = 0;;) {
            DWORD nameLength = static_cast<DWORD>(name.size()), type = 0;
            DWORD size = static_cast<DWORD>(data.size());
            const LONG code = RegEnumValueW(Handle(key), index, name.data(), &nameLength, nullptr,
                                            &type, data.data(), &size);
            if (code == ERROR_NO_MORE_ITEMS) return RegistryStatus::Ok;
            if (code == ERROR_MORE_DATA && size > data.size()) {
                data.resize(size);
                continue;
            }
            if (code != ERROR_SUCCESS) {
                values.clear();
                return Status(code);
            }
            values.push_back({String(name.begin(), name.begin() + nameLength),
                              static_cast<RegistryType>(type),
                              std::vector<uint8_t>(data.begin(), data.begin() + size)});
            ++index;
        }
    }

    // The system's own answer for a key's name: NtQueryKey's basic information, the last
    // component of its path as created.
    RegistryStatus KeyName(const RegistryKey& key, String& name) override {
        using QueryKey = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
        static const auto query = reinterpret_cast<QueryKey>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryKey")));
        if (query == nullptr || Handle(key) == nullptr) return RegistryStatus::NotSupported;
        // KEY_BASIC_INFORMATION: last write time, title index, name length in bytes, name.
        constexpr int kKeyBasicInformation = 0;
        constexpr size_t kNameOffset = 16;
        alignas(8) uint8_t buffer[kNameOffset + (MaxKeyNameLength + 1) * sizeof(wchar_t)];
        ULONG written = 0;
        if (query(Handle(key), kKeyBasicInformation, buffer, sizeof buffer, &written) != 0) {
            return RegistryStatus::NotSupported;
        }
        ULONG nameBytes = 0;
        std::memcpy(&nameBytes, buffer + 12, sizeof nameBytes);
        if (kNameOffset + nameBytes > written) return RegistryStatus::NotSupported;
        name.resize(nameBytes / sizeof(char16_t));
        std::memcpy(name.data(), buffer + kNameOffset, name.size() * sizeof(char16_t));
        return RegistryStatus::Ok;
    }

    RegistryStatus EnumValue(const RegistryKey& key, uint32_t index, String& name) override {
        std::wstring buffer(kLongestValueName, L'\0');
        DWORD length = static_cast<DWORD>(buffer.size());
        const LONG code = RegEnumValueW(Handle(key), index, buffer.data(), &length, nullptr,
                                        nullptr, nullptr, nullptr);
        if (code == ERROR_SUCCESS) name.assign(buffer.begin(), buffer.begin() + length);
        return Status(code);
    }

private:
    static RegistryStatus EnumSubKeyInto(HKEY key, DWORD index, std::wstring& buffer,
                                         String& name) {
        for (;;) {
            DWORD length = static_cast<DWORD>(buffer.size());
            const LONG code = RegEnumKeyExW(key, index, buffer.data(), &length, nullptr, nullptr,
                                            nullptr, nullptr);
            if (code == ERROR_MORE_DATA && buffer.size() < kLongestKeyName) {
                buffer.resize(kLongestKeyName);
                continue;
            }
            if (code == ERROR_SUCCESS) name.assign(buffer.begin(), buffer.begin() + length);
            return Status(code);
        }
    }

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
