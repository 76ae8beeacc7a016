#pragma once
// The interface's environment on Linux: the variables and whether the standard streams are
// terminals.

#include "UiFactory.h"

struct Linux_UiEnvironment {
    static ui::UiEnvironment OfProcess();
};
