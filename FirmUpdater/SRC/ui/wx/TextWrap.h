#pragma once
// Breaks a text into lines that fit a width, the way a dialog's static text control does:
// at the text's own line breaks, after spaces, and between two CJK characters (Chinese and
// Japanese run without spaces). A word wider than the whole width is broken inside, so
// nothing is cut off at the control's edge. Spaces at a break are dropped.

#include <functional>
#include <string>
#include <string_view>

namespace ui {

// The width of a one-line text in the unit of `width`.
using TextMeasure = std::function<int(std::wstring_view)>;

// The text with '\n' between its lines.
std::wstring WrapText(std::wstring_view text, int width, const TextMeasure& measure);

}  // namespace ui
