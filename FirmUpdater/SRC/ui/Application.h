#pragma once
// Base of the application object. Run calls InitInstance, which does the program's whole
// work (there is no main loop of the application's own: whatever InitInstance returns,
// the run ends), then ExitInstance, whose result is the process's exit code.

#include <ostream>
#include <string>
#include <vector>

namespace ui {

class Dialog;
class UiBackend;

class Application {
  public:
    // `arguments` is the command line, element 0 the program's name; `console` receives
    // what the program prints outside its user interface (help, version).
    Application(UiBackend& ui, std::vector<std::wstring> arguments, std::ostream& console);
    virtual ~Application() = default;
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    int Run();

    // The framework's own start-up and exit handling: the user interface's hooks. Derived
    // classes call them from their overrides.
    virtual bool InitInstance();
    virtual int ExitInstance();

    UiBackend& Ui() const { return ui_; }
    const std::vector<std::wstring>& Arguments() const { return arguments_; }
    std::ostream& Console() const { return console_; }

    // The dialog that stands for the application while it is shown; null otherwise.
    Dialog* mainWindow = nullptr;

  private:
    UiBackend& ui_;
    std::vector<std::wstring> arguments_;
    std::ostream& console_;
};

}  // namespace ui
