#pragma once
// The one way the application shows a message box: with the program's caption, top-most,
// and with buttons in the interface language. Each step that shows messages makes its own
// short-lived object, owned by the dialog it belongs to or by none.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace ui {
class Dialog;
class UiBackend;
}  // namespace ui

class CMessageDisplay {
  public:
    // Without an owner window.
    explicit CMessageDisplay(ui::UiBackend& ui);
    // Owned by a dialog, shown over it; the dialog must outlive this object.
    explicit CMessageDisplay(const ui::Dialog& owner);

    // A string in the interface language, empty when it is not found.
    std::wstring LoadText(std::uint16_t id) const;
    // The string with its "%s" / "%5s" placeholders filled (see TextFormat.h).
    std::wstring FormatText(std::uint16_t id, std::initializer_list<std::wstring_view> args) const;
    // Shows string `id` in a box of `style` (0x40 information, 0x30 exclamation, 0x35 Retry
    // and Cancel); returns the button pressed.
    int Show(std::uint16_t id, std::uint32_t style) const;
    int ShowText(std::wstring_view text, std::uint32_t style) const;

  private:
    ui::UiBackend& ui_;
    const ui::Dialog* owner_;
    std::wstring caption_;
};
