#pragma once
// The reply body of the version command (the handshake): four 16-bit words.

#include <array>

#include "IArmillonData.h"

namespace ArmillonDevice {

class ICMD_Version : public IArmillonData {
  public:
    static constexpr std::size_t kSize = 8;

    std::vector<std::uint8_t> Encode() const override;
    // Consumes 8 bytes; -1 for a shorter body.
    std::int64_t Decode(std::span<const std::uint8_t> body) override;

    std::uint16_t GetWord(std::size_t index) const { return words_.at(index); }
    const std::array<std::uint16_t, 4>& GetWords() const { return words_; }
    void SetWords(const std::array<std::uint16_t, 4>& words) { words_ = words; }

  private:
    std::array<std::uint16_t, 4> words_{};
};

}  // namespace ArmillonDevice
