#include "plugin/uSubstitution.h"

#include <gtest/gtest.h>

#include "platform/Environment.h"
#include "plugin/uOptions.h"
#include "plugin/uSystem.h"
#include "tests/settings/SettingsFixture.h"

namespace wm::test {
namespace {

using platform::RegistryCall;
using platform::RegistryRoot;
using platform::RegistryType;

constexpr std::pair<const char16_t*, const char16_t*> kVariables[] = {
    {u"WM_A", u"alpha"}, {u"WM_EMPTY", u""}, {u"WM_FORM", u"%WM_A%"}, {u"WM_B", u"beta"}};

class Substitution : public SettingsTest {
protected:
    Substitution() {
        for (const auto& [name, value] : kVariables) {
            EXPECT_TRUE(platform::SetEnvironmentValue(name, value));
        }
        EXPECT_TRUE(platform::UnsetEnvironmentValue(u"WM_UNSET"));
    }
    ~Substitution() override {
        for (const auto& variable : kVariables) {
            EXPECT_TRUE(platform::UnsetEnvironmentValue(variable.first));
        }
    }

    // With every engine on, or with only the switch given.
    static String Expand(StringView text, bool TOptions::*only = nullptr) {
        TOptions options;
        options.UseSubstEngines = true;
        for (auto field : {&TOptions::UseSubstEngines_Env, &TOptions::UseSubstEngines_BatchEnv,
                           &TOptions::UseSubstEngine_Known, &TOptions::UseSubstEngines_Reg}) {
            options.*field = only == nullptr || only == field;
        }
        return CreateEngines(options)->Substitute(text);
    }
};

TEST_F(Substitution, FormsAreReplacedInOneScanFromLeftToRight) {
    const struct {
        const char16_t *text, *expected;
    } cases[] = {
        {u"$(env:WM_A)\\x", u"alpha\\x"},
        {u"$(ENV:wm_a)", u"alpha"},
        {u"%wm_a%", u"alpha"},
        {u"$(env:WM_FORM)", u"%WM_A%"},  // values are not scanned again
        {u"%%", u"%"},
        {u"50%", u"50%"},
        {u"a%WM_B%c", u"abetac"},
        {u"a%WM_UNSET%c", u"ac"},
        {u"$(env:)", u"$(env:)"},
        {u"$(env:WM_A", u"$(env:WM_A"},
        {u"$(env:WM_UNSET)$(env:WM_A)", u"alpha"},
        {u"$(env:WM_EMPTY)%WM_B%", u"beta"},
        {u"$(dir:NOSUCH)", u"$(dir:NOSUCH)"},
        {u"$(CSIDL_DRIVES)", u"$(CSIDL_DRIVES)"},
        {u"$(reg:)", u"$(reg:)"},
    };
    for (const auto& c : cases) EXPECT_EQ(Expand(c.text), c.expected) << ToUtf8(c.text);
}

// Accepts only the name "ok) x" and counts what it was asked.
class CountingEngine : public TSimpleSubstitutionEngine {
public:
    StringView Prefix() const override { return u"$(t:"; }
    StringView Suffix() const override { return u")"; }
    bool Lookup(StringView name, String& value) override {
        ++lookups;
        value = u"<" + String(name) + u">";
        return name == u"ok) x";
    }
    int lookups = 0;
};

TEST_F(Substitution, NamesStopAtTheNextFormSoThatLongTextsCostOneLookupAForm) {
    TSubstitutionEngines engines;
    auto owned = std::make_unique<CountingEngine>();
    CountingEngine& engine = *owned;
    engines.AddEngine(std::move(owned));
    // A later closing bracket still makes a name, within the form.
    EXPECT_EQ(engines.Substitute(u"a$(t:ok) x)b"), u"a<ok) x>b");
    EXPECT_EQ(engine.lookups, 2);

    engine.lookups = 0;
    String forms;
    for (int i = 0; i < 1000; ++i) forms += u"$(t:n)";
    EXPECT_EQ(engines.Substitute(forms), forms);
    EXPECT_EQ(engine.lookups, 1000);

    // Closing brackets without end: a bounded number of names is tried.
    engine.lookups = 0;
    const String closers = u"$(t:" + String(100000, u')');
    EXPECT_EQ(engines.Substitute(closers), closers);
    EXPECT_EQ(engine.lookups, static_cast<int>(TSimpleSubstitutionEngine::MaxNamesTried));

    // The inner of two nested forms is the one replaced.
    EXPECT_EQ(Expand(u"$(env:$(env:WM_A))"), u"$(env:alpha)");
}

TEST_F(Substitution, TheOptionsChooseTheEnginesAndTheirOrder) {
    EXPECT_EQ(Expand(u"%WM_A%$(env:WM_A)", &TOptions::UseSubstEngines_Env), u"%WM_A%alpha");
    EXPECT_EQ(Expand(u"%WM_A%$(env:WM_A)", &TOptions::UseSubstEngines_BatchEnv),
              u"alpha$(env:WM_A)");

    TOptions options;
    options.UseSubstEngines_Env = options.UseSubstEngines_BatchEnv = true;
    options.UseSubstEngine_Known = options.UseSubstEngines_Reg = true;
    EXPECT_EQ(CreateEngines(options), nullptr);
    options.UseSubstEngines = true;
    const auto engines = CreateEngines(options);
    const std::vector<const std::type_info*> expected = {
        &typeid(TEnvVarSubstitutionEngine), &typeid(TBatchEnvVarSubstitutionEngine),
        &typeid(TKnownFolderSubstitutionEngine), &typeid(TKnownFolderSubstitutionEngine2),
        &typeid(TRegistrySubstitutionEngine)};
    ASSERT_EQ(engines->Engines().size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(typeid(*engines->Engines()[i]), *expected[i]) << i;
    }
    EXPECT_FALSE(engines->AddEngineClass<TEnvVarSubstitutionEngine>());
}

TEST_F(Substitution, KnownFoldersAreTheShellsPaths) {
    const String profile = GetKnownFolderPath(40);
    ASSERT_FALSE(profile.empty());
    EXPECT_EQ(Expand(u"$(dir:profile)\\x"), profile + u"\\x");
    EXPECT_EQ(Expand(u"$(csidl_Profile)"), profile);
    EXPECT_EQ(Expand(u"$(dir:appdata)"), Expand(u"$(CSIDL_APPDATA)"));
}

TEST_F(Substitution, RegistryFormsReadStringValues) {
    const String key = scratch + u"\\A (x)";
    WriteRaw(key, u"Value", RegistryType::String, Bytes(StringView(u"found\0", 6)));
    WriteRaw(key, u"", RegistryType::ExpandString, Bytes(StringView(u"%def%\0", 6)));
    WriteRaw(key, u"Inner", RegistryType::String, Bytes(StringView(u"a\0b", 3)));
    WriteRaw(key, u"Empty", RegistryType::String, {});
    WriteRaw(key, u"Number", RegistryType::Dword, BytesOf(uint32_t{1}));
    WriteRaw(key + u"\\Sub", u"Colon", RegistryType::String, Bytes(u"colon"));
    const String form = u"$(reg:HKCU\\" + key;
    const struct {
        String text, expected;
    } cases[] = {
        // The first ")" ends a name that addresses nothing; the next one is tried.
        {form + u"\\Value)", u"found"},
        {u"$(reg:hkey_current_user/" + key + u"/Value)!", u"found!"},
        {form + u"\\)", u"%def%"},
        {form + u"\\Inner)", u"a"},
        {u"[" + form + u"\\Empty)]", u"[]"},
        // A colon before the value name reads the same value as a backslash.
        {form + u"\\Sub:Colon)", u"colon"},
        {form + u"\\Sub\\Colon)", u"colon"},
        {form + u"\\Missing)", form + u"\\Missing)"},
    };
    for (const auto& c : cases) EXPECT_EQ(Expand(c.text), c.expected) << ToUtf8(c.text);
    try {
        Expand(form + u"\\Number)");
        ADD_FAILURE() << "no error";
    } catch (const ERegistryException& error) {
        EXPECT_EQ(error.Message(), u"Invalid data type for 'Number'");
    }
}

TEST_F(Substitution, RegistryFormsChooseTheRootAndAskForLessAccessWhenRefused) {
    RefusingRegistry refusing;
    refusing.faults.FailWhen(
        [](const auto& call) { return call.access != platform::KeyQueryValue; });
    const struct {
        const char16_t* name;
        RegistryRoot root;
        const char16_t* keyPath;
    } cases[] = {
        {u"HKLM\\Software\\A\\B", RegistryRoot::LocalMachine, u"Software\\A"},
        {u"hkey_users\\k\\v", RegistryRoot::Users, u"k"},
        {u"HKDD\\k\\v", RegistryRoot::DynData, u"k"},
        {u"Software\\A\\B", RegistryRoot::CurrentUser, u"A"},  // no root name: dropped
        {u"Value", RegistryRoot::CurrentUser, u""},
    };
    for (const auto& c : cases) {
        refusing.faults.ClearCalls();
        Expand(u"$(reg:" + String(c.name) + u")", &TOptions::UseSubstEngines_Reg);
        std::vector<uint32_t> accesses;
        for (const auto& call : refusing.faults.Calls()) {
            if (call.call != RegistryCall::OpenKeyWithAccess) continue;
            accesses.push_back(call.access);
            EXPECT_EQ(call.root, c.root) << ToUtf8(c.name);
            EXPECT_EQ(call.name, c.keyPath) << ToUtf8(c.name);
        }
        EXPECT_EQ(accesses, (std::vector<uint32_t>{0x20019, 0x20009, 0x1})) << ToUtf8(c.name);
    }
}

TEST_F(Substitution, ExpandDirectoryFollowsTheStoredOptions) {
    EXPECT_EQ(ExpandDirectory(u"$(env:WM_A)"), u"$(env:WM_A)");
    TOptions options;
    options.UseSubstEngines_Env = true;
    ASSERT_TRUE(options.Save());
    EXPECT_EQ(ExpandDirectory(u"$(env:WM_A)"), u"$(env:WM_A)");
    options.UseSubstEngines = true;
    ASSERT_TRUE(options.Save());
    EXPECT_EQ(ExpandDirectory(u"$(env:WM_A)\\%WM_A%"), u"alpha\\%WM_A%");
}

}  // namespace
}  // namespace wm::test
