// The start-up up to the loaded image, through the scripted interface: every image that
// cannot be loaded ends the run with "Failed to read the file." and exit code 1, before
// anything looks for a watch.

#include <gtest/gtest.h>

#include <sstream>

#include "CFWUpdaterAppApp.h"
#include "COrnaFirmware.h"
#include "ImageFiles.h"
#include "ResourceIds.h"
#include "ResourceLookup.h"
#include "SampleImage.h"
#include "ScopedThreadLocale.h"
#include "ScriptedUi.h"
#include "UiLanguage.h"

namespace {

// Counts the runs of the update flow and what it found loaded.
class TestApp : public CFWUpdaterAppApp {
  public:
    using CFWUpdaterAppApp::CFWUpdaterAppApp;
    void RunUpdateFlow() override {
        ++flowRuns;
        ASSERT_NE(firmware, nullptr);
        versionSeen = firmware->GetVersionText();
    }
    int flowRuns = 0;
    std::string versionSeen;
};

struct Outcome {
    int exitCode;
    int flowRuns;
    std::string versionSeen;
    std::string console;
};

class Startup : public testing::Test {
  protected:
    void TearDown() override { uiLanguage = 0; }

    Outcome Start(std::vector<std::wstring> arguments) {
        arguments.insert(arguments.begin(), L"firmupdater");
        std::ostringstream console;
        TestApp app(ui, arguments, console);
        const int code = app.Run();
        EXPECT_EQ(app.firmware, nullptr) << "freed by ExitInstance";
        return {code, app.flowRuns, app.versionSeen, console.str()};
    }

    ScopedThreadLocale locale{IThreadLocale::kInvariant};
    ImageFiles files;
    ui::ScriptedUi ui;
};

TEST_F(Startup, EveryImageThatCannotBeLoadedShowsReadFailedAndExitsWithOne) {
    auto truncated = firmware::SampleImage().Build();
    truncated.resize(truncated.size() / 2);
    const auto versionBlockFirst =
        firmware::ImageBuilder()
            .VersionBlock(firmware::SECTION_VERSION_BLOCK_1600, "01.30", 0x80000)
            .Identity(firmware::kSampleVendorId, firmware::kSampleProductId, firmware::kSampleModel,
                      firmware::kSampleFlags)
            .Build();

    const struct {
        const char* name;
        std::vector<std::wstring> arguments;
    } cases[] = {
        {"missing file", {files.Missing()}},
        {"truncated file", {files.Write("truncated.bin", truncated)}},
        {"bad layout", {files.Write("layout.bin", versionBlockFirst)}},
        {"empty file", {files.Write("empty.bin", {})}},
        {"no path: the built-in image", {}},
    };
    for (const auto& c : cases) {
        ui::ScriptedUi fresh;
        std::vector<std::wstring> arguments = c.arguments;
        arguments.insert(arguments.begin(), L"firmupdater");
        std::ostringstream console;
        TestApp app(fresh, arguments, console);
        EXPECT_EQ(app.Run(), 1) << c.name;
        EXPECT_EQ(app.flowRuns, 0) << c.name;
        ASSERT_EQ(fresh.MessageBoxes().size(), 1u) << c.name;
        const auto box = fresh.MessageBoxes()[0];
        EXPECT_EQ(box.text, L"Failed to read the file.") << c.name;
        EXPECT_EQ(box.caption, L"KORVELIN firmware update tool") << c.name;
        EXPECT_EQ(box.style, ui::MB_ICONINFORMATION | ui::MB_TOPMOST) << c.name;
        EXPECT_EQ(box.owner, nullptr) << c.name;

        using K = ui::ScriptedUi::EventKind;
        const auto events = fresh.Events();
        ASSERT_EQ(events.size(), 3u) << c.name;
        EXPECT_EQ(events.front().kind, K::Start);
        EXPECT_EQ(events[1].kind, K::MessageBox);
        EXPECT_EQ(events.back().kind, K::Exit);
    }
}

TEST_F(Startup, ALoadedImageGoesOnToTheUpdateFlow) {
    const auto image = files.Write("image.bin", firmware::SampleImage().Build());
    const auto run = Start({image});
    EXPECT_EQ(run.flowRuns, 1);
    EXPECT_EQ(run.versionSeen, "01.30");
    EXPECT_EQ(run.exitCode, 1) << "only the update flow sets 0";
    EXPECT_TRUE(ui.MessageBoxes().empty());

    EXPECT_EQ(Start({image, L"/s:02.00"}).versionSeen, "02.00") << "/s: replaces it";
}

TEST_F(Startup, TheMessageComesInTheChosenLanguage) {
    const struct {
        const wchar_t* option;
        std::uint32_t locale;
        const res::LanguageResources* resources;
    } cases[] = {
        {L"/l:1041", IThreadLocale::kInvariant, &res::kJapanese},
        {L"/l:0x0C04", IThreadLocale::kInvariant, &res::kTraditionalChinese},
        {nullptr, 0x0419, &res::kRussian},
        {L"/l:1053", 0x040C, &res::kFrench},  // no Swedish: the neutral lookup
    };
    for (const auto& c : cases) {
        ScopedThreadLocale userLocale(c.locale);
        ui::ScriptedUi fresh;
        std::vector<std::wstring> arguments{L"firmupdater", files.Missing()};
        if (c.option != nullptr) {
            arguments.emplace_back(c.option);
        }
        std::ostringstream console;
        TestApp app(fresh, arguments, console);
        EXPECT_EQ(app.Run(), 1);
        ASSERT_EQ(fresh.MessageBoxes().size(), 1u);
        const auto box = fresh.MessageBoxes()[0];
        EXPECT_EQ(box.text, res::LoadString(res::IDS_READ_FAILED, c.resources->language, 0));
        EXPECT_EQ(box.caption, res::LoadString(res::IDS_APP_CAPTION, c.resources->language, 0));
        EXPECT_EQ(box.language, uiLanguage.load());
    }
}

TEST_F(Startup, HelpAndVersionPrintAndExitWithZero) {
    const auto help = Start({L"/l:7", L"--help", files.Missing()});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.console.rfind("Aufruf: firmupdater", 0), 0u) << help.console;
    EXPECT_EQ(help.flowRuns, 0);

    const auto version = Start({L"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.console, "firmupdater " FIRMUPDATER_VERSION "\n");
    EXPECT_TRUE(ui.MessageBoxes().empty());
}

}  // namespace
