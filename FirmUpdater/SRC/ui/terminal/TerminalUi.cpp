#include "TerminalUi.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "Dialog.h"
#include "MessageBoxButtons.h"
#include "ProgressLine.h"
#include "TextConversion.h"

namespace ui {
namespace {

constexpr int kIndicatorWidth = 24;
constexpr int kIndicatorBlock = 6;

std::wstring Prompt(const std::vector<std::pair<std::wstring, std::wstring>>& choices) {
    std::wstring prompt;
    for (const auto& [keys, label] : choices) {
        if (!prompt.empty()) {
            prompt += L"  ";
        }
        prompt += L"[" + keys + L"] " + label;
    }
    return prompt + L" > ";
}

std::string Trimmed(const std::string& line) {
    const auto first = line.find_first_not_of(" \t\r");
    if (first == std::string::npos) {
        return {};
    }
    return line.substr(first, line.find_last_not_of(" \t\r") - first + 1);
}

bool IsPushButton(const res::DialogItem& item) {
    return item.controlClass == res::ControlClass::Button &&
           (item.style & res::BS_TYPEMASK) <= res::BS_DEFPUSHBUTTON;
}

char KeyOfDialogButton(int id, std::size_t order) {
    switch (id) {
        case IDOK:
        case IDYES:
            return 'y';
        case IDCANCEL:
        case IDNO:
            return 'n';
        default:
            return static_cast<char>('1' + std::min<std::size_t>(order, 8));
    }
}

}  // namespace

// A dialog drawn on the terminal: texts that change after it is drawn are printed again,
// progress positions move the indicator.
class TerminalWindow : public LoopDialogWindow {
  public:
    TerminalWindow(const res::DialogTemplate& dialogTemplate, Dialog& dialog, const Dialog* parent,
                   TerminalUi& ui)
        : LoopDialogWindow(dialogTemplate, dialog, parent), ui_(ui) {}

    void MarkDrawn() { drawn_ = true; }

  protected:
    void ItemTextChanged(std::size_t index) override {
        if (drawn_ && Template().items[index].controlClass == res::ControlClass::Static) {
            ui_.CloseProgressLine();
            ui_.Print(ItemTexts()[index] + L"\n");
        }
    }
    void ProgressChanged(int /*id*/, int position) override { ui_.ShowProgress(position); }
    void ProgressAmountChanged(int /*id*/, std::uint64_t done, std::uint64_t total) override {
        ui_.ShowAmount(done, total);
    }

  private:
    TerminalUi& ui_;
    bool drawn_ = false;
};

TerminalUi::TerminalUi(std::istream& in, std::ostream& out, bool animate, bool pipedInput)
    : in_(in), out_(out), animate_(animate), pipedInput_(pipedInput) {}

void TerminalUi::Print(std::wstring_view text) {
    out_ << common::WideToUtf8(text);
}

void TerminalUi::PrintCaption(std::wstring_view caption) {
    CloseProgressLine();
    Print(L"\n== " + std::wstring(caption) + L" ==\n");
}

std::optional<std::string> TerminalUi::ReadAnswer() {
    out_.flush();
    std::string line;
    if (!std::getline(in_, line)) {
        Print(L"\n");
        return std::nullopt;
    }
    if (pipedInput_) {
        out_ << line << '\n';
    }
    return Trimmed(line);
}

bool TerminalUi::GiveUpAfterUnfitAnswer(int& unfitAnswers) const {
    return pipedInput_ && ++unfitAnswers >= kUnfitAnswersOnPipedInput;
}

int TerminalUi::ShowMessageBoxHere(const MessageBoxRequest& request,
                                   std::thread::id /*requestedOn*/) {
    const auto set = ButtonsFor(request.style, ButtonLabelsFor(request.language));
    PrintCaption(request.caption);
    switch (request.style & MB_ICONMASK) {
        case MB_ICONEXCLAMATION:
            Print(L"(!) ");
            break;
        case MB_ICONINFORMATION:
            Print(L"(i) ");
            break;
        default:
            break;
    }
    Print(request.text + L"\n");

    std::vector<std::pair<std::wstring, std::wstring>> choices;
    for (const auto& button : set.buttons) {
        std::wstring keys;
        if (set.buttons.size() > 1 || button.result != set.defaultResult) {
            keys += static_cast<wchar_t>(button.key);
        }
        if (button.result == set.defaultResult) {
            keys += keys.empty() ? L"Enter" : L"/Enter";
        }
        choices.emplace_back(keys, button.label);
    }
    const auto prompt = Prompt(choices);
    int unfitAnswers = 0;
    while (true) {
        Print(prompt);
        const auto answer = ReadAnswer();
        if (!answer) {
            return set.endOfInputResult;
        }
        // A box with one button only asks to be acknowledged: any answer will do, so an
        // endless stream of answers (`yes | firmupdater`) cannot keep it open.
        if (answer->empty() || set.buttons.size() == 1) {
            return set.defaultResult;
        }
        const char key = static_cast<char>(std::tolower(static_cast<unsigned char>((*answer)[0])));
        for (const auto& button : set.buttons) {
            if (answer->size() == 1 && button.key == key) {
                return button.result;
            }
        }
        if (GiveUpAfterUnfitAnswer(unfitAnswers)) {
            return set.endOfInputResult;
        }
    }
}

std::unique_ptr<LoopDialogWindow> TerminalUi::CreateWindow(
    const res::DialogTemplate& dialogTemplate, Dialog& dialog, const Dialog* parent) {
    return std::make_unique<TerminalWindow>(dialogTemplate, dialog, parent, *this);
}

void TerminalUi::DriveDialog(LoopDialogWindow& window) {
    const auto& items = window.Template().items;
    PrintCaption(window.Template().caption);
    std::vector<std::size_t> order(items.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        order[i] = i;
    }
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return items[a].y != items[b].y ? items[a].y < items[b].y : items[a].x < items[b].x;
    });
    std::vector<std::size_t> buttons;
    for (auto i : order) {
        if (items[i].controlClass == res::ControlClass::Static && !window.ItemTexts()[i].empty()) {
            Print(window.ItemTexts()[i] + L"\n");
        }
    }
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (IsPushButton(items[i])) {
            buttons.push_back(i);
        }
    }
    static_cast<TerminalWindow&>(window).MarkDrawn();

    Dialog& dialog = window.Owner();
    int unfitAnswers = 0;
    while (!window.Ended() && !buttons.empty()) {
        const int enter = dialog.EnterCommand();
        std::vector<std::pair<std::wstring, std::wstring>> choices;
        for (std::size_t n = 0; n < buttons.size(); ++n) {
            const auto& item = items[buttons[n]];
            std::wstring keys(1, static_cast<wchar_t>(KeyOfDialogButton(item.id, n)));
            if (item.id == enter) {
                keys += L"/Enter";
            }
            choices.emplace_back(keys, window.ItemTexts()[buttons[n]]);
        }
        Print(Prompt(choices));
        const auto answer = ReadAnswer();
        if (!answer) {
            dialog.PressEscape();
            break;
        }
        if (answer->empty()) {
            dialog.PressEnter();
        } else {
            const char key =
                static_cast<char>(std::tolower(static_cast<unsigned char>((*answer)[0])));
            for (std::size_t n = 0; n < buttons.size(); ++n) {
                if (answer->size() == 1 && KeyOfDialogButton(items[buttons[n]].id, n) == key) {
                    dialog.PressButton(items[buttons[n]].id);
                    break;
                }
            }
        }
        // An answer that left the dialog open, whether it fit no button or its button did
        // not end the dialog, counts as unfit.
        if (!window.Ended() && GiveUpAfterUnfitAnswer(unfitAnswers)) {
            dialog.PressEscape();
            break;
        }
    }
    if (!window.Ended()) {
        window.RunUntilEnded();
    }
}

