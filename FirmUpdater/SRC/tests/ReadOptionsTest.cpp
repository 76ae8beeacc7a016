// The command line: every option form, the length rules, later arguments winning, the
// number bases of /l:, and arguments that begin with / under both platforms' rules.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "CFWUpdaterAppApp.h"
#include "DeviceVersionOverride.h"
#include "ScriptedUi.h"
#include "TemporaryDirectory.h"
#include "TextConversion.h"

namespace {

struct Expected {
    std::uint8_t forceUpdate = 0;
    std::int32_t clockMode = 0;
    std::wstring imageVersion{};
    std::wstring imagePath{};
    std::uint16_t languageId = 0;
    std::optional<std::string> deviceVersion{};
    bool help = false;
    bool choose = false;
    bool version = false;
    bool verbose = false;
    std::wstring logPath{};
};

class ReadOptions : public testing::Test {
  protected:
    void SetUp() override {
        SetDeviceVersionOverride(nullptr);
        std::ofstream(directory_.Path() / "image.bin") << "x";
    }
    void TearDown() override { SetDeviceVersionOverride(nullptr); }

    std::wstring Existing() const { return (directory_.Path() / "image.bin").wstring(); }
    std::wstring Directory() const { return directory_.Path().wstring(); }

    void Check(std::vector<std::wstring> arguments, const Expected& expected,
               SlashArguments slash = SlashArguments::PathWhenFileExists) {
        std::wstring shown;
        for (const auto& a : arguments) {
            shown += L"[" + a + L"] ";
        }
        SCOPED_TRACE(common::WideToUtf8(shown) +
                     (slash == SlashArguments::OptionsOnly ? "(Windows rules)" : "(Linux rules)"));
        SetDeviceVersionOverride(nullptr);
        arguments.insert(arguments.begin(), L"firmupdater");
        ui::ScriptedUi ui;
        std::ostringstream console;
        UpdaterPlatform platform;
        platform.slashArguments = slash;
        CFWUpdaterAppApp app(ui, arguments, console, platform);
        app.ReadOptions();
        EXPECT_EQ(app.forceUpdate, expected.forceUpdate);
        EXPECT_EQ(app.clockMode, expected.clockMode);
        EXPECT_EQ(app.imageVersion, expected.imageVersion);
        EXPECT_EQ(app.imagePath, expected.imagePath);
        EXPECT_EQ(app.languageId, expected.languageId);
        EXPECT_EQ(GetDeviceVersionOverride(), expected.deviceVersion);
        EXPECT_EQ(app.helpRequested, expected.help);
        EXPECT_EQ(app.chooseImage, expected.choose);
        EXPECT_EQ(app.versionRequested, expected.version);
        EXPECT_EQ(app.verbose, expected.verbose);
        EXPECT_EQ(app.logPath, expected.logPath);
        EXPECT_TRUE(ui.Events().empty()) << "reading options shows nothing";
    }

