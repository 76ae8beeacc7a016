#pragma once
// Dialogs the framework tests run.

#include <atomic>
#include <functional>
#include <thread>

#include "Dialog.h"
#include "ResourceIds.h"
#include "ResourceLookup.h"
#include "UiBackend.h"

namespace uitest {

using namespace std::chrono_literals;

inline const res::DialogTemplate& EnglishTemplate(std::uint16_t id) {
    return *res::FindDialog(res::kEnglish, id);
}

// The confirmation template's behaviour: focus on No, the default button; records what
// the handlers saw.
class YesNoDialog : public ui::Dialog {
  public:
    explicit YesNoDialog(ui::UiBackend& ui, bool focusNo = true) : Dialog(ui), focusNo_(focusNo) {}

    bool OnInitDialog() override {
        SetDlgItemText(res::IDC_CURRENT_VERSION, L"Current firmware version: 01.20");
        if (focusNo_) {
            GotoDlgCtrl(ui::IDCANCEL);
            return false;
        }
        return true;
    }
    void OnOK() override {
        ++okCount;
        Dialog::OnOK();
    }
    void OnCancel() override {
        ++cancelCount;
        Dialog::OnCancel();
    }

    int okCount = 0;
    int cancelCount = 0;

  private:
    bool focusNo_;
};

// Ticks a 100 ms timer and moves the progress bar until `finished` is set, then ends
// with 1. Esc and the close command do nothing. `work`, when given, runs on a thread of
// its own started by OnInitDialog and sets `finished` when it returns.
class TickingDialog : public ui::Dialog {
  public:
    TickingDialog(ui::UiBackend& ui, std::function<void(TickingDialog&)> work = {})
        : Dialog(ui), work_(std::move(work)) {}
    ~TickingDialog() override {
        if (worker_.joinable()) {
            worker_.join();
        }
    }

    bool OnInitDialog() override {
        SetTimer(1, 100ms);
        if (work_) {
            worker_ = std::thread([this] {
                work_(*this);
                finished = true;
            });
        }
        return true;
    }
    void OnCancel() override {}
    void OnTimer(unsigned /*id*/) override {
        SetProgressPos(res::IDC_PROGRESS, ticks++);
        if (finished) {
            KillTimer(1);
            EndDialog(1);
        }
    }

    std::atomic<bool> finished{false};
    std::atomic<int> ticks{0};

  private:
    std::function<void(TickingDialog&)> work_;
    std::thread worker_;
};

}  // namespace uitest
