#pragma once
// The interface language: chosen once at start-up, then every string, dialog template and
// message box button is taken in it, falling back to the neutral lookup when it lacks one.

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

#include "Resources.h"

// 0 until SelectUiLanguage runs; read by every thread afterwards.
inline std::atomic<std::uint16_t> uiLanguage{0};

// The thread locale that leaves the language to the neutral lookup.
inline constexpr std::uint32_t kCustomDefaultLocale = 0x0C00;

// An explicit request (not 0) is used as it is, whether or not the program has resources
// in it. Otherwise the user's locale decides: its language when the program has its first
// string block (IDs 192 to 207) in it, English when not; the custom default locale leaves
// the language at 0.
void SelectUiLanguage(std::uint16_t requested);
void SelectUiLanguage(std::uint16_t requested, std::uint32_t threadLocale);

// A string in the interface language; empty when neither lookup finds it.
std::wstring LoadText(std::uint16_t id);

// A dialog template in the interface language; null when neither lookup finds it.
const res::DialogTemplate* FindUiDialogTemplate(std::uint16_t id);

// The command line help in the interface language.
std::wstring_view UsageText();

// The note that the update cannot be interrupted, in the interface language.
std::wstring_view UninterruptibleNote();
