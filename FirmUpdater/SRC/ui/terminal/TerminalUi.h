#pragma once
// The text user interface: message boxes and dialogs printed to a stream as UTF-8, answers
// read line by line from another, so a script can pipe them in.
//
// A message box prints its caption, its text and a prompt with its buttons in the box's
// language. The keys are the same in every language: Enter answers the default button
// (OK in a box with only OK), r Retry, c Cancel, y Yes, n No, o OK; a box with only OK takes
// any answer. At the end of the input a box answers Cancel, No or OK.
//
// An answer that fits nothing is asked again. On a terminal that goes on as long as the user
// types; from a pipe or a file a few such answers in a row count as the end of the input, so
// an endless stream of them (`yes | firmupdater`) can never keep the program alive.
//
// A dialog prints its caption and static texts. When it has push buttons it asks for one:
// y for the button with ID 1 (Yes), n for ID 2 (No), Enter for the button Enter presses in
// the dialog; the end of the input is Esc. Without push buttons it runs on its timers, and
// a progress bar shows as an indicator that moves with every position it is given, until it
// is given an amount: then it is a bar with the percentage, the amount and the time left,
// redrawn in place on a terminal, and otherwise printed as a plain line per 10%.

#include <chrono>
#include <cstdint>
#include <istream>
#include <optional>
#include <ostream>
#include <string>

#include "LoopBackend.h"

namespace ui {

class TerminalUi : public LoopBackend {
  public:
    // `animate`: the output is a terminal, so the progress indicator is redrawn in place;
    // otherwise a dot is printed every tenth step. `pipedInput`: the input is not a terminal,
    // so each answer read is printed after its prompt (the output reads as a transcript) and
    // answers that fit nothing are given up on after a few.
    TerminalUi(std::istream& in, std::ostream& out, bool animate, bool pipedInput = false);

    // Answers in a row that fit nothing, from a pipe or a file, after which a prompt takes
    // the end of the input.
    static constexpr int kUnfitAnswersOnPipedInput = 3;

  protected:
    int ShowMessageBoxHere(const MessageBoxRequest& request, std::thread::id requestedOn) override;
    std::unique_ptr<LoopDialogWindow> CreateWindow(const res::DialogTemplate& dialogTemplate,
                                                   Dialog& dialog, const Dialog* parent) override;
    void DriveDialog(LoopDialogWindow& window) override;
    void DialogEnded(LoopDialogWindow& window) override;

  private:
    friend class TerminalWindow;

    void Print(std::wstring_view text);
    void PrintCaption(std::wstring_view caption);
    // One line of input without its line break; nothing at the end of the input.
    std::optional<std::string> ReadAnswer();
    // Counts an answer that fit nothing; true when the prompt must take the end of the input.
    bool GiveUpAfterUnfitAnswer(int& unfitAnswers) const;
    void ShowProgress(int position);
    void ShowAmount(std::uint64_t done, std::uint64_t total);
    void CloseProgressLine();

    std::istream& in_;
    std::ostream& out_;
    bool animate_;
    bool pipedInput_;
    bool progressLineOpen_ = false;
    unsigned progressSteps_ = 0;
    // The measured progress of the dialog that shows one.
    struct Amount {
        std::uint64_t first = 0;  // the amount first shown, and when
        std::chrono::steady_clock::time_point since;
        std::uint64_t done = 0;  // the amount last shown
        std::uint64_t total = 0;
        int tenthPrinted = -1;                 // without a terminal: the last 10% step printed,
        std::optional<std::uint64_t> printed;  // and the amount last printed
        std::size_t lineLength = 0;            // on a terminal: the length of the line drawn
    };
    std::optional<Amount> amount_;
};

}  // namespace ui
