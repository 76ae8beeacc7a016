#pragma once
// Whether the program talks to a console window. Windows always has a desktop, so this is
// what decides for the terminal interface there: the console build of the program, started
// from a command prompt, runs in that console; the desktop build, started from the desktop,
// has none.

class Win32_Console {
  public:
    static bool HasConsole();
};
