#pragma once
// The update as a list of steps, worked out before anything is sent: which facade call each
// entry of the command list makes, and how many bytes its requests put on the wire, so the
// progress can be measured against the whole. The end-of-update commands the identity
// section asks for come last.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "CFirmwareData.h"

class CTalvenComm;

struct UpdateStep {
    static constexpr std::size_t kEndOfUpdate = std::numeric_limits<std::size_t>::max();

    std::size_t entry = 0;    // index in the command list, kEndOfUpdate for the flags' commands
    std::uint32_t type = 0;   // the section type
    std::string what;         // for people: "FlashWrite at 0x00001000"
    std::uint64_t bytes = 0;  // request bytes on the wire, headers included
    // The facade call: 0 or the device error code. Null for entries that send nothing.
    std::function<std::int32_t(CTalvenComm&)> call;
    // A bare command: the watch leaves the connection, which is closed here as well.
    bool closesConnection = false;
};

std::vector<UpdateStep> PlanUpdate(const std::vector<CFirmwareData::_COMMAND>& commands);

// The bytes of all steps together.
std::uint64_t TotalBytes(const std::vector<UpdateStep>& steps);
