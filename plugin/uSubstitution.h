// Substitution in stored directories, just before a jump: environment variables ("$(env:NAME)",
// "%NAME%"), shell known folders ("$(dir:NAME)", "$(CSIDL_NAME)") and registry string values
// ("$(reg:ROOT\Key\Value)"). Each enabled engine recognises one kind of form.
#pragma once

#include <memory>
#include <typeinfo>
#include <vector>

#include "core/Exceptions.h"
#include "core/String.h"

namespace wm {

class TOptions;

// A registry value that a form names is not a string.
WM_DECLARE_EXCEPTION(ERegistryException, Exception);

class TSubstitutionEngine {
public:
    virtual ~TSubstitutionEngine() = default;
    // True when a form starts exactly at `position` (counting from 0): `value` then holds its
    // replacement and `position` points just after the form. Both stay unchanged otherwise.
    virtual bool TrySubstitute(StringView text, size_t& position, String& value) = 0;
};

// Forms made of a prefix, a name and a suffix. When the name up to the first suffix is not
// accepted, the names up to later suffixes are tried in turn: at most MaxNamesTried of them,
// none longer than MaxNameLength, and none reaching into the next form of the same prefix. So
// a text is expanded in time linear in its length (plus the lookups made).
class TSimpleSubstitutionEngine : public TSubstitutionEngine {
public:
    static constexpr size_t MaxNamesTried = 64;

    bool TrySubstitute(StringView text, size_t& position, String& value) override;

    virtual bool CaseSensitive() const { return true; }
    virtual StringView Prefix() const = 0;
    virtual StringView Suffix() const = 0;
    // No longer name can be accepted.
    virtual size_t MaxNameLength() const { return StringView::npos; }
    // Whether the name is accepted, and its value.
    virtual bool Lookup(StringView name, String& value) = 0;

private:
    bool MatchAt(StringView text, size_t position, StringView pattern) const;
};

// "$(reg:" key path ")": a REG_SZ or REG_EXPAND_SZ value (unexpanded, up to its first null).
// The path may start with a root name (HKCU, HKEY_LOCAL_MACHINE, ...); without one, or with an
// unknown one (which is dropped), it is read below HKEY_CURRENT_USER. "/" counts as "\". The
// value name follows the last "\" or ":"; a trailing "\" names the key's default value. A value
// of another type raises ERegistryException.
class TRegistrySubstitutionEngine : public TSimpleSubstitutionEngine {
public:
    bool CaseSensitive() const override { return false; }
    StringView Prefix() const override { return u"$(reg:"; }
    StringView Suffix() const override { return u")"; }
    bool Lookup(StringView name, String& value) override;
};

// "$(env:" name ")": the variable's value, empty when it is not set.
class TEnvVarSubstitutionEngine : public TSimpleSubstitutionEngine {
public:
    bool CaseSensitive() const override { return false; }
    StringView Prefix() const override { return u"$(env:"; }
    StringView Suffix() const override { return u")"; }
    bool Lookup(StringView name, String& value) override;
};

// "%" name "%", as in command scripts: "%%" is "%".
class TBatchEnvVarSubstitutionEngine : public TSimpleSubstitutionEngine {
public:
    bool CaseSensitive() const override { return false; }
    StringView Prefix() const override { return u"%"; }
    StringView Suffix() const override { return u"%"; }
    bool Lookup(StringView name, String& value) override;
};

// "$(dir:" name ")": the path of the shell folder named like its CSIDL constant without the
// "CSIDL_" prefix, when it has one.
class TKnownFolderSubstitutionEngine : public TSimpleSubstitutionEngine {
public:
    bool CaseSensitive() const override { return false; }
    StringView Prefix() const override { return u"$(dir:"; }
    StringView Suffix() const override { return u")"; }
    size_t MaxNameLength() const override;
    bool Lookup(StringView name, String& value) override;
};

// "$(CSIDL_" name ")": the same folders, written as the constant's name.
class TKnownFolderSubstitutionEngine2 : public TKnownFolderSubstitutionEngine {
public:
    StringView Prefix() const override { return u"$(CSIDL_"; }
};

// The ordered list of engines; the first engine that replaces a form at a position wins it.
class TSubstitutionEngines {
public:
    virtual ~TSubstitutionEngines() = default;

    // Adds a new engine of class T unless one of exactly that class is in the list already.
    template <typename T>
    bool AddEngineClass() {
        for (const auto& engine : Engines_) {
            if (typeid(*engine) == typeid(T)) return false;
        }
        return AddEngine(std::make_unique<T>());
    }
    bool AddEngine(std::unique_ptr<TSubstitutionEngine> engine);

    // Offers the position to the engines in order; true when one found a form there, as
    // TrySubstitute says.
    virtual bool SubstituteAt(StringView text, size_t& position, String& value);
    // One scan from left to right: replacement values are not scanned again.
    virtual String Substitute(StringView text);

    const std::vector<std::unique_ptr<TSubstitutionEngine>>& Engines() const { return Engines_; }

private:
    std::vector<std::unique_ptr<TSubstitutionEngine>> Engines_;
};

// The engines the options enable, in the order environment, batch environment, known folder,
// CSIDL form, registry; null when substitution is off.
std::unique_ptr<TSubstitutionEngines> CreateEngines(const TOptions& options);
// The same, from freshly loaded options.
std::unique_ptr<TSubstitutionEngines> CreateEngines();
// The directory with its forms replaced, as the enabled engines see it.
String ExpandDirectory(StringView directory);

}  // namespace wm
