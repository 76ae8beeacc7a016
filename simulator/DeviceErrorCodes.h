#pragma once
// The watch's own error codes, sent in error replies (code 0xF0, 16-bit code).

#include <cstdint>

namespace watchsim {

enum DeviceErrorCode : std::uint16_t {
    kErrorUnknownCommand = 0x0010,  // command code the watch does not know
    kErrorUnknownData = 0x0011,     // data identifier or data kind not served
    kErrorBadRequest = 0x0012,      // payload shorter than the command needs, or too large
    kErrorAddressRange = 0x0013,    // flash address and length outside the area
    kErrorSectorRange = 0x0014,     // sector number beyond the flash
    kErrorRecordRange = 0x0015,     // offset and size outside the record
    kErrorNoSuchRecord = 0x0016,    // data number the watch does not hold
    kErrorReadOnly = 0x0017,        // record cannot be written
    kErrorInvalidTime = 0x0018,     // clock write without a valid date and time
};

}  // namespace watchsim
