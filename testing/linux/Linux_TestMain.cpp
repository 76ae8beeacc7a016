// The test programs' main function on Linux.
#include <gtest/gtest.h>

#include "Linux_ImageFileReader.h"
#include "Linux_LocalZone.h"
#include "Linux_PlatformServices.h"
#include "ScopedInstall.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    Linux_ImageFileReader imageFiles;
    Linux_LocalZone localZone;
    Linux_PlatformServices services;
    const common::ScopedInstall imageFilesInstalled(InstallImageFileReader, &imageFiles);
    const common::ScopedInstall localZoneInstalled(InstallLocalZone, &localZone);
    const common::ScopedInstall servicesInstalled(platform::Install, services.Services());
    return RUN_ALL_TESTS();
}
