#include "core/Exceptions.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace wm {
namespace {

TEST(ExceptionsTest, ClassNamesAndMessagesSurviveTheBaseClass) {
    std::vector<std::pair<std::unique_ptr<Exception>, const char16_t*>> cases;
    cases.emplace_back(std::make_unique<Exception>(u"m"), u"Exception");
    cases.emplace_back(std::make_unique<EAbort>(u"m"), u"EAbort");
    cases.emplace_back(std::make_unique<EConvertError>(u"m"), u"EConvertError");
    cases.emplace_back(std::make_unique<EListError>(u"m"), u"EListError");
    cases.emplace_back(std::make_unique<EFarError>(u"m"), u"EFarError");
    cases.emplace_back(std::make_unique<EFarPluginError>(u"m"), u"EFarPluginError");
    cases.emplace_back(std::make_unique<EFarDialogError>(u"m"), u"EFarDialogError");
    for (const auto& [error, name] : cases) {
        EXPECT_EQ(error->ClassName(), name);
        EXPECT_EQ(error->Message(), u"m");
    }
}

TEST(ExceptionsTest, PluginErrorIsCaughtAsHostErrorAndWhatIsUtf8) {
    try {
        throw EFarPluginError(u"caf\u00E9");
    } catch (const EFarError& e) {
        EXPECT_EQ(e.ClassName(), u"EFarPluginError");
        EXPECT_STREQ(e.what(), "caf\xC3\xA9");
    }
    EXPECT_EQ(EAbort().Message(), u"Operation aborted");
}

}  // namespace
}  // namespace wm
