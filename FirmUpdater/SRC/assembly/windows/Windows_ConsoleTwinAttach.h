#pragma once
// firmupdater.exe started by its console twin firmupdater.com (launcher/windows): the program
// is built for the desktop and gets no console of its own, so it attaches to the twin's, in
// which it then runs the terminal interface, prints, and takes Ctrl+C as a console program
// does. The standard handles it inherits from the twin are kept.

class Windows_ConsoleTwinAttach {
  public:
    // Attaches when the twin's variable is set, and removes the variable so that nothing the
    // program starts sees it. True when the program is attached to the twin's console.
    static bool AttachWhenStartedByTwin();
};
