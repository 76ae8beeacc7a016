#include "ReportDescriptorLengths.h"

#include <algorithm>
#include <vector>

namespace ArmillonDevice::ReportDescriptorLengths {

namespace {

// Item prefix: bits 0-1 data size code (0, 1, 2 or 4 bytes), bits 2-3 type, bits 4-7 tag.
constexpr std::uint8_t kLongItemPrefix = 0xFE;
constexpr unsigned kTypeMain = 0;
constexpr unsigned kTypeGlobal = 1;
constexpr unsigned kTypeReserved = 3;
constexpr unsigned kMainInput = 0x8;
constexpr unsigned kMainOutput = 0x9;
constexpr unsigned kGlobalReportSize = 0x7;
constexpr unsigned kGlobalReportId = 0x8;
constexpr unsigned kGlobalReportCount = 0x9;
constexpr unsigned kGlobalPush = 0xA;
constexpr unsigned kGlobalPop = 0xB;

// Bit counts stop growing here: far beyond any usable length, far below overflow.
constexpr std::uint64_t kBitCeiling = std::uint64_t{1} << 40;

struct GlobalState {
    std::uint32_t reportSize = 0;
    std::uint32_t reportCount = 0;
};

std::uint32_t ItemValue(std::span<const std::uint8_t> data) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < data.size(); ++i) {
        value |= static_cast<std::uint32_t>(data[i]) << (8 * i);
    }
    return value;
}

void AddBits(std::uint64_t& total, const GlobalState& state) {
    const std::uint64_t bits = std::uint64_t{state.reportSize} * state.reportCount;
    total = std::min(total + std::min(bits, kBitCeiling), kBitCeiling);
}

bool InRange(std::uint64_t bits) {
    const std::uint64_t bytes = (bits + 7) / 8 + 1;
    return bytes >= kMinReportLength && bytes <= kMaxReportLength;
}

}  // namespace

Result Parse(std::span<const std::uint8_t> descriptor) {
    GlobalState state;
    std::vector<GlobalState> pushed;
    std::uint64_t inputBits = 0;
    std::uint64_t outputBits = 0;

    std::size_t pos = 0;
    while (pos < descriptor.size()) {
        const std::uint8_t prefix = descriptor[pos];
        if (prefix == kLongItemPrefix) {
            // Long items carry nothing that matters here: skip prefix, size, tag and data.
            if (descriptor.size() - pos < 3) {
                return {Verdict::Malformed, {}};
            }
            const std::size_t dataSize = descriptor[pos + 1];
            if (descriptor.size() - pos - 3 < dataSize) {
                return {Verdict::Malformed, {}};
            }
            pos += 3 + dataSize;
            continue;
        }
        const std::size_t sizeCode = prefix & 0x03u;
        const std::size_t dataSize = sizeCode == 3 ? 4 : sizeCode;
        const unsigned type = (prefix >> 2) & 0x03u;
        const unsigned tag = prefix >> 4;
        if (descriptor.size() - pos - 1 < dataSize) {
            return {Verdict::Malformed, {}};
        }
        const std::uint32_t value = ItemValue(descriptor.subspan(pos + 1, dataSize));
        pos += 1 + dataSize;

        if (type == kTypeReserved) {
            return {Verdict::Malformed, {}};
        }
        if (type == kTypeMain) {
            if (tag == kMainInput) {
                AddBits(inputBits, state);
            } else if (tag == kMainOutput) {
                AddBits(outputBits, state);
            }
        } else if (type == kTypeGlobal) {
            switch (tag) {
                case kGlobalReportSize:
                    state.reportSize = value;
                    break;
                case kGlobalReportCount:
                    state.reportCount = value;
                    break;
                case kGlobalReportId:
                    return {Verdict::NumberedReports, {}};
                case kGlobalPush:
                    pushed.push_back(state);
                    break;
                case kGlobalPop:
                    if (pushed.empty()) {
                        return {Verdict::Malformed, {}};
                    }
                    state = pushed.back();
                    pushed.pop_back();
                    break;
                default:
                    break;
            }
        }
    }

    if (!InRange(inputBits) || !InRange(outputBits)) {
        return {Verdict::LengthOutOfRange, {}};
    }
    const auto bytes = [](std::uint64_t bits) {
        return static_cast<std::uint16_t>((bits + 7) / 8 + 1);
    };
    return {Verdict::Usable, {bytes(inputBits), bytes(outputBits)}};
}

}  // namespace ArmillonDevice::ReportDescriptorLengths
