#pragma once
// Identifiers of the program's resources: strings, dialog templates and their controls.

#include <cstdint>

namespace res {

// Strings.
inline constexpr std::uint16_t IDS_APP_CAPTION = 200;  // caption of every box and dialog
inline constexpr std::uint16_t IDS_UPLOADER_MUTEX = 201;
inline constexpr std::uint16_t IDS_CURRENT_VERSION = 202;
inline constexpr std::uint16_t IDS_NEW_VERSION = 203;
inline constexpr std::uint16_t IDS_UPDATE_WARNING = 205;
inline constexpr std::uint16_t IDS_UP_TO_DATE = 206;
inline constexpr std::uint16_t IDS_UPDATE_COMPLETED = 210;
inline constexpr std::uint16_t IDS_UPDATE_ABORTED = 212;
inline constexpr std::uint16_t IDS_TITLE_UPLOADER = 213;
inline constexpr std::uint16_t IDS_TITLE_PRESET_TOOL = 214;
inline constexpr std::uint16_t IDS_TITLE_RECORD_LIST = 215;
inline constexpr std::uint16_t IDS_TITLE_SECOND_UPLOADER = 216;
inline constexpr std::uint16_t IDS_BUSY = 220;
inline constexpr std::uint16_t IDS_NOT_CONNECTED_FIRST = 222;
inline constexpr std::uint16_t IDS_NOT_CONNECTED_AGAIN = 223;
inline constexpr std::uint16_t IDS_SEVERAL_CONNECTED = 224;
inline constexpr std::uint16_t IDS_UPDATE_FAILED = 225;
inline constexpr std::uint16_t IDS_USB_TROUBLE = 226;
inline constexpr std::uint16_t IDS_OUT_OF_MEMORY = 227;
inline constexpr std::uint16_t IDS_COMMUNICATION_ERROR = 228;
inline constexpr std::uint16_t IDS_OTHER_DEVICE = 229;
inline constexpr std::uint16_t IDS_CANNOT_UPDATE = 230;
inline constexpr std::uint16_t IDS_READ_FAILED = 231;
// Ours, beyond the original table: the line added to the "not connected" prompts when the
// only watches found are of another model (watch's model code, image's model code), and
// the texts of the file chooser the menu entries open.
inline constexpr std::uint16_t IDS_OTHER_MODEL = 232;
inline constexpr std::uint16_t IDS_CHOOSE_IMAGE = 233;
inline constexpr std::uint16_t IDS_IMAGE_FILES = 234;
inline constexpr std::uint16_t IDS_ALL_FILES = 235;

// Dialog templates.
inline constexpr std::uint16_t IDD_CONFIRM = 102;
inline constexpr std::uint16_t IDD_PROGRESS = 132;

// Controls. Push buttons 1 and 2 are the standard OK and Cancel commands.
inline constexpr int IDC_NONE = -1;  // a static text nobody addresses
inline constexpr int IDC_PROGRESS = 1001;
inline constexpr int IDC_CURRENT_VERSION = 1005;
inline constexpr int IDC_NEW_VERSION = 1006;
inline constexpr int IDC_WARNING = 1007;

// Language identifiers the program carries resources in.
inline constexpr std::uint16_t LANG_GERMAN = 7;
inline constexpr std::uint16_t LANG_FRENCH = 12;
inline constexpr std::uint16_t LANG_TRADITIONAL_CHINESE = 1028;
inline constexpr std::uint16_t LANG_ENGLISH = 1033;
inline constexpr std::uint16_t LANG_JAPANESE = 1041;
inline constexpr std::uint16_t LANG_RUSSIAN = 1049;
inline constexpr std::uint16_t LANG_SIMPLIFIED_CHINESE = 2052;

}  // namespace res
