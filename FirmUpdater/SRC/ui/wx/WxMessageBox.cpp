#include "WxMessageBox.h"

#include <wx/artprov.h>
#include <wx/button.h>
#include <wx/display.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

#include <algorithm>

#include "DialogFont.h"
#include "TextWrap.h"
#include "WxIcons.h"

namespace ui {
namespace {

// Widest text line, in average characters, before the screen's width limits it further.
constexpr int kTextWidthInCharacters = 64;

long BoxStyle(const MessageBoxRequest& request) {
    long style = wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX;
    if ((request.style & MB_TOPMOST) != 0) {
        style |= wxSTAY_ON_TOP;
    }
    return style;
}

wxArtID IconOf(std::uint32_t style) {
    switch (style & MB_ICONMASK) {
        case MB_ICONEXCLAMATION:
            return wxART_WARNING;
        case MB_ICONINFORMATION:
            return wxART_INFORMATION;
        default:
            return {};
    }
}

// Button window IDs: apart from the toolkit's stock IDs, so labels are used as given.
int ButtonWindowId(int result) {
    return wxID_HIGHEST + 1 + result;
}

}  // namespace

WxMessageBox::WxMessageBox(wxWindow* owner, const MessageBoxRequest& request)
    : wxDialog(owner, wxID_ANY, wxString(request.caption), wxDefaultPosition, wxDefaultSize,
               BoxStyle(request)),
      buttons_(ButtonsFor(request.style, ButtonLabelsFor(request.language))) {
    SetIcons(ProgramIconBundle());
    const auto family = DialogFontFamily(request.language);
    if (family != "Sans") {
        // Chinese and Japanese in the glyphs of their own script.
        wxFont font = GetFont();
        if (font.SetFaceName(family)) {
            SetFont(font);
        }
    }

    auto* top = new wxBoxSizer(wxVERTICAL);
    auto* body = new wxBoxSizer(wxHORIZONTAL);
    const int margin = ConvertDialogToPixels(wxSize(7, 7)).x;
    if (const auto icon = IconOf(request.style); !icon.empty()) {
        body->Add(
            new wxStaticBitmap(this, wxID_ANY, wxArtProvider::GetBitmap(icon, wxART_MESSAGE_BOX)),
            0, wxRIGHT | wxALIGN_TOP, 2 * margin);
    }
    auto* text = new wxStaticText(this, wxID_ANY, wxString());
    const int screenWidth = wxDisplay(owner != nullptr ? wxDisplay::GetFromWindow(owner) : 0)
                                .GetClientArea()
                                .GetWidth();
    const int width = std::min(GetCharWidth() * kTextWidthInCharacters, screenWidth * 2 / 3);
    text->SetLabelText(WrapText(request.text, width, [text](std::wstring_view line) {
        return text->GetTextExtent(wxString(std::wstring(line))).x;
    }));
    body->Add(text, 1, wxALIGN_CENTER_VERTICAL);
    top->Add(body, 1, wxALL | wxEXPAND, 2 * margin);

    auto* row = new wxBoxSizer(wxHORIZONTAL);
    const wxSize buttonSize = ConvertDialogToPixels(wxSize(50, 14));
    for (const auto& button : buttons_.buttons) {
        auto* control =
            new wxButton(this, ButtonWindowId(button.result), wxString(std::wstring(button.label)));
        control->SetMinSize(wxSize(std::max(buttonSize.x, control->GetBestSize().x),
                                   std::max(buttonSize.y, control->GetBestSize().y)));
        control->Bind(wxEVT_BUTTON,
                      [this, result = button.result](wxCommandEvent&) { EndModal(result); });
        if (button.result == buttons_.defaultResult) {
            control->SetDefault();
            control->SetFocus();
        }
        row->Add(control, 0, wxLEFT | wxRIGHT, margin / 2);
    }
    top->Add(row, 0, wxALIGN_CENTER_HORIZONTAL | wxLEFT | wxRIGHT | wxBOTTOM, 2 * margin);
    SetSizerAndFit(top);

    Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& event) {
        switch (event.GetKeyCode()) {
            case WXK_ESCAPE:
                if (const int result = DismissResult(); result != 0) {
                    EndModal(result);
                }
                return;
            case WXK_RETURN:
            case WXK_NUMPAD_ENTER: {
                const wxWindow* focus = FindFocus();
                for (const auto& button : buttons_.buttons) {
                    if (focus != nullptr && focus->GetId() == ButtonWindowId(button.result)) {
                        EndModal(button.result);
                        return;
                    }
                }
                EndModal(buttons_.defaultResult);
                return;
            }
            default:
                event.Skip();
                return;
        }
    });
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent& event) {
        if (const int result = DismissResult(); result != 0) {
            EndModal(result);
        } else if (event.CanVeto()) {
            event.Veto();
        }
    });
}

int WxMessageBox::DismissResult() const {
    for (const auto& button : buttons_.buttons) {
        if (button.result == IDCANCEL) {
            return IDCANCEL;
        }
    }
    return buttons_.buttons.size() == 1 && buttons_.buttons[0].result == IDOK ? IDOK : 0;
}

int WxMessageBox::Run() {
    CentreOnParent();
    return ShowModal();
}

}  // namespace ui
