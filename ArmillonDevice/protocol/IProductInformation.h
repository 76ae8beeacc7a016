#pragma once
// The product information record (data 0x1100), at least 48 bytes:
//    0  20  product text 1
//   20   4  product text 2
//   24   4  product text 3
//   28   2  product text 4
// Texts are byte strings of exactly their field's length, zero bytes and all.

#include <string>

#include "AbstractDataClass.h"

namespace ArmillonDevice {

class IProductInformation : public AbstractDataClass {
  public:
    static constexpr std::uint16_t kDataId = 0x1100;
    static constexpr std::size_t kMinimumSize = 48;

    using AbstractDataClass::AbstractDataClass;
    ~IProductInformation() override;

    ArmillonDeviceError Load() override;

    std::string GetProductText1() const { return productText1_; }
    std::string GetProductText2() const { return productText2_; }
    std::string GetProductText3() const { return productText3_; }
    std::string GetProductText4() const { return productText4_; }

  private:
    std::string productText1_;
    std::string productText2_;
    std::string productText3_;
    std::string productText4_;
};

}  // namespace ArmillonDevice
