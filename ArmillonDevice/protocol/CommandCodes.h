#pragma once
// Command codes of the request and reply blocks, and the data kinds of the data-class
// commands.

#include <cstdint>

namespace ArmillonDevice {

namespace CommandCode {
inline constexpr std::uint8_t kVersion = 0x00;
inline constexpr std::uint8_t kDisconnect = 0x01;
inline constexpr std::uint8_t kDataGet = 0x20;
inline constexpr std::uint8_t kDataSet = 0x21;
inline constexpr std::uint8_t kCommand30 = 0x30;
inline constexpr std::uint8_t kCommand31 = 0x31;
inline constexpr std::uint8_t kCommand32 = 0x32;
inline constexpr std::uint8_t kFlashRead = 0x40;
inline constexpr std::uint8_t kFlashWrite = 0x41;
inline constexpr std::uint8_t kFlashSectorErase = 0x42;
inline constexpr std::uint8_t kFlashRead2 = 0x43;
inline constexpr std::uint8_t kFlashWrite2 = 0x44;
inline constexpr std::uint8_t kErrorReply = 0xF0;
}  // namespace CommandCode

namespace DataKind {
inline constexpr std::uint8_t kData = 0x00;
inline constexpr std::uint8_t kIndexTable = 0x02;
inline constexpr std::uint8_t kSize = 0x41;
inline constexpr std::uint8_t kUploadFlag = 0x42;
inline constexpr std::uint8_t kMetaData = 0x80;
}  // namespace DataKind

}  // namespace ArmillonDevice