void TerminalUi::DialogEnded(LoopDialogWindow& /*window*/) {
    CloseProgressLine();
    amount_.reset();
    out_.flush();
}

void TerminalUi::ShowAmount(std::uint64_t done, std::uint64_t total) {
    if (total == 0) {
        return;  // nothing to measure
    }
    const auto now = std::chrono::steady_clock::now();
    if (!amount_) {
        if (!animate_) {
            CloseProgressLine();  // the indicator's dots end here; on a terminal the bar
        }                         // takes the indicator's place
        amount_ = Amount{};
        amount_->first = done;
        amount_->since = now;
    } else if (amount_->done == done && amount_->total == total && amount_->lineLength > 0) {
        return;  // nothing moved
    }
    amount_->done = done;
    amount_->total = total;
    if (!animate_) {
        const int tenth = PercentDone(done, total) / 10;
        if (tenth > amount_->tenthPrinted) {
            amount_->tenthPrinted = tenth;
            amount_->printed = done;
            out_ << FormatProgressLine(done, total, std::nullopt) << '\n' << std::flush;
        }
        return;
    }
    const auto line = FormatProgressLine(
        done, total, EstimateTimeLeft(amount_->first, amount_->since, done, total, now));
    // Spaces wipe what a longer line before left behind.
    const auto wipe = amount_->lineLength > line.size() ? amount_->lineLength - line.size() : 0;
    out_ << '\r' << line << std::string(wipe, ' ') << std::flush;
    amount_->lineLength = line.size();
    progressLineOpen_ = true;
}

void TerminalUi::ShowProgress(int position) {
    if (amount_) {
        return;  // the bar measures the work now
    }
    if (!animate_) {
        if (++progressSteps_ % 10 == 0) {
            out_ << '.' << std::flush;
            progressLineOpen_ = true;
        }
        return;
    }
    // A block that travels to the right end and back.
    const int span = kIndicatorWidth - kIndicatorBlock;
    const int phase = ((position % (2 * span)) + 2 * span) % (2 * span);
    const int offset = phase <= span ? phase : 2 * span - phase;
    std::string line = "\r[";
    line.append(static_cast<std::size_t>(offset), ' ');
    line.append(static_cast<std::size_t>(kIndicatorBlock), '=');
    line.append(static_cast<std::size_t>(span - offset), ' ');
    line += ']';
    out_ << line << std::flush;
    progressLineOpen_ = true;
}

void TerminalUi::CloseProgressLine() {
    // Without a terminal the plain lines stop at a 10% step; the amount reached goes on
    // record before anything else is printed, so a failure shows where it happened.
    if (!animate_ && amount_ && amount_->printed != amount_->done) {
        out_ << FormatProgressLine(amount_->done, amount_->total, std::nullopt) << '\n';
        amount_->printed = amount_->done;
    }
    if (progressLineOpen_) {
        out_ << '\n';
        progressLineOpen_ = false;
    }
}

}  // namespace ui
