#pragma once
// Every code an ArmillonException or DeviceException carries, in one place. Raisers and
// handlers use these names; the handlers turn each into one message (or none).

#include <cstdint>

namespace exception_code {

// Raised by this program.

// The run ends without a further message: the one that belongs to the situation has been
// shown (busy, Cancel at a connection prompt, up to date, cannot be updated).
inline constexpr std::int32_t kQuietEnd = 0;
// Image loader: the image file cannot be opened.
inline constexpr std::int32_t kImageCannotBeOpened = 2;
// Image loader: the image content does not have the expected structure.
inline constexpr std::int32_t kImageMalformed = 13;
// Image loader: the image file cannot be read in full.
inline constexpr std::int32_t kImageReadShort = 30;
// Connection: the matching watch cannot be opened. Worker: a step of the update failed,
// whatever the device error was.
inline constexpr std::int32_t kDeviceOperationFailed = 271;
// Connection: no matching watch is connected (prompts 222, then 223).
inline constexpr std::int32_t kNotConnected = 272;
// Connection: more than one matching watch is connected (prompt 224).
inline constexpr std::int32_t kSeveralConnected = 273;

// Handled, but raised by nothing in this program.

// Procedure handler: shows 226, the USB trouble note.
inline constexpr std::int32_t kUsbTrouble = 259;
// Procedure handler: ends the run quietly, like kQuietEnd.
inline constexpr std::int32_t kQuietEndAlso = 261;
// Worker handler: shows 229, another watch was found.
inline constexpr std::int32_t kOtherDeviceFound = 275;
// Worker handler: shows 228, a communication error.
inline constexpr std::int32_t kCommunicationError = 276;

}  // namespace exception_code
