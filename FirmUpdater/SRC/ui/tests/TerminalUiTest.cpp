#include "TerminalUi.h"

#include <gtest/gtest.h>

#include <sstream>

#include "Pause.h"
#include "ProgressLine.h"
#include "ResourceIds.h"
#include "TestDialogs.h"

namespace {

using namespace ui;
using uitest::EnglishTemplate;
using uitest::TickingDialog;
using uitest::YesNoDialog;

struct Terminal {
    explicit Terminal(std::string input, bool animate = false)
        : in(std::move(input)), ui(in, out, animate) {}
    std::istringstream in;
    std::ostringstream out;
    TerminalUi ui;
};

TEST(TerminalUi, MessageBoxAnswers) {
    const struct {
        std::uint32_t style;
        std::uint16_t language;
        const char* input;
        int result;
        const char* prompt;
    } cases[] = {
        {MB_ICONINFORMATION, res::LANG_ENGLISH, "\n", IDOK, "[Enter] OK > "},
        {MB_ICONINFORMATION, res::LANG_ENGLISH, "", IDOK, "[Enter] OK > "},
        {MB_ICONEXCLAMATION | MB_RETRYCANCEL, res::LANG_ENGLISH, "r\n", IDRETRY,
         "[r/Enter] Retry  [c] Cancel > "},
        {MB_ICONEXCLAMATION | MB_RETRYCANCEL, res::LANG_ENGLISH, "C\n", IDCANCEL, nullptr},
        {MB_ICONEXCLAMATION | MB_RETRYCANCEL, res::LANG_ENGLISH, "  \n", IDRETRY, nullptr},
        {MB_ICONEXCLAMATION | MB_RETRYCANCEL, res::LANG_ENGLISH, "", IDCANCEL, nullptr},
        {MB_ICONEXCLAMATION | MB_RETRYCANCEL, res::LANG_ENGLISH, "retry\nx\nc\n", IDCANCEL,
         nullptr},
        {MB_ICONEXCLAMATION | MB_RETRYCANCEL, res::LANG_GERMAN, "", IDCANCEL,
         "[r/Enter] Wiederholen  [c] Abbrechen > "},
        {MB_YESNO, res::LANG_FRENCH, "", IDNO, "[y/Enter] Oui  [n] Non > "},
        {MB_YESNO, res::LANG_FRENCH, "y\n", IDYES, nullptr},
    };
    for (const auto& c : cases) {
        Terminal t(c.input);
        EXPECT_EQ(t.ui.ShowMessageBox({L"text", L"caption", c.style, c.language, nullptr}),
                  c.result)
            << c.input;
        if (c.prompt != nullptr) {
            EXPECT_NE(t.out.str().find(c.prompt), std::string::npos) << t.out.str();
        }
    }
}

TEST(TerminalUi, MessageBoxPrintsCaptionIconAndTextAsUtf8) {
    Terminal t("\n");
    t.ui.ShowMessageBox({L"ファイルの読み込みに失敗しました。\n2行目", L"ArmillonGPS ツール",
                         MB_ICONINFORMATION, res::LANG_JAPANESE, nullptr});
    EXPECT_EQ(t.out.str(),
              "\n== ArmillonGPS ツール ==\n"
              "(i) ファイルの読み込みに失敗しました。\n2行目\n"
              "[Enter] OK > ");
}

TEST(TerminalUi, AnyAnswerAcknowledgesABoxWithOnlyOk) {
    Terminal t("y\nnext\n");
    EXPECT_EQ(t.ui.ShowMessageBox({L"t", L"c", MB_ICONINFORMATION, res::LANG_ENGLISH, nullptr}),
              IDOK);
    std::string left;
    std::getline(t.in, left);
    EXPECT_EQ(left, "next") << "one answer taken";
}

TEST(TerminalUi, PipedAnswersAreEchoedAfterTheirPrompts) {
    std::istringstream in("x\nc\n");
    std::ostringstream out;
    TerminalUi ui(in, out, false, true);
    EXPECT_EQ(ui.ShowMessageBox({L"t", L"c", MB_RETRYCANCEL, res::LANG_ENGLISH, nullptr}),
              IDCANCEL);
    EXPECT_EQ(out.str(),
              "\n== c ==\nt\n"
              "[r/Enter] Retry  [c] Cancel > x\n"
              "[r/Enter] Retry  [c] Cancel > c\n");
}

TEST(TerminalUi, PromptRepeatsUntilAnAnswerFits) {
    Terminal t("x\nretry\nc\n");
    EXPECT_EQ(t.ui.ShowMessageBox({L"t", L"c", MB_RETRYCANCEL, res::LANG_ENGLISH, nullptr}),
              IDCANCEL);
    const auto out = t.out.str();
    std::size_t prompts = 0;
    for (auto pos = out.find("Cancel > "); pos != std::string::npos;
         pos = out.find("Cancel > ", pos + 1)) {
        ++prompts;
    }
    EXPECT_EQ(prompts, 3u);
}

TEST(TerminalUi, YesNoDialogAnswers) {
    const struct {
        const char* input;
        bool focusNo;
        int result;
    } cases[] = {
        {"y\n", true, IDOK},  {"n\n", true, IDCANCEL}, {"\n", true, IDCANCEL},
        {"", true, IDCANCEL}, {"q\nY\n", true, IDOK},  {"\n", false, IDOK},
    };
    for (const auto& c : cases) {
        Terminal t(c.input);
        YesNoDialog dialog(t.ui, c.focusNo);
        EXPECT_EQ(dialog.DoModal(EnglishTemplate(res::IDD_CONFIRM)), c.result) << c.input;
    }
}

// An input that never ends, one line over and over, as `yes` gives it.
class EndlessLines : public std::streambuf {
  public:
    explicit EndlessLines(std::string line) : line_(std::move(line) + "\n") {
        setg(line_.data(), line_.data(), line_.data() + line_.size());
    }

