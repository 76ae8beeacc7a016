#include "DialogFont.h"

namespace ui {

std::string DialogFontFamily(std::uint16_t language) {
    constexpr std::uint16_t kPrimaryMask = 0x3FF;
    constexpr std::uint16_t kChinese = 0x04;
    constexpr std::uint16_t kJapanese = 0x11;
    switch (language & kPrimaryMask) {
        case kJapanese:
            return "Noto Sans CJK JP";
        case kChinese:
            switch (language) {
                case 0x0404:  // Taiwan
                case 0x0C04:  // Hong Kong
                case 0x1404:  // Macau
                case 0x7C04:  // Traditional
                    return "Noto Sans CJK TC";
                default:
                    return "Noto Sans CJK SC";
            }
        default:
            return "Sans";
    }
}

}  // namespace ui
