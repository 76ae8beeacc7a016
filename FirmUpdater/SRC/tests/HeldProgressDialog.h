#pragma once
// For tests: the progress dialog over a worker without a thread, whose flags the test sets
// from the dialog's script, shown through the scripted interface in English.

#include <gtest/gtest.h>

#include <memory>

#include "Pause.h"
#include "ProgDlg.h"
#include "ResourceIds.h"
#include "ScopedThreadLocale.h"
#include "ScriptedUi.h"
#include "UiLanguage.h"

// A worker without a thread: the test sets its flags from the dialog's script.
class HeldWorker : public CUpdateWorker {
  public:
    HeldWorker(ui::UiBackend& ui, const ui::Dialog* dialog, bool starts)
        : CUpdateWorker(ui, dialog, nullptr, nullptr), starts_(starts) {}
    bool Start(ui::Dialog*) override { return starts_; }
    bool IsRunning() override { return false; }

    void Finish(bool success) {
        succeeded = success ? 1 : 0;
        finished.store(1, std::memory_order_release);
    }

  private:
    bool starts_;
};

class HeldProgDlg : public ProgDlg {
  public:
    HeldProgDlg(ui::UiBackend& ui, bool starts) : ProgDlg(ui, nullptr, nullptr), starts_(starts) {}
    HeldWorker& Held() { return static_cast<HeldWorker&>(*Worker()); }

  protected:
    std::unique_ptr<CUpdateWorker> CreateWorker() override {
        return std::make_unique<HeldWorker>(Ui(), this, starts_);
    }

  private:
    bool starts_;
};

class HeldProgressDialogTest : public testing::Test {
  protected:
    void SetUp() override { SelectUiLanguage(res::LANG_ENGLISH); }
    void TearDown() override { uiLanguage = 0; }

    int RunDialog(HeldProgDlg& dialog) {
        return dialog.DoModal(*FindUiDialogTemplate(res::IDD_PROGRESS), nullptr);
    }

    ScopedThreadLocale locale{IThreadLocale::kInvariant};
    common::ScopedPauseRecorder pauses;
    ui::ScriptedUi ui;
};
