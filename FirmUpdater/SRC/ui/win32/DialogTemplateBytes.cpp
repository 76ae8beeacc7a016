#include "DialogTemplateBytes.h"

#include "ByteOrder.h"

namespace ui {
namespace {

void AppendText(std::vector<std::uint8_t>& out, std::wstring_view text) {
    for (const std::uint16_t unit : Utf16z(text)) {
        common::AppendLE16(out, unit);
    }
}

void AppendOrdinal(std::vector<std::uint8_t>& out, std::uint16_t ordinal) {
    common::AppendLE16(out, 0xFFFF);
    common::AppendLE16(out, ordinal);
}

void AlignTo4(std::vector<std::uint8_t>& out) {
    while (out.size() % 4 != 0) {
        out.push_back(0);
    }
}

std::uint16_t Short(int value) {
    return static_cast<std::uint16_t>(static_cast<std::int16_t>(value));
}

}  // namespace

std::vector<std::uint16_t> Utf16z(std::wstring_view text) {
    std::vector<std::uint16_t> units;
    units.reserve(text.size() + 1);
    for (const wchar_t c : text) {
        const auto code = static_cast<std::uint32_t>(c);
        if (code > 0xFFFF && code <= 0x10FFFF) {
            const std::uint32_t offset = code - 0x10000;
            units.push_back(static_cast<std::uint16_t>(0xD800 + (offset >> 10)));
            units.push_back(static_cast<std::uint16_t>(0xDC00 + (offset & 0x3FF)));
        } else if (code > 0x10FFFF) {
            units.push_back(0xFFFD);
        } else {
            units.push_back(static_cast<std::uint16_t>(code));
        }
    }
    units.push_back(0);
    return units;
}

std::vector<std::uint8_t> DialogTemplateBytes(const res::DialogTemplate& dialogTemplate,
                                              std::uint32_t exStyle) {
    std::vector<std::uint8_t> out;
    common::AppendLE16(out, 1);       // version of the extended form
    common::AppendLE16(out, 0xFFFF);  // its signature
    common::AppendLE32(out, 0);       // help ID
    common::AppendLE32(out, exStyle);
    common::AppendLE32(out, dialogTemplate.style);
    common::AppendLE16(out, static_cast<std::uint16_t>(dialogTemplate.items.size()));
    common::AppendLE16(out, 0);
    common::AppendLE16(out, 0);
    common::AppendLE16(out, Short(dialogTemplate.cx));
    common::AppendLE16(out, Short(dialogTemplate.cy));
    common::AppendLE16(out, 0);  // no menu
    common::AppendLE16(out, 0);  // the dialog manager's own window class
    AppendText(out, dialogTemplate.caption);
    if ((dialogTemplate.style & kDsSetFont) != 0) {
        common::AppendLE16(out, static_cast<std::uint16_t>(dialogTemplate.pointSize));
        common::AppendLE16(out, static_cast<std::uint16_t>(dialogTemplate.fontWeight));
        out.push_back(0);  // not italic
        out.push_back(static_cast<std::uint8_t>(kDefaultCharset));
        AppendText(out, dialogTemplate.fontName);
    }
    for (const auto& item : dialogTemplate.items) {
        AlignTo4(out);
        common::AppendLE32(out, 0);  // help ID
        common::AppendLE32(out, 0);  // extended style
        common::AppendLE32(out, item.style);
        common::AppendLE16(out, Short(item.x));
        common::AppendLE16(out, Short(item.y));
        common::AppendLE16(out, Short(item.cx));
        common::AppendLE16(out, Short(item.cy));
        common::AppendLE32(out, static_cast<std::uint32_t>(item.id));
        switch (item.controlClass) {
            case res::ControlClass::Button:
                AppendOrdinal(out, kButtonClassAtom);
                break;
            case res::ControlClass::Static:
                AppendOrdinal(out, kStaticClassAtom);
                break;
            case res::ControlClass::ProgressBar:
                AppendText(out, kProgressBarClass);
                break;
        }
        AppendText(out, item.text);
        common::AppendLE16(out, 0);  // no creation data
    }
    return out;
}

}  // namespace ui
