// The interface language follows the POSIX locale variables when none is requested.

#include "UiLanguage.h"

#include <gtest/gtest.h>

#include "ResourceIds.h"
#include "ScopedLocaleEnvironment.h"

namespace {

using namespace res;

class UiLanguage : public testing::Test {
  protected:
    void TearDown() override { uiLanguage = 0; }
};

TEST_F(UiLanguage, TheLocaleComesFromThePosixVariables) {
    const struct {
        const char* all;
        const char* lang;
        std::uint16_t language;
    } cases[] = {
        {nullptr, "ja_JP.UTF-8", 0x0411},       {"fr_CA.UTF-8", "de_DE.UTF-8", 0x0C0C},
        {nullptr, "C", LANG_ENGLISH},           {nullptr, nullptr, LANG_ENGLISH},
        {nullptr, "sv_SE.UTF-8", LANG_ENGLISH},
    };
    for (const auto& c : cases) {
        ScopedLocaleEnvironment environment(c.all, nullptr, c.lang);
        SelectUiLanguage(0);
        EXPECT_EQ(uiLanguage, c.language) << (c.lang ? c.lang : "-");
    }
}

}  // namespace
