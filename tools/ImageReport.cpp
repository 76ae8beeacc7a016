#include "ImageReport.h"

#include "ImageLayout.h"

#include <cstdio>
#include <cstring>
#include <sstream>

namespace fwimage {

namespace {

std::string Hex(std::uint64_t value, int digits) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%0*llX", digits, static_cast<unsigned long long>(value));
    return text;
}

// Printable bytes as they are, the others as \xNN.
std::string Escaped(const std::uint8_t* bytes, std::size_t length) {
    std::string out;
    for (std::size_t i = 0; i < length; ++i) {
        if (bytes[i] >= 0x20 && bytes[i] <= 0x7E && bytes[i] != '\\') {
            out.push_back(static_cast<char>(bytes[i]));
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02X", bytes[i]);
            out += escape;
        }
    }
    return out;
}

}  // namespace

std::string InspectReport(COrnaFirmware& image) {
    const auto bytes = image.Image();
    const auto model = image.ModelBytes();
    const char* version = image.GetVersionText();
    std::ostringstream out;
    out << "size: " << bytes.size() << '\n'
        << "sections: " << image.SectionCount() << '\n'
        << "vendor: " << Hex(image.VendorId(), 4) << '\n'
        << "product: " << Hex(image.ProductId(), 4) << '\n'
        << "model: " << Escaped(model.data(), model.size()) << '\n'
        << "model-code: " << Hex(image.ModelCode(), 8) << '\n'
        << "flags: " << Hex(image.Flags(), 2) << '\n'
        << "version: "
        << Escaped(reinterpret_cast<const std::uint8_t*>(version), std::strlen(version)) << '\n'
        << "version-offset: " << Hex(image.VersionOffset(), 5) << '\n';

    // Sections lie back to back, so each one's data runs up to the next one's header.
    const std::uint8_t* end = bytes.data() + bytes.size();
    for (std::size_t i = 0; i < image.commands.size(); ++i) {
        const auto& command = image.commands[i];
        const std::uint8_t* next = i + 1 < image.commands.size()
                                       ? image.commands[i + 1].data - firmware::kSectionHeaderSize
                                       : end;
        out << "section " << i << ": type=" << Hex(command.type, 8) << " ("
            << firmware::SectionTypeName(command.type) << ") value1=" << Hex(command.value1, 8)
            << " value2=" << Hex(command.value2, 8) << " data=" << (next - command.data) << '\n';
    }
    return out.str();
}

std::string DiagnosticLine(const std::string& file, const ImageDiagnostic& diagnostic) {
    std::ostringstream out;
    out << "fwimage: " << file << ": " << ImageRuleText(diagnostic.rule) << " ("
        << ImageRuleName(diagnostic.rule) << ")";
    if (diagnostic.rule != ImageRule::FileCannotBeOpened) {
        out << " at offset " << Hex(diagnostic.offset, 1);
    }
    if (diagnostic.section >= 0) {
        out << ", section " << diagnostic.section;
    }
    if (diagnostic.systemError != 0) {
        out << ": " << std::strerror(diagnostic.systemError);
    }
    return out.str();
}

}  // namespace fwimage
