// The test programs' main function on Windows.
#include <gtest/gtest.h>

#include "ScopedInstall.h"
#include "Windows_ImageFileReader.h"
#include "Windows_LocalZone.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    Windows_ImageFileReader imageFiles;
    Windows_LocalZone localZone;
    const common::ScopedInstall imageFilesInstalled(InstallImageFileReader, &imageFiles);
    const common::ScopedInstall localZoneInstalled(InstallLocalZone, &localZone);
    return RUN_ALL_TESTS();
}
