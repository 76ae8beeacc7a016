#pragma once
// The decision for the watch: update only a watch whose firmware version orders before the
// image's.

#include "COrnaFirmware.h"
#include "VersionUpDecision.h"

class OrnaVersionUpDecision : public VersionUpDecision {
  public:
    // The image is not owned and must outlive the decision.
    explicit OrnaVersionUpDecision(COrnaFirmware* image) : image_(image) {}

    std::int32_t Decide(const wchar_t* deviceVersion, const wchar_t* productInfo2,
                        const wchar_t* productInfo3) override;
    std::int32_t CompareVersion(const wchar_t* deviceVersion) override;
    std::int32_t CheckProduct(const wchar_t* productInfo2) override;
    std::int32_t CheckModel(const wchar_t* productInfo3) override;

  private:
    COrnaFirmware* image_;
};
