#include "WatchTestSupport.h"

#include <algorithm>

namespace watchsim::testing {

Bytes Le(std::initializer_list<Field> fields) {
    Bytes out;
    for (const Field& field : fields) {
        for (int i = 0; i < field.size; ++i) {
            out.push_back(static_cast<std::uint8_t>((field.value >> (8 * i)) & 0xFF));
        }
    }
    return out;
}

Bytes Concat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::vector<Bytes> FrameRequest(std::uint8_t code, const Bytes& payload, std::size_t reportLength) {
    Bytes block = Concat(Le({{code, 1}, {static_cast<std::uint32_t>(payload.size()), 4}}), payload);
    const std::size_t room = reportLength - 3;
    const std::size_t count = (block.size() + room - 1) / room;
    std::vector<Bytes> reports;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t chunk = std::min(room, block.size() - i * room);
        std::uint8_t flags = count == 1 ? 0xC0 : i == 0 ? 0x80 : i + 1 == count ? 0x40 : 0x00;
        Bytes report(reportLength, 0);
        report[1] = static_cast<std::uint8_t>(flags | (chunk >> 8));
        report[2] = static_cast<std::uint8_t>(chunk & 0xFF);
        std::copy_n(block.begin() + static_cast<std::ptrdiff_t>(i * room), chunk,
                    report.begin() + 3);
        reports.push_back(std::move(report));
    }
    return reports;
}

bool SendRequest(HostPort& port, std::uint8_t code, const Bytes& payload) {
    for (const Bytes& report : FrameRequest(code, payload, port.OutputReportLength())) {
        if (!port.WriteReport(report)) {
            return false;
        }
    }
    return true;
}

std::optional<RawReply> ReceiveReply(HostPort& port, std::string* why) {
    const auto fail = [&](const char* reason) -> std::optional<RawReply> {
        if (why) {
            *why = reason;
        }
        return std::nullopt;
    };
    Bytes block;
    bool first = true;
    for (;;) {
        Bytes report;
        switch (port.ReadReport(report)) {
            case ReadOutcome::Silent:
                return fail("silent");
            case ReadOutcome::Gone:
                return fail("gone");
            case ReadOutcome::Report:
                break;
        }
        if (report.size() != port.InputReportLength() || report[0] != 0) {
            return fail("bad report size or number");
        }
        const std::size_t length = ((report[1] & 1u) << 8) | report[2];
        if (length == 0) {
            return fail("zero length");
        }
        if (length > report.size() - 3) {
            return fail("length beyond report");
        }
        if (first && !(report[1] & 0x80)) {
            return fail("no start flag");
        }
        first = false;
        block.insert(block.end(), report.begin() + 3, report.begin() + 3 + length);
        if (report[1] & 0x40) {
            break;
        }
    }
    if (block.size() < 5) {
        return fail("short block");
    }
    const std::size_t announced =
        block[1] | (block[2] << 8) | (block[3] << 16) | (static_cast<std::size_t>(block[4]) << 24);
    if (block.size() != 5 + announced) {
        return fail("body length differs from announced");
    }
    return RawReply{block[0], Bytes(block.begin() + 5, block.end())};
}

std::optional<RawReply> Exchange(HostPort& port, std::uint8_t code, const Bytes& payload,
                                 std::string* why) {
    if (!SendRequest(port, code, payload)) {
        if (why) {
            *why = "write refused";
        }
        return std::nullopt;
    }
    return ReceiveReply(port, why);
}

Bytes DataClass(std::uint16_t dataId, std::uint8_t kind, const Bytes& parameters) {
    return Concat(Le({{dataId, 2}, {kind, 1}}), parameters);
}

std::optional<Bytes> ReadRecord(HostPort& port, std::uint16_t dataId, std::uint16_t number) {
    const auto size = Exchange(port, 0x20, DataClass(dataId, 0x41, Le({{number, 2}})));
    if (!size || size->code != 0x20 || size->body.size() != 10 || size->body[0] != 0) {
        return std::nullopt;
    }
    const std::uint32_t count = size->body[6] | (size->body[7] << 8) | (size->body[8] << 16) |
                                (static_cast<std::uint32_t>(size->body[9]) << 24);
    const auto data =
        Exchange(port, 0x20, DataClass(dataId, 0x00, Le({{number, 2}, {0, 4}, {count, 4}})));
    if (!data || data->code != 0x20 || data->body.size() != 14 + count || data->body[0] != 0) {
        return std::nullopt;
    }
    return Bytes(data->body.begin() + 14, data->body.end());
}

}  // namespace watchsim::testing
