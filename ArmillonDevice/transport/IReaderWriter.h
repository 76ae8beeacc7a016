#pragma once
// Moves byte blocks between the host and one device. Above it the packet protocol sees a
// byte stream: it writes a request as one block and reads replies by exact byte counts.

#include <cstdint>
#include <span>

#include "ArmillonDeviceError.h"
#include "DeviceIdentifier.h"
#include "IReadProgressListener.h"
#include "IWriteProgressListener.h"

namespace ArmillonDevice {

class IReaderWriter {
  public:
    virtual ~IReaderWriter();

    // Opens the device the identity names; success at once when already open.
    virtual ArmillonDeviceError Open(const DeviceIdentifier* identity) = 0;
    // Safe to call when closed.
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    // Fills the whole buffer from the incoming message stream; the listener (may be null)
    // hears about every report received meanwhile.
    virtual ArmillonDeviceError Read(std::span<std::uint8_t> buffer,
                                     IReadProgressListener* listener) = 0;
    // Sends the block as one message.
    virtual ArmillonDeviceError Write(std::span<const std::uint8_t> data) = 0;
    // The listener (borrowed, may be null to stop) hears about every report Write sends
    // from now on, until it is replaced.
    virtual void SetWriteListener(IWriteProgressListener* listener) = 0;

  protected:
    IReaderWriter() = default;
    IReaderWriter(const IReaderWriter&) = default;
    IReaderWriter& operator=(const IReaderWriter&) = default;
};

}  // namespace ArmillonDevice
