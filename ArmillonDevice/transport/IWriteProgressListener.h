#pragma once
// Told about outgoing data while a write is in progress.
//
// The transport calls OnWritten once for every report that has gone out, with the number of
// block bytes that report carried (its payload length, header not counted). It is called on
// the thread that writes, between two report transfers, so it must be quick: it sits on the
// path of every report.

#include <cstdint>

namespace ArmillonDevice {

class IWriteProgressListener {
  public:
    virtual ~IWriteProgressListener();

    virtual void OnWritten(std::uint32_t payloadLength) = 0;
};

}  // namespace ArmillonDevice
