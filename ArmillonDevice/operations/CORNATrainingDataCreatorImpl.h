#pragma once
// What the ORNA creator knows while a connection is open: the protocol object it was opened
// through (borrowed from the creator), the information records read so far, and the
// training records still to download. Created by Open, destroyed by a successful Close.

#include <cstdint>
#include <deque>
#include <memory>

#include "ArmillonDeviceError.h"
#include "IFirmwareInformation.h"
#include "IHardwareInformation.h"
#include "IProductInformation.h"
#include "ITrainingDataCreator.h"
#include "ORNA_Communication.h"

namespace ArmillonDevice {

class CORNATrainingDataCreatorImpl {
  public:
    static constexpr std::uint16_t kTrainingDataId = 0x5100;  // record number = data number

    CORNATrainingDataCreatorImpl();
    ~CORNATrainingDataCreatorImpl();
    CORNATrainingDataCreatorImpl(const CORNATrainingDataCreatorImpl&) = delete;
    CORNATrainingDataCreatorImpl& operator=(const CORNATrainingDataCreatorImpl&) = delete;

    // Null until the connection has been opened through it.
    ORNA_Communication* GetProtocol() const { return protocol_; }
    void SetProtocol(ORNA_Communication* protocol) { protocol_ = protocol; }

    // Reads the three information records afresh.
    ArmillonDeviceError ReadDeviceInformation(std::unique_ptr<SDeviceInformation>& information);
    // UnsupportedFirmware for a firmware generation (the number in the first two characters
    // of the version text) other than 0 or 1.
    ArmillonDeviceError CheckFirmwareGeneration();
    // Replaces the queue by the record numbers the selector lists.
    ArmillonDeviceError QueueTrainingRecords(std::int32_t& count, std::uint32_t selector);
    // Downloads the record at the front of the queue and removes it from the queue; after a
    // failure the same record is tried next time.
    ArmillonDeviceError DownloadNextRecord(std::unique_ptr<SORNATrainingData>& record,
                                           IReadProgressListener* listener);

    const std::deque<std::uint16_t>& GetPendingRecords() const { return pendingRecords_; }

  private:
    // Uses the cached record, or reads it and caches it once it has been read whole. A
    // record that failed to load is not kept, so its empty texts never pass for the device's.
    template <typename Record>
    ArmillonDeviceError BringIn(std::unique_ptr<Record>& slot);
    ArmillonDeviceError BringInAll();

    ORNA_Communication* protocol_ = nullptr;  // borrowed
    std::unique_ptr<IProductInformation> productInformation_;
    std::unique_ptr<IFirmwareInformation> firmwareInformation_;
    std::unique_ptr<IHardwareInformation> hardwareInformation_;
    std::deque<std::uint16_t> pendingRecords_;
};

}  // namespace ArmillonDevice
