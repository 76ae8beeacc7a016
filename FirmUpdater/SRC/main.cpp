// firmupdater: writes a firmware image to the watch in its cradle.

#include <clocale>
#include <iostream>

#include "CFWUpdaterAppApp.h"
#include "PlatformAssembly.h"

int main(int argc, char** argv) {
    // The arguments, the image's texts and the watch's texts are in the locale's encoding.
    std::setlocale(LC_ALL, "");
    const auto platform = CreatePlatformAssembly();
    auto arguments = platform->Arguments(argc, argv);
    auto ui = platform->CreateUi(std::cin, std::cout);
    ui->SetWindowAnnouncer(platform->Announcer());
    CFWUpdaterAppApp app(*ui, std::move(arguments), std::cout, platform->Wiring());
    return app.Run();
}
