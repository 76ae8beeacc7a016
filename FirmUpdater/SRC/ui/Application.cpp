#include "Application.h"

#include <exception>
#include <iostream>

#include "UiBackend.h"

namespace ui {

Application::Application(UiBackend& ui, std::vector<std::wstring> arguments, std::ostream& console)
    : ui_(ui), arguments_(std::move(arguments)), console_(console) {}

int Application::Run() {
    try {
        InitInstance();
    } catch (const std::exception& e) {
        // The application handles its own failures; this is the last line of defence, so
        // the run still ends through ExitInstance.
        std::cerr << "unexpected error: " << e.what() << '\n';
    } catch (...) {
        std::cerr << "unexpected error\n";
    }
    return ExitInstance();
}

bool Application::InitInstance() {
    ui_.Start();
    return true;
}

int Application::ExitInstance() {
    ui_.Exit();
    return 0;
}

}  // namespace ui
