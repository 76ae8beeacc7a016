#pragma once
// The desktop font a dialog template's font stands for. The templates name fonts of the
// system the tool came from; on the desktop the sans-serif family takes their place, and a
// CJK family for the Chinese and Japanese templates, so that their characters come from
// one matching font. The point size and weight stay the template's.

#include <cstdint>
#include <string>

namespace ui {

// The font family for a template in `language` (a language identifier).
std::string DialogFontFamily(std::uint16_t language);

}  // namespace ui
