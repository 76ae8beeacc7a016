#pragma once
// A loaded firmware image: the list of its sections in file order, each pointing into the
// image held in memory, and the queries the application and the update decision make.

#include "OrnaFirmwareVersion.h"

#include <cstdint>
#include <memory>
#include <vector>

class CFirmwareData {
  public:
    // One section of the image: its type, its two values and its data, which stays valid
    // as long as the image object lives.
    struct _COMMAND {
        std::uint32_t type = 0;
        std::uint32_t value1 = 0;
        std::uint32_t value2 = 0;
        const std::uint8_t* data = nullptr;
    };

    CFirmwareData() = default;
    CFirmwareData(const CFirmwareData&) = delete;
    CFirmwareData& operator=(const CFirmwareData&) = delete;
    virtual ~CFirmwareData() = default;

    // Forgets the version data (pointer, length and version offset).
    virtual void ResetVersionData(std::uint32_t unused) = 0;
    // A version value of the text GetVersionText returns.
    virtual std::unique_ptr<OrnaFirmwareVersion> CreateVersion() = 0;
    // Both return a process-wide buffer that the next call of the same function overwrites.
    virtual const char* GetModelText() = 0;
    virtual const char* GetVersionText() = 0;
    virtual void Reserved1(std::uint32_t unused) = 0;
    virtual void GetVersionData(std::uint32_t& length, const std::uint8_t*& data) = 0;
    virtual std::int32_t Reserved2() = 0;
    // The next byte of the version data (0 to 255), or -1 past its end. The cursor is shared
    // by every image object of the process and never goes back.
    virtual std::int32_t ReadNextByte() = 0;

    std::vector<_COMMAND> commands;
};
