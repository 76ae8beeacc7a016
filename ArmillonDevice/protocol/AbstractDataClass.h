#pragma once
// Base of the device information records: a data-class item read whole (size, then data)
// and cut into fixed fields by the record's Load.

#include <cstdint>
#include <vector>

#include "ArmillonDeviceError.h"
#include "BasicCommunication.h"

namespace ArmillonDevice {

class AbstractDataClass {
  public:
    // The connection is borrowed; it outlives the record.
    explicit AbstractDataClass(BasicCommunication& connection) : connection_(connection) {}
    AbstractDataClass(const AbstractDataClass&) = delete;
    AbstractDataClass& operator=(const AbstractDataClass&) = delete;
    virtual ~AbstractDataClass();

    // Reads and parses the record. On failure the fields keep their previous values.
    virtual ArmillonDeviceError Load() = 0;

    // Load, opening the connection first when it is closed and closing it again afterwards.
    ArmillonDeviceError Update();
    // One DataGet; on success its bytes replace the record's data.
    ArmillonDeviceError ReadData(std::uint16_t dataId, std::uint16_t dataNumber,
                                 std::uint32_t offset, std::uint32_t size);
    // DataSizeGet, then ReadData from offset 0 for that size.
    ArmillonDeviceError ReadAllData(std::uint16_t dataId, std::uint16_t dataNumber);

    // The raw bytes of the last successful read.
    const std::vector<std::uint8_t>& GetData() const { return data_; }

  protected:
    BasicCommunication& GetConnection() const { return connection_; }

  private:
    BasicCommunication& connection_;
    std::vector<std::uint8_t> data_;
};

}  // namespace ArmillonDevice
