#include "LoopDialogWindow.h"

#include <algorithm>

#include "Dialog.h"
#include "ResourceIds.h"

namespace ui {

LoopDialogWindow::LoopDialogWindow(const res::DialogTemplate& dialogTemplate, Dialog& dialog,
                                   const Dialog* parent)
    : template_(dialogTemplate), dialog_(dialog), parent_(parent) {
    for (const auto& item : template_.items) {
        texts_.emplace_back(item.text);
    }
}

std::optional<std::size_t> LoopDialogWindow::IndexOf(int id) const {
    return res::FindDialogItem(template_, id);
}

bool LoopDialogWindow::HasItem(int id) const {
    return IndexOf(id).has_value();
}

void LoopDialogWindow::SetItemText(int id, std::wstring_view text) {
    if (const auto index = IndexOf(id)) {
        texts_[*index] = text;
        ItemTextChanged(*index);
    }
}

std::wstring LoopDialogWindow::ItemText(int id) const {
    const auto index = IndexOf(id);
    return index ? texts_[*index] : std::wstring();
}

void LoopDialogWindow::SetFocus(int id) {
    if (HasItem(id)) {
        focus_ = id;
    }
}

void LoopDialogWindow::SetProgressPosition(int id, int position) {
    if (const auto index = IndexOf(id);
        index && template_.items[*index].controlClass == res::ControlClass::ProgressBar) {
        ProgressChanged(id, position);
    }
}

void LoopDialogWindow::SetProgressAmount(int id, std::uint64_t done, std::uint64_t total) {
    if (const auto index = IndexOf(id);
        index && template_.items[*index].controlClass == res::ControlClass::ProgressBar) {
        ProgressAmountChanged(id, std::min(done, total), total);
    }
}

bool LoopDialogWindow::SetTimer(unsigned id, std::chrono::milliseconds period) {
    if (ended_) {
        return false;
    }
    loop_.SetTimer(id, period);
    return true;
}

bool LoopDialogWindow::KillTimer(unsigned id) {
    return loop_.KillTimer(id);
}

void LoopDialogWindow::SetVisible(bool visible) {
    if (visible != visible_) {
        visible_ = visible;
        VisibilityChanged(visible);
    }
}

void LoopDialogWindow::End(int result) {
    ended_ = true;
    result_ = result;
    loop_.KillAllTimers();
}

void LoopDialogWindow::FocusFirstTabStop() {
    for (const auto& item : template_.items) {
        if ((item.style & res::WS_TABSTOP) != 0 && item.id != res::IDC_NONE) {
            focus_ = item.id;
            return;
        }
    }
}

bool LoopDialogWindow::FireNextTimer() {
    const auto id = loop_.WaitForNextTimer();
    if (!id) {
        return false;
    }
    loop_.RunPendingTasks();
    if (!ended_) {
        TimerFired(*id);
        dialog_.OnTimer(*id);
    }
    return true;
}

bool LoopDialogWindow::RunUntilEnded() {
    while (!ended_) {
        loop_.RunPendingTasks();
        if (ended_) {
            break;
        }
        if (!FireNextTimer()) {
            return false;
        }
    }
    return true;
}

}  // namespace ui
