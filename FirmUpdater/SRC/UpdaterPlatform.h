#pragma once
// What the application takes from the platform besides its user interface: the HID layer
// through which the watch is found and opened, and the two signals of the busy check.

#include "INamedMutex.h"
#include "IWindowTitleSearch.h"

namespace ArmillonDevice {
class IHidPlatform;
}

// How the command line reads an argument that begins with / and is none of the options.
// Where absolute paths begin with / (Linux), it is the image path when there is a file at
// that path, and ignored otherwise. Where they do not (Windows, on which /x names a file at
// the root of the current drive), it is always ignored, and /? asks for the help.
enum class SlashArguments { PathWhenFileExists, OptionsOnly };

struct UpdaterPlatform {
    // All borrowed; they outlive the application object. Null or empty: a platform with
    // no watch, no window of another program and a lock nobody else takes.
    ArmillonDevice::IHidPlatform* hid = nullptr;
    IWindowTitleSearch* windows = nullptr;
    NamedMutexFactory createMutex;
    SlashArguments slashArguments = SlashArguments::PathWhenFileExists;
};