  protected:
    int_type underflow() override {
        ++lines;
        setg(line_.data(), line_.data(), line_.data() + line_.size());
        return traits_type::to_int_type(line_[0]);
    }

  public:
    int lines = 1;

  private:
    std::string line_;
};

// From a pipe, answers that fit nothing end every prompt after a few as the end of the
// input would; a terminal keeps asking.
TEST(TerminalUi, PipedUnfitAnswersEndThePromptAsEndOfInput) {
    const struct {
        const char* line;
        std::uint32_t style;  // 0: the confirmation dialog
        int result;
    } cases[] = {
        {"y", MB_ICONEXCLAMATION | MB_RETRYCANCEL, IDCANCEL},
        {"x", MB_YESNO, IDNO},
        {"q", 0, IDCANCEL},
        {"maybe", 0, IDCANCEL},
    };
    for (const auto& c : cases) {
        EndlessLines lines(c.line);
        std::istream in(&lines);
        std::ostringstream out;
        TerminalUi ui(in, out, false, true);
        if (c.style != 0) {
            EXPECT_EQ(ui.ShowMessageBox({L"t", L"c", c.style, res::LANG_ENGLISH, nullptr}),
                      c.result)
                << c.line;
        } else {
            YesNoDialog dialog(ui, false);
            EXPECT_EQ(dialog.DoModal(EnglishTemplate(res::IDD_CONFIRM)), c.result) << c.line;
        }
        EXPECT_LE(lines.lines, TerminalUi::kUnfitAnswersOnPipedInput) << c.line;
    }

    // A terminal keeps asking.
    Terminal t("x\nx\nx\nx\nx\nr\n");
    EXPECT_EQ(t.ui.ShowMessageBox({L"t", L"c", MB_RETRYCANCEL, res::LANG_ENGLISH, nullptr}),
              IDRETRY);
}

TEST(TerminalUi, DialogShowsCaptionAndStaticTextsTopToBottom) {
    Terminal t("n\n");
    YesNoDialog dialog(t.ui);
    dialog.DoModal(EnglishTemplate(res::IDD_CONFIRM));
    EXPECT_EQ(t.out.str(),
              "\n== KORVELIN firmware update tool ==\n"
              "An updatable KORVELIN has been found.\n"
              "Current firmware version: 01.20\n"
              "static\n"
              "[y] Yes  [n/Enter] No > ");
}

// The progress indicator moves with every tick; a box from the worker starts on a line of
// its own and is answered from the input.
TEST(TerminalUi, ProgressIndicatorAndABoxFromTheWorker) {
    common::ScopedPauseRecorder pauses;
    for (bool animate : {true, false}) {
        Terminal t("\n", animate);
        int answer = 0;
        TickingDialog dialog(t.ui, [&](TickingDialog& self) {
            while (self.ticks < 12) {
                std::this_thread::yield();
            }
            answer = self.Ui().ShowMessageBox({L"Failed to update the KORVELIN.",
                                               L"KORVELIN firmware update tool", MB_ICONEXCLAMATION,
                                               res::LANG_ENGLISH, &self});
        });
        EXPECT_EQ(dialog.DoModal(EnglishTemplate(res::IDD_PROGRESS)), 1);
        EXPECT_EQ(answer, IDOK);
        const auto out = t.out.str();
        EXPECT_NE(out.find("The KORVELIN firmware is being updated.\n"), std::string::npos);
        // The indicator's line (a dot every ten ticks without a terminal) is ended first.
        const auto box = out.find("\n\n== KORVELIN firmware update tool ==\n(!) Failed to update");
        ASSERT_NE(box, std::string::npos) << out;
        EXPECT_EQ(out[box - 1], animate ? ']' : '.') << out;
    }
}

TEST(TerminalUi, IndicatorTravelsToTheEndAndBack) {
    common::ScopedPauseRecorder pauses;
    Terminal t("", true);
    std::vector<std::string> frames;
    struct Counting : TickingDialog {
        using TickingDialog::TickingDialog;
        void OnTimer(unsigned id) override {
            TickingDialog::OnTimer(id);
            if (ticks == 40) {
                finished = true;
            }
        }
    } counting(t.ui);
    counting.DoModal(EnglishTemplate(res::IDD_PROGRESS));
    std::istringstream frames_in(t.out.str());
    std::string frame;
    while (std::getline(frames_in, frame, '\r')) {
        frames.push_back(frame.substr(0, frame.find('\n')));
    }
    // Frame 0 is the dialog's text; position p is frame p + 1.
    ASSERT_GE(frames.size(), 40u);
    EXPECT_EQ(frames[1], "[======                  ]");
    EXPECT_EQ(frames[19], "[                  ======]");
    EXPECT_EQ(frames[37], "[======                  ]");
}

TEST(ProgressLine, PercentAmountAndTimeLeft) {
    using std::chrono::seconds;
    constexpr std::uint64_t KiB = 1024;
    const struct {
        std::uint64_t done;
        std::uint64_t total;
        std::optional<seconds> left;
        const char* line;
    } cases[] = {
        {241 * KiB, 512 * KiB, seconds(6),
         "[#########...........]  47%  241 / 512 KiB  about 6 s left"},
        {512 * KiB, 512 * KiB, seconds(6), "[####################] 100%  512 / 512 KiB"},
        {511 * KiB, 512 * KiB + 1, std::nullopt, "[###################.]  99%  511 / 513 KiB"},
        {512 * KiB + 1, 512 * KiB + 1, std::nullopt, "[####################] 100%  513 / 513 KiB"},
        {5 * KiB * KiB, 64 * KiB * KiB, seconds(290),
         "[#...................]   7%  5 / 64 MiB  about 5 min left"},
        {500, 1000, std::nullopt, "[##########..........]  50%  500 / 1000 bytes"},
        {0, 0, std::nullopt, "[....................]   0%  0 / 0 bytes"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatProgressLine(c.done, c.total, c.left), c.line);
    }
    const auto start = std::chrono::steady_clock::time_point{};
    EXPECT_EQ(EstimateTimeLeft(0, start, 100, 400, start + seconds(2)), seconds(6));
    EXPECT_EQ(EstimateTimeLeft(0, start, 100, 400, start + std::chrono::milliseconds(900)),
              std::nullopt)
        << "not before a second of data";
    EXPECT_EQ(EstimateTimeLeft(100, start, 100, 400, start + seconds(5)), std::nullopt);
}

// Two ticks of the moving indicator, then the amounts, one per tick.
class MeasuringDialog : public TickingDialog {
  public:
    MeasuringDialog(UiBackend& ui, std::vector<std::uint64_t> amounts)
        : TickingDialog(ui), amounts_(std::move(amounts)) {}
    void OnTimer(unsigned id) override {
        if (ticks < 2) {
            TickingDialog::OnTimer(id);
            return;
        }
        const auto index = static_cast<std::size_t>(ticks++ - 2);
        SetProgressAmount(res::IDC_PROGRESS, amounts_[index], kTotal);
        if (index + 1 == amounts_.size()) {
            EndDialog(1);
        }
    }
    static constexpr std::uint64_t kTotal = 512 * 1024;

