#pragma once
// What the console twin firmupdater.com and the program firmupdater.exe agree on. The twin
// is a console program that a command prompt finds before the .exe and waits for; it starts
// firmupdater.exe from its own folder with this variable set, and the program then attaches
// to the twin's console, so that it runs the terminal interface there.

// Set to "1" by the twin for the program it starts; the program removes it again at once.
inline constexpr wchar_t kConsoleTwinVariable[] = L"FIRMUPDATER_CONSOLE_TWIN";
// The program the twin starts, beside the twin.
inline constexpr wchar_t kConsoleTwinProgram[] = L"firmupdater.exe";
