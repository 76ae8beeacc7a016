#pragma once
// Little-endian readers and writers for byte buffers. Every number in the image file and on
// the wire is little-endian; these are the only helpers that turn bytes into numbers.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace common {

inline std::uint16_t LoadLE16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

inline std::uint32_t LoadLE32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

inline void StoreLE16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

inline void StoreLE32(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
    p[2] = static_cast<std::uint8_t>(v >> 16);
    p[3] = static_cast<std::uint8_t>(v >> 24);
}

inline void AppendLE16(std::vector<std::uint8_t>& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

inline void AppendLE32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<std::uint8_t>(v >> shift));
    }
}

// Reads numbers from a byte span front to back; every read checks the remaining length
// first and yields nothing once the span is exhausted, so a short buffer can never be
// read past its end.
class ByteReader {
  public:
    explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::size_t Remaining() const { return bytes_.size() - pos_; }
    std::size_t Position() const { return pos_; }

    std::optional<std::uint8_t> U8() {
        if (Remaining() < 1) {
            return std::nullopt;
        }
        return bytes_[pos_++];
    }
    std::optional<std::uint16_t> U16() {
        if (Remaining() < 2) {
            return std::nullopt;
        }
        const auto v = LoadLE16(bytes_.data() + pos_);
        pos_ += 2;
        return v;
    }
    std::optional<std::uint32_t> U32() {
        if (Remaining() < 4) {
            return std::nullopt;
        }
        const auto v = LoadLE32(bytes_.data() + pos_);
        pos_ += 4;
        return v;
    }
    // The next n bytes, or nothing when fewer remain.
    std::optional<std::span<const std::uint8_t>> Bytes(std::size_t n) {
        if (Remaining() < n) {
            return std::nullopt;
        }
        auto s = bytes_.subspan(pos_, n);
        pos_ += n;
        return s;
    }

  private:
    std::span<const std::uint8_t> bytes_;
    std::size_t pos_ = 0;
};

}  // namespace common
