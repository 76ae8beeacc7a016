#include "Linux_ThreadLocale.h"

#include <gtest/gtest.h>

#include "ScopedLocaleEnvironment.h"

namespace {

TEST(Linux_ThreadLocale, MapsPosixLocaleNames) {
    const struct {
        const char* name;
        std::uint32_t id;
    } cases[] = {
        {"de_DE.UTF-8", 0x0407},   {"de_AT", 0x0C07},       {"de_CH.utf8", 0x0807},
        {"de_DE@euro", 0x0407},    {"de", 0x0407},          {"de_BE.UTF-8", 0x0407},
        {"fr_FR.UTF-8", 0x040C},   {"fr_BE", 0x080C},       {"fr_CA.UTF-8", 0x0C0C},
        {"fr_CH", 0x100C},         {"ja_JP.eucJP", 0x0411}, {"ru_RU.KOI8-R", 0x0419},
        {"zh_TW.Big5", 0x0404},    {"zh_HK.UTF-8", 0x0C04}, {"zh_MO", 0x1404},
        {"zh_CN.GB18030", 0x0804}, {"zh_SG.UTF-8", 0x1004}, {"zh", 0x0804},
        {"en_US.UTF-8", 0x0409},   {"en_GB.UTF-8", 0x0809}, {"en_IN", 0x4009},
        {"EN_us", 0x0409},         {"C", 0x007F},           {"C.UTF-8", 0x007F},
        {"POSIX", 0x007F},         {"sv_SE.UTF-8", 0x007F}, {"", 0x007F},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Linux_ThreadLocale::FromPosixName(c.name), c.id) << c.name;
    }
}

TEST(Linux_ThreadLocale, TakesTheFirstNonEmptyOfLcAllLcMessagesAndLang) {
    const struct {
        const char* all;
        const char* messages;
        const char* lang;
        std::uint32_t id;
    } cases[] = {
        {"ja_JP.UTF-8", "de_DE.UTF-8", "fr_FR.UTF-8", 0x0411},
        {"", "de_DE.UTF-8", "fr_FR.UTF-8", 0x0407},
        {nullptr, nullptr, "fr_FR.UTF-8", 0x040C},
        {"", "", "ru_RU.UTF-8", 0x0419},
        {nullptr, nullptr, nullptr, 0x007F},
        {"C", "de_DE.UTF-8", nullptr, 0x007F},
    };
    for (const auto& c : cases) {
        ScopedLocaleEnvironment environment(c.all, c.messages, c.lang);
        EXPECT_EQ(Linux_ThreadLocale::Current(), c.id)
            << (c.all ? c.all : "-") << " " << (c.messages ? c.messages : "-") << " "
            << (c.lang ? c.lang : "-");
    }
}

}  // namespace
