#pragma once
// The program's resources, compiled in: per language a string table, the two dialog
// templates, the labels of the message box buttons and the command line help. Look them up
// through ResourceLookup.h, never by walking these tables directly.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace res {

enum class ControlClass { Button, Static, ProgressBar };

// Window and control styles the templates and the dialog framework use.
inline constexpr std::uint32_t WS_SYSMENU = 0x00080000;
inline constexpr std::uint32_t WS_TABSTOP = 0x00010000;
inline constexpr std::uint32_t BS_TYPEMASK = 0x0000000F;
inline constexpr std::uint32_t BS_PUSHBUTTON = 0x00000000;
inline constexpr std::uint32_t BS_DEFPUSHBUTTON = 0x00000001;

// One control of a dialog template. Positions and sizes are dialog units.
struct DialogItem {
    int id;
    ControlClass controlClass;
    std::wstring_view text;
    int x, y, cx, cy;
    std::uint32_t style;
};

struct DialogTemplate {
    std::uint16_t id;
    std::uint16_t language;
    std::wstring_view caption;
    int cx, cy;
    std::uint32_t style;
    std::wstring_view fontName;
    int pointSize;
    int fontWeight;  // 0: the font's own
    std::span<const DialogItem> items;
};

// Index of the control with this ID in the template, or nothing. Statics without an ID
// (IDC_NONE) are never found.
std::optional<std::size_t> FindDialogItem(const DialogTemplate& dialogTemplate, int id);

// A string of the string table. The tables list only the strings a language has.
struct StringEntry {
    std::uint16_t id;
    std::wstring_view text;
};

// Labels of the predefined message box buttons.
struct ButtonLabels {
    std::wstring_view ok;
    std::wstring_view retry;
    std::wstring_view cancel;
    std::wstring_view yes;
    std::wstring_view no;
};

struct LanguageResources {
    std::uint16_t language;
    std::span<const StringEntry> strings;
    std::span<const DialogTemplate> dialogs;
    ButtonLabels buttons;
    std::wstring_view usage;  // command line help
    // Printed when the user tries to stop the program while the update runs.
    std::wstring_view uninterruptibleNote;
};

// One object per language file.
extern const LanguageResources kGerman;
extern const LanguageResources kFrench;
extern const LanguageResources kTraditionalChinese;
extern const LanguageResources kEnglish;
extern const LanguageResources kJapanese;
extern const LanguageResources kRussian;
extern const LanguageResources kSimplifiedChinese;

// All seven, in the order of their language identifiers.
std::span<const LanguageResources* const> AllLanguages();

}  // namespace res
