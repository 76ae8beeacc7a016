#pragma once
// The device firmware version given on the command line ("/d:"), which then stands for the
// version the device reports. Process-wide: the command line sets it before the facade
// exists; the facade reads it and releases it when it is destroyed.

#include <optional>
#include <string>

// The narrow text (locale encoding), or nothing.
extern std::optional<std::string> deviceVersionOverride;

// A text replaces the stored one and gives 0; null releases it and gives 1.
int SetDeviceVersionOverride(const char* text);
