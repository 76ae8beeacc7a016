#pragma once
// What the application takes from the platform besides its user interface: the HID layer
// through which the watch is found and opened, and the two signals of the busy check.

#include "INamedMutex.h"
#include "IWindowTitleSearch.h"

namespace ArmillonDevice {
class IHidPlatform;
}

struct UpdaterPlatform {
    // All borrowed; they outlive the application object. Null or empty: a platform with
    // no watch, no window of another program and a lock nobody else takes.
    ArmillonDevice::IHidPlatform* hid = nullptr;
    IWindowTitleSearch* windows = nullptr;
    NamedMutexFactory createMutex;
};
