#pragma once
// The interface's environment on Windows: FIRMUPDATER_UI, and whether the standard streams
// are the console. Windows always has a desktop; a program started in a console window
// talks there.

#include "UiFactory.h"

struct Windows_UiEnvironment {
    static ui::UiEnvironment OfProcess();
};
