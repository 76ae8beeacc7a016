// The update flow from the loaded image to the last message, in-process: the scripted
// interface answers, virtual watches sit behind the virtual HID platform, and the busy
// signals are fakes. Each test is one row (or a few) of the flow's outcomes.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "ArmillonException.h"
#include "CFWUpdaterAppApp.h"
#include "ImageBuilder.h"
#include "ImageLayout.h"
#include "ResourceIds.h"
#include "SampleImage.h"
#include "TextConversion.h"
#include "TextFormat.h"
#include "UpdateHarness.h"
#include "VersionUpDecision.h"

namespace {

using watchsim::CommandKind;
using namespace std::chrono_literals;

constexpr std::uint16_t kClockRecord = 0x2010;
constexpr std::uint32_t kInformation = ui::MB_ICONINFORMATION | ui::MB_TOPMOST;
constexpr std::uint32_t kExclamation = ui::MB_ICONEXCLAMATION | ui::MB_TOPMOST;
constexpr std::uint32_t kRetryCancel = ui::MB_ICONEXCLAMATION | ui::MB_RETRYCANCEL | ui::MB_TOPMOST;

std::vector<std::uint8_t> Sample() {
    return firmware::SampleImage().Build();
}

watchsim::WatchConfig RunningVersion(const char* version) {
    watchsim::WatchConfig config;
    config.firmwareVersion = version;
    return config;
}

std::wstring UpToDate(const wchar_t* current, const wchar_t* offered) {
    return FormatWide(UpdateHarness::Text(res::IDS_UP_TO_DATE), {current, offered});
}

TEST(UpdateFlow, AConfirmedUpdateWritesTheImageAndTheWatchRebootsIntoIt) {
    UpdateHarness t;
    auto& watch = t.AddWatch();
    t.AnswerConfirmation(ui::IDOK);
    EXPECT_EQ(t.Run(Sample()), 0);
    EXPECT_EQ(t.Messages(), t.Texts({res::IDS_UPDATE_COMPLETED}));
    EXPECT_EQ(t.ui.MessageBoxes().at(0).style, kInformation);

    const auto dialogs = t.ui.Dialogs();
    ASSERT_EQ(dialogs.size(), 2u);
    const auto& confirm = dialogs[0];
    EXPECT_EQ(confirm.templateId, res::IDD_CONFIRM);
    EXPECT_EQ(confirm.parent, nullptr);
    EXPECT_EQ(confirm.TextAfterInit(res::IDC_CURRENT_VERSION), L"Current firmware version: 01.20");
    EXPECT_EQ(confirm.TextAfterInit(res::IDC_NEW_VERSION), L"New firmware version: 01.30");
    EXPECT_EQ(confirm.TextAfterInit(res::IDC_WARNING), t.Text(res::IDS_UPDATE_WARNING));
    EXPECT_EQ(confirm.focusAfterInit, ui::IDCANCEL);
    EXPECT_EQ(confirm.result, ui::IDOK);
    const auto& progress = dialogs[1];
    EXPECT_EQ(progress.templateId, res::IDD_PROGRESS);
    EXPECT_EQ(progress.parent, confirm.dialog);
    EXPECT_EQ(progress.result, ui::IDOK);
    // One dialog at a time: the confirmation is hidden while the progress dialog shows,
    // and not shown again, since the run goes on to its message.
    EXPECT_FALSE(progress.parentShownAtStart);
    EXPECT_EQ(confirm.visibilityChanges, std::vector<bool>{false});
    EXPECT_TRUE(progress.visibilityChanges.empty());
    // The bar moves on its own only until the first byte has gone out; it then measures.
    EXPECT_FALSE(progress.progressAmounts.empty());
    for (std::size_t i = 1; i < progress.progressPositions.size(); ++i) {
        EXPECT_EQ(progress.progressPositions[i], progress.progressPositions[i - 1] + 1);
    }

    UpdateHarness::ExpectHoldsImage(watch, Sample());
    EXPECT_EQ(t.Count(0, CommandKind::SectorErase), 4u);
    EXPECT_EQ(t.Count(0, CommandKind::Command30), 1u);
    EXPECT_TRUE(t.heldLockDuringRun);
    EXPECT_EQ(t.lock->released, 1) << "let go at exit";

    // The watch comes back with the new version: a second run finds nothing to do.
    t.bus.Advance(1s);
    EXPECT_EQ(watch.FirmwareVersion(), "01.30");
    EXPECT_EQ(t.Run(Sample()), 0);
    EXPECT_EQ(t.Messages().back(), UpToDate(L"01.30", L"01.30    "));
    EXPECT_EQ(t.ui.Dialogs().size(), 2u) << "no confirmation the second time";
}

TEST(UpdateFlow, EveryAnswerButYesAbortsAndSendsNothingOfTheImage) {
    const struct {
        const char* what;
        std::function<void(ui::ScriptedDialog&)> answer;
    } cases[] = {
        {"No", [](auto& d) { d.Press(ui::IDCANCEL); }},
        {"Enter", [](auto& d) { d.Enter(); }},
        {"Esc", [](auto& d) { d.Escape(); }},
        {"close command", [](auto& d) { d.Close(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        UpdateHarness t;
        t.AddWatch();
        t.ui.Script(c.answer);
        EXPECT_EQ(t.Run(Sample()), 1);
        EXPECT_EQ(t.Messages(), t.Texts({res::IDS_UPDATE_ABORTED}));
        EXPECT_EQ(t.ui.Dialogs().size(), 1u);
        EXPECT_EQ(t.Count(0, CommandKind::SectorErase), 0u);
        EXPECT_EQ(t.Count(0, CommandKind::DataSet, 0x1600), 0u);
        EXPECT_FALSE(t.Watch().IsOpen()) << "the facade closed the connection";
    }
}

TEST(UpdateFlow, NoWatchPromptsFirstThenAgainAndCancelEndsQuietly) {
    UpdateHarness t;
    t.ui.Answer(ui::IDRETRY);
    t.ui.Answer(ui::IDCANCEL);
    EXPECT_EQ(t.Run(Sample()), 1);
    EXPECT_EQ(t.Messages(), t.Texts({res::IDS_NOT_CONNECTED_FIRST, res::IDS_NOT_CONNECTED_AGAIN}));
    for (const auto& box : t.ui.MessageBoxes()) {
        EXPECT_EQ(box.style, kRetryCancel);
    }
    EXPECT_EQ(t.platform.EnumerationCount(), 8u);
    EXPECT_EQ(t.lock->created, 1) << "the second busy check found the lock held already";
}

// With only watches of another model in the cradle, the "not connected" prompts keep their
// text and buttons and add a line naming both models; the transcript has the same line.
TEST(UpdateFlow, AWatchOfAnotherModelIsNamedInTheNotConnectedPrompts) {
    const auto line = [](const wchar_t* found) {
        return FormatWide(UpdateHarness::Text(res::IDS_OTHER_MODEL), {found, L"612E"});
    };
    const struct {
        const char* what;
        std::vector<std::string> hardwareTexts;
        std::wstring named;  // empty: no line
    } cases[] = {
        {"another model", {"ORNA-HWREV1-712E"}, L"712E"},
        {"two others, one twice",
         {"ORNA-HWREV1-712E", "X-812E", "ORNA-HWREV2-712E"},
         L"712E, 812E"},
        {"the same code in other case", {"ORNA-HWREV1-612e"}, L"612e"},
        {"no watch at all", {}, L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        UpdateHarness t;
        for (const auto& hardware : c.hardwareTexts) {
            watchsim::WatchConfig config;
            config.hardwareText = hardware;
            t.AddWatch(config);
        }
        t.ui.Answer(ui::IDRETRY);
        t.ui.Answer(ui::IDCANCEL);
        std::ostringstream errors;
        EXPECT_EQ(t.Run(Sample(), {L"--verbose"},
                        [&errors](ui::UiBackend& ui, std::vector<std::wstring> arguments,
                                  std::ostream& console, const UpdaterPlatform& platform) {
                            auto app = std::make_unique<CFWUpdaterAppApp>(ui, std::move(arguments),
                                                                          console, platform);
                            app->errorStream = &errors;
                            return app;
                        }),
                  1);
        auto expected = t.Texts({res::IDS_NOT_CONNECTED_FIRST, res::IDS_NOT_CONNECTED_AGAIN});
        if (!c.named.empty()) {
            for (auto& text : expected) {
                text += L"\n" + line(c.named.c_str());
            }
            EXPECT_NE(errors.str().find(common::WideToUtf8(line(c.named.c_str()))),
                      std::string::npos)
                << errors.str();
        }
        EXPECT_EQ(t.Messages(), expected);
        for (const auto& box : t.ui.MessageBoxes()) {
            EXPECT_EQ(box.style, kRetryCancel);
        }
        EXPECT_TRUE(t.ui.Dialogs().empty());
    }
}

// The menu entries start the tool with --choose: without an image on the command line it
// asks for one in the interface's chooser and goes on with the file chosen.
TEST(UpdateFlow, TheChooserGivesTheImageOrCancelEndsQuietly) {
    {
        SCOPED_TRACE("chosen");
        UpdateHarness t;
        t.imageOnCommandLine = false;
        auto& watch = t.AddWatch();
        const auto chosen = t.files.Write("chosen.img", Sample());
        t.ui.ChooseFileAnswer({ui::FileChoice::Outcome::Chosen, chosen});
        t.AnswerConfirmation(ui::IDOK);
        EXPECT_EQ(t.Run(Sample(), {L"--choose"}), 0);
        EXPECT_EQ(t.Messages(), t.Texts({res::IDS_UPDATE_COMPLETED}));
        UpdateHarness::ExpectHoldsImage(watch, Sample());
        const auto choosers = t.ui.FileChoosers();
        ASSERT_EQ(choosers.size(), 1u);
        EXPECT_EQ(choosers[0].title, t.Text(res::IDS_CHOOSE_IMAGE));
        ASSERT_EQ(choosers[0].filters.size(), 2u);
        EXPECT_EQ(choosers[0].filters[0].name, t.Text(res::IDS_IMAGE_FILES));
        EXPECT_EQ(choosers[0].filters[0].patterns, std::vector<std::wstring>{L"*.img"});
        EXPECT_EQ(choosers[0].filters[1].name, t.Text(res::IDS_ALL_FILES));
        EXPECT_EQ(t.ui.Events().at(1).kind, ui::ScriptedUi::EventKind::FileChooser)
            << "the chooser comes before anything else";
    }
    {
        SCOPED_TRACE("cancelled: no box, nothing looked for");
        UpdateHarness t;
        t.imageOnCommandLine = false;
        t.AddWatch();
        t.ui.ChooseFileAnswer({ui::FileChoice::Outcome::Cancelled, {}});
        EXPECT_EQ(t.Run(Sample(), {L"--choose"}), 1);
        EXPECT_TRUE(t.ui.MessageBoxes().empty());
        EXPECT_EQ(t.platform.EnumerationCount(), 0u);
        EXPECT_EQ(t.lock->created, 0);
    }
    {
        SCOPED_TRACE("an interface without a chooser: as without the option");
        UpdateHarness t;
        t.imageOnCommandLine = false;
        t.ui.ChooseFileAnswer({ui::FileChoice::Outcome::NoChooser, {}});
        EXPECT_EQ(t.Run(Sample(), {L"--choose"}), 1);
        EXPECT_EQ(t.Messages(), t.Texts({res::IDS_READ_FAILED}));
    }
    for (const auto& options : std::vector<std::vector<std::wstring>>{{}, {L"/f"}}) {
        SCOPED_TRACE("no option, no image: 231 and no chooser");
        UpdateHarness t;
        t.imageOnCommandLine = false;
        EXPECT_EQ(t.Run(Sample(), options), 1);
        EXPECT_EQ(t.Messages(), t.Texts({res::IDS_READ_FAILED}));
        EXPECT_TRUE(t.ui.FileChoosers().empty());
    }
    {
        SCOPED_TRACE("an image given: no chooser");
        UpdateHarness t;
        t.AddWatch();
        t.AnswerConfirmation(ui::IDCANCEL);
        EXPECT_EQ(t.Run(Sample(), {L"--choose"}), 1);
        EXPECT_TRUE(t.ui.FileChoosers().empty());
        EXPECT_EQ(t.Messages(), t.Texts({res::IDS_UPDATE_ABORTED}));
    }
}

TEST(UpdateFlow, AWatchPluggedInBeforeRetryIsUpdatedWithoutAnotherPrompt) {
    UpdateHarness t;
    watchsim::WatchConfig later;
    later.plugged = false;
    auto& watch = t.AddWatch(later);
    t.ui.Answer([&watch](const ui::MessageBoxRecord&) {
        watch.Plug();
        return ui::IDRETRY;
    });
    t.AnswerConfirmation(ui::IDOK);
    EXPECT_EQ(t.Run(Sample()), 0);
    EXPECT_EQ(t.Messages(), t.Texts({res::IDS_NOT_CONNECTED_FIRST, res::IDS_UPDATE_COMPLETED}));
}

TEST(UpdateFlow, SeveralWatchesPromptUntilOneIsLeftOrTheUserCancels) {
    {
        UpdateHarness t;
        t.AddWatch();
        t.AddWatch();
        t.ui.Answer(ui::IDRETRY);
        t.ui.Answer(ui::IDCANCEL);
        EXPECT_EQ(t.Run(Sample()), 1);
        EXPECT_EQ(t.Messages(), t.Texts({res::IDS_SEVERAL_CONNECTED, res::IDS_SEVERAL_CONNECTED}));
        EXPECT_EQ(t.ui.MessageBoxes().at(0).style, kRetryCancel);
    }
    {
        UpdateHarness t;
        t.AddWatch();
        auto& second = t.AddWatch();
        t.ui.Answer([&second](const ui::MessageBoxRecord&) {
            second.Unplug();
            return ui::IDRETRY;
        });
        t.AnswerConfirmation(ui::IDOK);
        EXPECT_EQ(t.Run(Sample()), 0);
        EXPECT_EQ(t.Messages(), t.Texts({res::IDS_SEVERAL_CONNECTED, res::IDS_UPDATE_COMPLETED}));
        EXPECT_EQ(t.Count(0, CommandKind::Command30), 1u);
    }
}

TEST(UpdateFlow, AMatchingWatchThatCannotBeOpenedShowsFailureWithoutAPrompt) {
    UpdateHarness t;
    t.AddWatch().AddFaults("open#2-:busy");  // the probe gets in, the connection does not
    EXPECT_EQ(t.Run(Sample()), 1);
    EXPECT_EQ(t.Messages(), t.Texts({res::IDS_UPDATE_FAILED}));
    EXPECT_EQ(t.ui.MessageBoxes().at(0).style, kExclamation);
}

TEST(UpdateFlow, ABusyUploaderEndsTheRunBeforeAnyWatchIsLookedFor) {
    UpdateHarness t;
    t.AddWatch();
    t.lock->heldElsewhere = true;
    t.windows.Open(L"Kavel Pelmora");
    EXPECT_EQ(t.Run(Sample()), 1);
    EXPECT_EQ(t.Messages(), t.Texts({res::IDS_BUSY}));
    EXPECT_EQ(t.ui.MessageBoxes().at(0).style, kInformation);
    EXPECT_EQ(t.platform.EnumerationCount(), 0u);
}

TEST(UpdateFlow, TheProcedureHandlerTurnsWhatReachesItIntoOneMessage) {
    // Thrown where the busy check creates the lock, the first step of the connection.
    const struct {
        const char* what;
        std::function<void()> thrower;
        std::vector<std::uint16_t> messages;
        std::uint32_t style;
    } cases[] = {
        {"a lock that cannot be created",
         ThrowLockCreationFailed,
         {res::IDS_UPDATE_FAILED},
         kExclamation},
        {"no memory", [] { throw std::bad_alloc(); }, {res::IDS_UPDATE_FAILED}, kExclamation},
        {"a device code",
         [] { throw DeviceException(271); },
         {res::IDS_UPDATE_FAILED},
         kExclamation},
        {"the USB port code",
         [] { throw ArmillonException(259); },
         {res::IDS_USB_TROUBLE},
         kInformation},
        {"a quiet end", [] { throw DeviceException(0); }, {}, 0},
        {"the other quiet end", [] { throw ArmillonException(261); }, {}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        UpdateHarness t;
        t.AddWatch();
        t.lock->failCreation = c.thrower;
        EXPECT_EQ(t.Run(Sample()), 1);
        std::vector<std::wstring> expected;
        for (const auto id : c.messages) {
            expected.push_back(t.Text(id));
        }
        EXPECT_EQ(t.Messages(), expected);
        if (!c.messages.empty()) {
            EXPECT_EQ(t.ui.MessageBoxes().at(0).style, c.style);
        }
        EXPECT_EQ(t.platform.EnumerationCount(), 0u);
    }
}

TEST(UpdateFlow, TheVersionDecisionAndItsOverrides) {
    const struct {
        const char* what;
        const char* watchVersion;
        std::vector<std::wstring> options;
        std::wstring message;          // empty: the confirmation dialog follows
        std::wstring currentInDialog;  // the confirmation's first line
    } cases[] = {
        {"same version", "01.30", {}, UpToDate(L"01.30", L"01.30    "), {}},
        {"newer on the watch", "02.00", {}, UpToDate(L"02.00", L"01.30    "), {}},
        {"/f with the same version", "01.30", {L"/f"}, {}, L"Current firmware version: 01.30"},
        {"/d: as new as the image", "01.20", {L"/d:01.30"}, UpToDate(L"01.30", L"01.30    "), {}},
        {"/d: older than the image",
         "01.30",
         {L"/d:00.50"},
         {},
         L"Current firmware version: 00.50"},
        {"/s: newer than the watch",
         "01.30",
         {L"/s:01.40"},
         {},
         L"Current firmware version: 01.30"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        UpdateHarness t;
        t.AddWatch(RunningVersion(c.watchVersion));
        t.AnswerConfirmation(ui::IDCANCEL);
        const int code = t.Run(Sample(), c.options);
        if (!c.message.empty()) {
            EXPECT_EQ(code, 0);
            EXPECT_EQ(t.Messages(), std::vector<std::wstring>{c.message});
            EXPECT_TRUE(t.ui.Dialogs().empty());
        } else {
            EXPECT_EQ(code, 1);
            EXPECT_EQ(t.Messages(), t.Texts({res::IDS_UPDATE_ABORTED}));
            ASSERT_EQ(t.ui.Dialogs().size(), 1u);
            EXPECT_EQ(t.ui.Dialogs()[0].TextAfterInit(res::IDC_CURRENT_VERSION), c.currentInDialog);
        }
    }
}

// The steps a platform or another watch model could change, replaced.
class AppWith : public CFWUpdaterAppApp {
  public:
    using CFWUpdaterAppApp::CFWUpdaterAppApp;
    std::optional<std::int32_t> decision;
    bool noConfirmationTemplate = false;

  protected:
    std::unique_ptr<VersionUpDecision> CreateDecision() override {
        struct Fixed : VersionUpDecision {
            explicit Fixed(std::int32_t result) : result(result) {}
            std::int32_t Decide(const wchar_t*, const wchar_t*, const wchar_t*) override {
                return result;
            }
            std::int32_t CompareVersion(const wchar_t*) override { return result; }
            std::int32_t CheckProduct(const wchar_t*) override { return result; }
            std::int32_t CheckModel(const wchar_t*) override { return result; }
            std::int32_t result;
        };
        if (decision) {
            return std::make_unique<Fixed>(*decision);
        }
        return CFWUpdaterAppApp::CreateDecision();
    }
    const res::DialogTemplate* FindConfirmationTemplate() const override {
        return noConfirmationTemplate ? nullptr : CFWUpdaterAppApp::FindConfirmationTemplate();
    }
};

UpdateHarness::AppMaker MakeAppWith(std::function<void(AppWith&)> setUp) {
    return [setUp](ui::UiBackend& ui, std::vector<std::wstring> arguments, std::ostream& console,
                   const UpdaterPlatform& platform) {
        auto app = std::make_unique<AppWith>(ui, std::move(arguments), console, platform);
        setUp(*app);
        return app;
    };
}

TEST(UpdateFlow, AWatchThatCannotBeUpdatedEndsWithZero) {
    UpdateHarness t;
    t.AddWatch();
    EXPECT_EQ(t.Run(Sample(), {}, MakeAppWith([](AppWith& app) {
                        app.decision = VersionUpDecision::UPDATE_IMPOSSIBLE;
                    })),
              0);
    EXPECT_EQ(t.Messages(), t.Texts({res::IDS_CANNOT_UPDATE}));
    EXPECT_EQ(t.ui.MessageBoxes().at(0).style, kInformation);
}

TEST(UpdateFlow, WithoutAConfirmationTemplateTheRunEndsSilentlyWithOne) {
    UpdateHarness t;
    t.AddWatch();
    EXPECT_EQ(
        t.Run(Sample(), {}, MakeAppWith([](AppWith& app) { app.noConfirmationTemplate = true; })),
        1);
    EXPECT_TRUE(t.Messages().empty());
    EXPECT_FALSE(t.Watch().IsOpen());
}

TEST(UpdateFlow, TheClockIsReadAndWrittenAsTheClockModeSays) {
    // The watch's clock stands at 2024, more than a day behind this computer's. Every write
    // reads the record first, to keep the bytes it does not set.
    const struct {
        std::vector<std::wstring> options;
        std::size_t reads;
        std::size_t writes;
    } cases[] = {
        {{}, 2, 1},
        {{L"/t"}, 1, 1},
        {{L"/t-"}, 0, 0},
        {{L"/t", L"/t-"}, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.options.size()));
        UpdateHarness t;
        t.AddWatch(RunningVersion("01.30"));  // up to date: the run ends after the clock
        EXPECT_EQ(t.Run(Sample(), c.options), 0);
        EXPECT_EQ(t.Count(0, CommandKind::DataGet, kClockRecord), c.reads);
        EXPECT_EQ(t.Count(0, CommandKind::DataSet, kClockRecord), c.writes);
    }
}

// Runs with an error stream of the test's own; what the program wrote there.
std::string RunWithErrorStream(UpdateHarness& t, const std::vector<std::uint8_t>& image,
                               std::vector<std::wstring> options) {
    std::ostringstream errors;
    t.Run(image, std::move(options),
          [&](ui::UiBackend& ui, std::vector<std::wstring> arguments, std::ostream& console,
              const UpdaterPlatform& platform) {
              auto app =
                  std::make_unique<CFWUpdaterAppApp>(ui, std::move(arguments), console, platform);
              app->errorStream = &errors;
              return app;
          });
    return errors.str();
}

TEST(UpdateFlow, TheTranscriptTellsEveryStageOnlyWhenAskedForAndTheBarEndsFull) {
    UpdateHarness t;
    t.AddWatch();
    t.AnswerConfirmation(ui::IDOK);
    EXPECT_EQ(RunWithErrorStream(t, Sample(), {}), "") << "nothing without the options";
    const auto progress = t.ui.Dialogs().at(1);
    ASSERT_FALSE(progress.progressAmounts.empty());
    for (std::size_t i = 1; i < progress.progressAmounts.size(); ++i) {
        EXPECT_GE(progress.progressAmounts[i].first, progress.progressAmounts[i - 1].first);
    }
    EXPECT_EQ(progress.progressAmounts.back().first, progress.progressAmounts.back().second);

    UpdateHarness second;
    second.AddWatch();
    second.AnswerConfirmation(ui::IDOK);
    const auto log = std::filesystem::path(common::WideToNarrow(second.files.Missing()))
                         .replace_filename("run.log");
    std::ofstream(log) << "an earlier run\n";
    const auto text = RunWithErrorStream(second, Sample(), {L"-v", L"--log=" + log.wstring()});
    std::size_t at = 0;
    for (const char* expected :
         {"firmupdater ", "image \"", "busy check: free, lock taken",
          "connection attempt 1: looking for a watch with the model code \"612E\"",
          "enumeration 1 of 4 (vendor 0x3A7C, product 0x0A51): 1 device(s)",
          "probe device: hardware text \"", "matches the model code \"612E\"",
          "connection: device open", "clock: ", "watch: firmware version \"01.20\"",
          "decision: UPDATE_NEEDED (watch \"01.20\", image \"01.30\")", "update: ", "step 1/",
          "outcome: update completed", "exit code 0"}) {
        const auto found = text.find(expected, at);
        ASSERT_NE(found, std::string::npos) << expected << " after " << at << " in\n" << text;
        at = found;
    }
    std::ifstream in(log);
    const std::string logged((std::istreambuf_iterator<char>(in)),
                             std::istreambuf_iterator<char>());
    EXPECT_EQ(logged, "an earlier run\n" + text);
}

TEST(UpdateFlow, AFailureOnTheWorkerShowsItsMessageOnceAndSendsNothingAfter) {
    UpdateHarness t;
    auto& watch = t.AddWatch();
    watch.AddFaults("set@0x1614:error=0x0005");
    const auto image = firmware::ImageBuilder()
                           .Identity(0x3A7C, 0x0A51, "612E", firmware::kFlagCommand30)
                           .DataSection(firmware::SECTION_DATA_1604, 0, {1, 2, 3})
                           .DataSection(firmware::SECTION_DATA_1611, 0, {4, 5})
                           .DataSection(firmware::SECTION_DATA_1614, 0, {6})
                           .DataSection(firmware::SECTION_DATA_1620, 0, {7})
                           .DataSection(firmware::SECTION_FLASH_WRITE, 0x2000, {8, 9})
                           .Build();
    t.AnswerConfirmation(ui::IDOK);
    t.ui.Answer(ui::IDOK, 3);  // the worker's box stays open for three ticks
    EXPECT_EQ(t.Run(image, {L"/f"}), 1);

    EXPECT_EQ(t.Messages(), t.Texts({res::IDS_UPDATE_FAILED}));
    const auto box = t.ui.MessageBoxes().at(0);
    EXPECT_EQ(box.style, kExclamation);
    EXPECT_NE(box.requestedOn, box.shownOn) << "asked for on the worker thread";
    EXPECT_EQ(box.ticksWhileOpen, 3) << "the bar moves on beneath the box";
    const auto dialogs = t.ui.Dialogs();
    ASSERT_EQ(dialogs.size(), 2u);
    EXPECT_EQ(box.owner, dialogs[1].dialog);
    EXPECT_EQ(dialogs[1].result, -1);
    EXPECT_EQ(dialogs[0].result, -1);

    EXPECT_EQ(t.Count(0, CommandKind::DataSet, 0x1604), 1u);
    EXPECT_EQ(t.Count(0, CommandKind::DataSet, 0x1611), 1u);
    EXPECT_EQ(t.Count(0, CommandKind::DataSet, 0x1614), 3u) << "tried, then retried twice";
    EXPECT_EQ(t.Count(0, CommandKind::DataSet, 0x1620), 0u);
    EXPECT_EQ(t.Count(0, CommandKind::FlashWrite), 0u);
    EXPECT_EQ(t.Count(0, CommandKind::Command30), 0u);
    std::size_t retryPausesOnWorker = 0;
    for (const auto& pause : t.Pauses()) {
        retryPausesOnWorker += pause == RecordedPause{3000ms, false} ? 1 : 0;
    }
    EXPECT_EQ(retryPausesOnWorker, 2u);
}

}  // namespace
