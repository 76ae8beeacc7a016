#pragma once
// A firmware version value that can be ordered against another one of the same kind.

class ArmillonGPSVersion {
  public:
    virtual ~ArmillonGPSVersion() = default;

    virtual bool IsLess(const ArmillonGPSVersion* other) const = 0;
    virtual bool IsGreater(const ArmillonGPSVersion* other) const = 0;
    virtual bool IsEqual(const ArmillonGPSVersion* other) const = 0;
    virtual bool IsLessOrEqual(const ArmillonGPSVersion* other) const = 0;
    virtual bool IsGreaterOrEqual(const ArmillonGPSVersion* other) const = 0;
    virtual bool IsNotEqual(const ArmillonGPSVersion* other) const = 0;

  protected:
    ArmillonGPSVersion() = default;
    ArmillonGPSVersion(const ArmillonGPSVersion&) = default;
    ArmillonGPSVersion& operator=(const ArmillonGPSVersion&) = default;
};
