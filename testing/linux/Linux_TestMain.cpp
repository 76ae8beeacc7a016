// The test programs' main function on Linux.
#include <gtest/gtest.h>

#include "Linux_ImageFileReader.h"
#include "Linux_LocalZone.h"
#include "Linux_PlatformServices.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    Linux_ImageFileReader imageFiles;
    Linux_LocalZone localZone;
    Linux_PlatformServices services;
    InstallImageFileReader(&imageFiles);
    InstallLocalZone(&localZone);
    platform::Install(services.Services());
    const int result = RUN_ALL_TESTS();
    platform::Install({});
    InstallLocalZone(nullptr);
    InstallImageFileReader(nullptr);
    return result;
}
