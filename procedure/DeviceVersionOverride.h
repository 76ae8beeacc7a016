#pragma once
// The device firmware version given on the command line ("/d:"), reported instead of the
// version the device has wherever the application asks for it. Process-wide: the
// application sets it while it reads its options; the device procedure reads it and
// clears it when it ends. Safe to use from any thread.

#include <optional>
#include <string>

// Stores a copy of `text` (zero-terminated, in the locale's encoding) in place of the
// previous one and returns 0; with null, forgets the stored text and returns 1.
int SetDeviceVersionOverride(const char* text);

// The stored text, or nothing.
std::optional<std::string> GetDeviceVersionOverride();
