// The test programs' main function on Windows.
#include <gtest/gtest.h>

#include "Windows_ImageFileReader.h"
#include "Windows_LocalZone.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    Windows_ImageFileReader imageFiles;
    Windows_LocalZone localZone;
    InstallImageFileReader(&imageFiles);
    InstallLocalZone(&localZone);
    const int result = RUN_ALL_TESTS();
    InstallLocalZone(nullptr);
    InstallImageFileReader(nullptr);
    return result;
}
