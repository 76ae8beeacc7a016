#pragma once
// The Win32 headers of the HID class driver and the device set-up interface. mingw-w64's
// hidsdi.h and hidpi.h declare C functions without extern "C", so C++ would look for
// mangled names that hid.dll does not export; they are included here, and only here.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// windows.h first: the set-up and HID headers rely on its types.
#include <setupapi.h>

extern "C" {
#include <hidsdi.h>
// hidsdi.h first: hidpi.h relies on its types.
#include <hidpi.h>
}