  private:
    std::vector<std::uint64_t> amounts_;
};

TEST(TerminalUi, MeasuredProgressIsOneLineInPlaceOrALinePerTenPercent) {
    common::ScopedPauseRecorder pauses;
    // The last amount is where the update stopped.
    const std::vector<std::uint64_t> amounts{10000, 60000, 60000, 250000, 260000};

    Terminal piped("");
    MeasuringDialog(piped.ui, amounts).DoModal(EnglishTemplate(res::IDD_PROGRESS));
    const auto out = piped.out.str();
    const auto first = out.find('[');
    ASSERT_NE(first, std::string::npos) << out;
    EXPECT_EQ(out.substr(first),
              "[....................]   1%  9 / 512 KiB\n"
              "[##..................]  11%  58 / 512 KiB\n"
              "[#########...........]  47%  244 / 512 KiB\n"
              "[#########...........]  49%  253 / 512 KiB\n");

    Terminal terminal("", true);
    MeasuringDialog(terminal.ui, amounts).DoModal(EnglishTemplate(res::IDD_PROGRESS));
    const auto drawn = terminal.out.str();
    EXPECT_NE(
        drawn.find("]\r[....................]   1%  9 / 512 KiB\r[##..................]  11%"),
        std::string::npos)
        << "the indicator's line goes on as the bar: " << drawn;
    EXPECT_EQ(drawn.find("11%  58 / 512 KiB\r[##..................]  11%"), std::string::npos)
        << "an amount that did not move is not drawn again";
    EXPECT_TRUE(drawn.ends_with("\r[#########...........]  49%  253 / 512 KiB\n")) << drawn;
}

}  // namespace
