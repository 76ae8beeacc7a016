// firmupdater: writes a firmware image to the watch in its cradle.

#include <clocale>
#include <iostream>

#include "CFWUpdaterAppApp.h"
#include "Linux_UpdaterPlatform.h"
#include "TextConversion.h"
#include "UiFactory.h"

int main(int argc, char** argv) {
    // The arguments, the image's texts and the watch's texts are in the locale's encoding.
    std::setlocale(LC_ALL, "");
    std::vector<std::wstring> arguments;
    for (int i = 0; i < argc; ++i) {
        arguments.push_back(common::NarrowToWide(argv[i]));
    }
    Linux_UpdaterPlatform platform;
    auto ui = ui::CreateUi(ui::UiEnvironment::OfProcess(), std::cin, std::cout);
    ui->SetWindowAnnouncer(&platform.Announcer());
    CFWUpdaterAppApp app(*ui, std::move(arguments), std::cout, platform.Wiring());
    return app.Run();
}
