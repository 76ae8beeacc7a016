#include "FwimageCommand.h"

#include <clocale>
#include <iostream>

#include "ImageFileReader.h"
#include "ScopedInstall.h"

int main(int argc, char** argv) {
    // Paths reach the loader as wide strings through the locale's encoding.
    std::setlocale(LC_ALL, "");
    const auto imageFiles = CreatePlatformImageFileReader();
    const common::ScopedInstall imageFilesInstalled(InstallImageFileReader, imageFiles.get());
    return fwimage::RunFwimage(std::vector<std::string>(argv + 1, argv + argc), std::cout,
                               std::cerr);
}
