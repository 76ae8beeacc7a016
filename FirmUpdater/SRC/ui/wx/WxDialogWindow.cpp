#include "WxDialogWindow.h"

#include <wx/button.h>
#include <wx/control.h>
#include <wx/font.h>
#include <wx/gauge.h>
#include <wx/stattext.h>
#include <wx/timer.h>

#include <gtk/gtk.h>

#include <algorithm>

#include "Dialog.h"
#include "DialogFont.h"
#include "ResourceIds.h"
#include "TextWrap.h"
#include "WxIcons.h"

namespace ui {
namespace {

// A progress bar with this style shows activity, not an amount: every new position moves it.
constexpr std::uint32_t PBS_MARQUEE = 0x08;
constexpr int kProgressRange = 100;
// Steps of a bar that shows an amount: fine enough for a smooth bar of any width.
constexpr int kAmountRange = 1000;

wxFont TemplateFont(const res::DialogTemplate& dialogTemplate) {
    const auto family = DialogFontFamily(dialogTemplate.language);
    wxFontInfo info(dialogTemplate.pointSize > 0 ? dialogTemplate.pointSize : 9);
    if (family == "Sans") {
        info.Family(wxFONTFAMILY_SWISS);
    } else {
        info.FaceName(family);
    }
    if (dialogTemplate.fontWeight > 0) {
        info.Weight(dialogTemplate.fontWeight);
    }
    wxFont font(info);
    if (!font.IsOk()) {
        font = wxFont(wxFontInfo(info.GetPointSize()).Family(wxFONTFAMILY_SWISS));
    }
    return font;
}

long FrameStyle(const res::DialogTemplate& dialogTemplate) {
    long style = wxCAPTION;
    if ((dialogTemplate.style & res::WS_SYSMENU) != 0) {
        style |= wxSYSTEM_MENU | wxCLOSE_BOX;
    }
    return style;
}

}  // namespace

class WxDialogWindow::Timer : public wxTimer {
  public:
    Timer(WxDialogWindow& window, unsigned id) : window_(window), id_(id) {}
    void Notify() override { window_.Fire(id_); }

  private:
    WxDialogWindow& window_;
    unsigned id_;
};

WxDialogWindow::WxDialogWindow(const res::DialogTemplate& dialogTemplate, Dialog& dialog,
                               wxWindow* parent)
    : template_(dialogTemplate), dialog_(dialog), frame_(std::make_unique<wxDialog>()) {
    frame_->Create(parent, wxID_ANY, wxString(std::wstring(template_.caption)), wxDefaultPosition,
                   wxDefaultSize, FrameStyle(template_));
    if ((template_.style & res::WS_SYSMENU) == 0) {
        // The toolkit leaves out only the window manager's close function; GTK's own title
        // bar (client-side decorations) would still offer a close button.
        gtk_window_set_deletable(GTK_WINDOW(frame_->GetHandle()), FALSE);
    }
    frame_->SetFont(TemplateFont(template_));
    frame_->SetIcons(ProgramIconBundle());
    for (const auto& item : template_.items) {
        texts_.emplace_back(item.text);
    }
    CreateControls();
    Relayout();

    frame_->Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& event) { HandleKey(event); });
    frame_->Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent& event) {
        if (event.CanVeto()) {
            event.Veto();
        }
        Guard([this] { dialog_.PressClose(); });
    });
}

WxDialogWindow::~WxDialogWindow() {
    for (auto& [id, timer] : timers_) {
        timer->Stop();
    }
}

