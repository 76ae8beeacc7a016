#pragma once
// <windows.h> for the Windows interface, included after the framework's headers. Its macros
// spell the framework's style and result constants with the same values; those that would
// rename the framework's functions or the resources' language constants go.

#ifndef UNICODE
#define UNICODE
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
// windows.h first
#include <commctrl.h>

#undef CreateWindow
#undef GetDlgItemText
#undef LoadString
#undef MessageBox
#undef SetDlgItemText
#undef LANG_ENGLISH
#undef LANG_FRENCH
#undef LANG_GERMAN
#undef LANG_JAPANESE
#undef LANG_RUSSIAN
