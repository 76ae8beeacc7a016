#pragma once
// The buttons a message box style asks for, with their labels in a language and the keys a
// text interface answers them with (the same in every language).

#include <cstdint>
#include <string_view>
#include <vector>

#include "Resources.h"

namespace ui {

struct MessageBoxButton {
    int result;
    std::wstring_view label;
    char key;
};

struct MessageBoxButtons {
    std::vector<MessageBoxButton> buttons;  // in the order they are shown
    int defaultResult;                      // what Enter answers
    int endOfInputResult;                   // what a box answers when no one can: Cancel, No or OK
};

MessageBoxButtons ButtonsFor(std::uint32_t style, const res::ButtonLabels& labels);

// The button labels in `language`, falling back as every resource lookup does.
const res::ButtonLabels& ButtonLabelsFor(std::uint16_t language);

}  // namespace ui