void WxDialogWindow::CreateControls() {
    const wxFont font = frame_->GetFont();
    for (const auto& item : template_.items) {
        wxWindow* control = nullptr;
        switch (item.controlClass) {
            case res::ControlClass::Button: {
                auto* button =
                    new wxButton(frame_.get(), wxID_ANY, wxString(std::wstring(item.text)));
                if ((item.style & res::BS_TYPEMASK) == res::BS_DEFPUSHBUTTON) {
                    button->SetDefault();
                }
                button->Bind(wxEVT_BUTTON, [this, id = item.id](wxCommandEvent&) {
                    Guard([this, id] { dialog_.PressButton(id); });
                });
                control = button;
                break;
            }
            case res::ControlClass::Static:
                control = new wxStaticText(frame_.get(), wxID_ANY, wxString(), wxDefaultPosition,
                                           wxDefaultSize, wxST_NO_AUTORESIZE | wxALIGN_LEFT);
                break;
            case res::ControlClass::ProgressBar:
                control = new wxGauge(frame_.get(), wxID_ANY, kProgressRange, wxDefaultPosition,
                                      wxDefaultSize, wxGA_HORIZONTAL | wxGA_SMOOTH);
                break;
        }
        control->SetFont(font);
        controls_.push_back(control);
    }
}

void WxDialogWindow::Relayout() {
    const wxSize client = frame_->ConvertDialogToPixels(wxSize(template_.cx, template_.cy));
    DialogLayout layout;
    layout.clientHeight = client.y;
    std::vector<int> needed(template_.items.size(), 0);
    for (std::size_t i = 0; i < template_.items.size(); ++i) {
        const auto& item = template_.items[i];
        const wxPoint position = frame_->ConvertDialogToPixels(wxPoint(item.x, item.y));
        const wxSize size = frame_->ConvertDialogToPixels(wxSize(item.cx, item.cy));
        layout.items.push_back({position.x, position.y, size.x, size.y});
        if (item.controlClass != res::ControlClass::Static) {
            continue;
        }
        auto* text = static_cast<wxStaticText*>(controls_[i]);
        const auto measure = [text](std::wstring_view line) {
            return text->GetTextExtent(wxString(std::wstring(line))).x;
        };
        text->SetLabelText(wxString(WrapText(texts_[i], size.x, measure)));
        if (!texts_[i].empty()) {
            text->InvalidateBestSize();
            needed[i] = text->GetBestSize().y;
        }
    }
    layout_ = GrowToFit(std::move(layout), needed);
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        const auto& r = layout_.items[i];
        controls_[i]->SetSize(r.x, r.y, r.width, r.height);
    }
    frame_->SetClientSize(client.x, layout_.clientHeight);
}

std::wstring WxDialogWindow::ShownText(std::size_t index) const {
    return static_cast<const wxControl*>(controls_[index])->GetLabelText().ToStdWstring();
}

std::optional<std::size_t> WxDialogWindow::IndexOf(int id) const {
    return res::FindDialogItem(template_, id);
}

bool WxDialogWindow::HasItem(int id) const {
    return IndexOf(id).has_value();
}

void WxDialogWindow::SetItemText(int id, std::wstring_view text) {
    const auto index = IndexOf(id);
    if (!index) {
        return;
    }
    texts_[*index] = text;
    switch (template_.items[*index].controlClass) {
        case res::ControlClass::Static:
            Relayout();
            break;
        case res::ControlClass::Button:
            controls_[*index]->SetLabel(wxString(texts_[*index]));
            break;
        case res::ControlClass::ProgressBar:
            break;
    }
}

std::wstring WxDialogWindow::ItemText(int id) const {
    const auto index = IndexOf(id);
    return index ? texts_[*index] : std::wstring();
}

void WxDialogWindow::SetFocus(int id) {
    if (const auto index = IndexOf(id)) {
        requestedFocus_ = id;
        controls_[*index]->SetFocus();
    }
}

std::optional<int> WxDialogWindow::Focus() const {
    const wxWindow* focus = wxWindow::FindFocus();
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        if (controls_[i] == focus && template_.items[i].id != res::IDC_NONE) {
            return template_.items[i].id;
        }
    }
    return requestedFocus_;
}