  private:
    fu_testing::TemporaryDirectory directory_{"fu_options_"};
};

TEST_F(ReadOptions, FlagsAndTheirCaseSensitivity) {
    Check({}, {});
    Check({L"/f"}, {.forceUpdate = 1});
    Check({L"/F", L"/T", L"/x", L"/", L"/t+", L"/ff"}, {});
    Check({L"/t"}, {.clockMode = 1});
    Check({L"/t-"}, {.clockMode = -1});
    Check({L"/t", L"/t-"}, {.clockMode = -1});
    Check({L"/t-", L"/t"}, {.clockMode = 1});
    Check({L"--help"}, {.help = true});
    Check({L"-h"}, {.help = true});
    Check({L"--choose"}, {.choose = true});
    Check({L"--choose", L"a.img"}, {.imagePath = L"a.img", .choose = true});
    Check({L"--Choose", L"-choose", L"--HELP", L"-H"}, {.imagePath = L"-H"});
    Check({L"--version"}, {.version = true});
}

TEST_F(ReadOptions, TranscriptOptions) {
    Check({L"-v"}, {.verbose = true});
    Check({L"--verbose", L"x.img"}, {.imagePath = L"x.img", .verbose = true});
    Check({L"--log=/tmp/a b.log", L"--log=run.log"}, {.logPath = L"run.log"});
    Check({L"--log=run.log", L"--log="}, {.logPath = L"run.log"});  // an empty name is no path
}

TEST_F(ReadOptions, VersionOverridesNeedExactlyFiveCharacters) {
    Check({L"/s:1.23A"}, {.imageVersion = L"1.23A"});
    Check({L"/s:1.23", L"/s:1.23AB", L"/s:"}, {});
    Check({L"/d:0.999"}, {.deviceVersion = "0.999"});
    Check({L"/d:0.99", L"/d:0.9999"}, {});
    Check({L"/s:01.20", L"/s:01.30"}, {.imageVersion = L"01.30"});
    Check({L"/d:01.20", L"/d:01.30"}, {.deviceVersion = "01.30"});
    // Both go through the narrow encoding (the C locale, a Western code page): what it
    // cannot carry becomes '?'.
    Check({L"/s:1.2\u4E003"}, {.imageVersion = L"1.2?3"});
    Check({L"/d:1.2\u4E003"}, {.deviceVersion = "1.2?3"});
}

TEST_F(ReadOptions, LanguageNumbersInEveryBaseKeepTheirLow16Bits) {
    const struct {
        const wchar_t* argument;
        std::uint16_t language;
    } cases[] = {
        {L"/l:1041", 1041},
        {L"/l:0x411", 1041},
        {L"/l:0X411", 1041},
        {L"/l:02021", 1041},
        {L"/l:1041abc", 1041},
        {L"/l: 1041", 1041},
        {L"/l:abc", 0},
        {L"/l:0x", 0},
        {L"/l:-", 0},
        {L"/l:66577", 0x0411},  // 0x10411
        {L"/l:-1", 0xFFFF},
        {L"/l:99999999999", 0xFFFF},  // saturates at the 32-bit maximum
        {L"/l:-99999999999", 0},
    };
    for (const auto& c : cases) {
        Check({c.argument}, {.languageId = c.language});
    }
    Check({L"/l:"}, {});
    Check({L"/l:7", L"/l:1049"}, {.languageId = 1049});
}

TEST_F(ReadOptions, ImagePaths) {
    Check({L"image.bin"}, {.imagePath = L"image.bin"});
    Check({L"first.bin", L"second.bin"}, {.imagePath = L"second.bin"});
    Check({L"image.bin", L"/t", L"/t-"}, {.clockMode = -1, .imagePath = L"image.bin"});
    Check({L""}, {});
    Check({Existing()}, {.imagePath = Existing()});
    Check({Existing(), L"/no/such/image.bin"}, {.imagePath = Existing()});
    // A directory is no image: where absolute paths begin with / it reads as an unknown
    // option; elsewhere it is the path, which the loader then refuses.
    const bool slashPath = Directory().starts_with(L'/');
    Check({Directory()}, slashPath ? Expected{} : Expected{.imagePath = Directory()});
    Check({L"relative.bin", Existing()}, {.imagePath = Existing()});
}

// An argument beginning with / that is no option: where absolute paths begin with / it is
// the image when a file is there; on Windows it never is (/x would name a file at the root
// of the current drive), and /? asks for the help there.
TEST_F(ReadOptions, SlashArgumentsFollowThePlatformsRules) {
    const bool slashPath = Existing().starts_with(L'/');
    const struct {
        std::vector<std::wstring> arguments;
        Expected onLinux;
        Expected onWindows;
    } cases[] = {
        {{L"/x"}, {}, {}},
        {{L"/?"}, {}, {.help = true}},
        {{L"image.img", L"/no/such/file"},
         {.imagePath = L"image.img"},
         {.imagePath = L"image.img"}},
        {{L"image.img", L"/f", L"/t"},
         {.forceUpdate = 1, .clockMode = 1, .imagePath = L"image.img"},
         {.forceUpdate = 1, .clockMode = 1, .imagePath = L"image.img"}},
        {{L"C:\\images\\a.img"},
         {.imagePath = L"C:\\images\\a.img"},
         {.imagePath = L"C:\\images\\a.img"}},
    };
    for (const auto& c : cases) {
        Check(c.arguments, c.onLinux, SlashArguments::PathWhenFileExists);
        Check(c.arguments, c.onWindows, SlashArguments::OptionsOnly);
    }
    if (slashPath) {
        // A file that exists at a path beginning with /: the image on Linux only.
        Check({Existing()}, {.imagePath = Existing()}, SlashArguments::PathWhenFileExists);
        Check({Existing()}, {}, SlashArguments::OptionsOnly);
        Check({L"a.img", Existing()}, {.imagePath = L"a.img"}, SlashArguments::OptionsOnly);
    }
}

}  // namespace
