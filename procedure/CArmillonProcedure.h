#pragma once
// The abstract device procedure: the first operations every procedure offers, and a
// callback slot that callers may fill (the system itself never calls it).

#include <cstdint>
#include <string>

class CArmillonProcedure {
  public:
    // Progress so far and the total, in units of the caller's choosing; the result is not
    // examined.
    using Callback = int (*)(std::uint32_t done, std::uint32_t total);

    virtual ~CArmillonProcedure();

    // 0, or 1 for any failure; the outputs are untouched on failure.
    virtual std::int32_t GetProductInfo(std::wstring& productText3, std::wstring& productText2) = 0;
    virtual std::int32_t GetFirmwareVersion(std::wstring& version) = 0;
    // 0, or the device error code. The first argument has no effect.
    virtual std::int32_t SetData1600(std::uint32_t unused, std::uint32_t byteCount,
                                     const std::uint8_t* buffer) = 0;
    // Stores the callback, or the default one (which does nothing) for null; returns 0.
    virtual std::int32_t SetCallback(Callback callback);

    Callback GetCallback() const { return callback_; }

  protected:
    CArmillonProcedure();
    CArmillonProcedure(const CArmillonProcedure&) = default;
    CArmillonProcedure& operator=(const CArmillonProcedure&) = default;

  private:
    Callback callback_;
};