void WxDialogWindow::SetProgressPosition(int id, int position) {
    const auto index = IndexOf(id);
    if (!index || template_.items[*index].controlClass != res::ControlClass::ProgressBar) {
        return;
    }
    auto* gauge = static_cast<wxGauge*>(controls_[*index]);
    if (measured_) {
        return;  // the bar shows an amount now
    }
    if ((template_.items[*index].style & PBS_MARQUEE) != 0) {
        gauge->Pulse();
    } else {
        gauge->SetValue(std::clamp(position, 0, kProgressRange));
    }
}

void WxDialogWindow::SetProgressAmount(int id, std::uint64_t done, std::uint64_t total) {
    const auto index = IndexOf(id);
    if (!index || template_.items[*index].controlClass != res::ControlClass::ProgressBar) {
        return;
    }
    // A value makes the gauge determinate, a marquee gauge included.
    auto* gauge = static_cast<wxGauge*>(controls_[*index]);
    if (gauge->GetRange() != kAmountRange) {
        gauge->SetRange(kAmountRange);
    }
    // As a fraction: the byte counts times the range could overflow.
    const double fraction =
        total == 0 ? 0.0 : static_cast<double>(std::min(done, total)) / static_cast<double>(total);
    gauge->SetValue(static_cast<int>(fraction * kAmountRange));
    measured_ = true;
}

bool WxDialogWindow::SetTimer(unsigned id, std::chrono::milliseconds period) {
    if (ended_) {
        return false;
    }
    auto& timer = timers_[id];
    if (!timer) {
        timer = std::make_unique<Timer>(*this, id);
    }
    return timer->Start(
        static_cast<int>(std::max<std::chrono::milliseconds::rep>(period.count(), 1)),
        wxTIMER_CONTINUOUS);
}

bool WxDialogWindow::KillTimer(unsigned id) {
    // Only stopped: the timer may be the one whose tick runs now.
    const auto found = timers_.find(id);
    if (found == timers_.end() || !found->second->IsRunning()) {
        return false;
    }
    found->second->Stop();
    return true;
}

void WxDialogWindow::SetVisible(bool visible) {
    // wxDialog::Show(false) would end the modal loop; the top-level window's own Show only
    // hides the window.
    frame_->wxTopLevelWindow::Show(visible);
}

void WxDialogWindow::End(int result) {
    result_ = result;
    if (ended_) {
        return;
    }
    ended_ = true;
    for (auto& [id, timer] : timers_) {
        timer->Stop();
    }
    if (modal_) {
        frame_->EndModal(result);
    }
}

void WxDialogWindow::Fire(unsigned id) {
    if (!ended_) {
        Guard([this, id] { dialog_.OnTimer(id); });
    }
}

void WxDialogWindow::HandleKey(wxKeyEvent& event) {
    switch (event.GetKeyCode()) {
        case WXK_ESCAPE:
            Guard([this] { dialog_.PressEscape(); });
            break;
        case WXK_RETURN:
        case WXK_NUMPAD_ENTER:
            Guard([this] { dialog_.PressEnter(); });
            break;
        default:
            event.Skip();
            break;
    }
}

template <typename Handler>
void WxDialogWindow::Guard(Handler&& handler) {
    try {
        handler();
    } catch (...) {
        if (!error_) {
            error_ = std::current_exception();
        }
        End(-1);
    }
}

int WxDialogWindow::RunModal() {
    Guard([this] {
        if (dialog_.OnInitDialog() && !ended_) {
            for (const auto& item : template_.items) {
                if ((item.style & res::WS_TABSTOP) != 0 && item.id != res::IDC_NONE) {
                    SetFocus(item.id);
                    break;
                }
            }
        }
    });
    if (!ended_) {
        frame_->CentreOnScreen();
        modal_ = true;
        frame_->ShowModal();
        modal_ = false;
    }
    if (!ended_) {
        End(-1);
    }
    if (error_) {
        std::rethrow_exception(error_);
    }
    return result_;
}

}  // namespace ui
