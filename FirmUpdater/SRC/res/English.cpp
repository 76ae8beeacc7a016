// English resources (language 1033).

#include "ResourceIds.h"
#include "Resources.h"

namespace res {
namespace {

constexpr std::uint16_t kLanguage = LANG_ENGLISH;
constexpr std::wstring_view kCaption = L"KORVELIN firmware update tool";

constexpr StringEntry kStrings[] = {
    {IDS_APP_CAPTION, kCaption},
    {IDS_UPLOADER_MUTEX,
     L"KAVEL Uploader Tool_7C2E91B4-3D58-4A0F-B6E1-95D0A43F28C7 IS UPLOADING NOW"},
    {IDS_CURRENT_VERSION, L"Current firmware version: %5s"},
    {IDS_NEW_VERSION, L"New firmware version: %5s"},
    {IDS_UPDATE_WARNING,
     L"When firmware is updated, the KORVELIN enters the same status as after a system reset "
     L"has been performed.\n"
     L"Check the language, height, weight, and so on as shown in the Quick Guide, and then "
     L"perform time synchronization (except for QX-310, QX-320, QX-330).\n"
     L"\n"
     L"Setting data and measurement data are retained.\n"
     L"\n"
     L"Do you want to update the firmware?"},
    {IDS_UP_TO_DATE,
     L"Current firmware version: %s\n"
     L"New firmware version: %s\n"
     L"\n"
     L"The version of the KORVELIN firmware is the same as the updatable version or a later "
     L"version.\n"
     L"\n"
     L"There is no need to update."},
    {IDS_UPDATE_COMPLETED,
     L"Do not disconnect the USB cable and do not remove the device from the cradle.\n"
     L"When the KORVELIN backlight is on, the firmware is updating.\n"
     L"(Approximately three minutes.)\n"
     L"\n"
     L"When the charge icon is displayed, the update is complete."},
    {IDS_UPDATE_ABORTED, L"KORVELIN update aborted."},
    {IDS_TITLE_UPLOADER, L"Kavel Pelmora"},
    {IDS_TITLE_PRESET_TOOL, L"Model Preset Tool"},
    {IDS_TITLE_RECORD_LIST, L"Arm Unit Record List"},
    {IDS_TITLE_SECOND_UPLOADER, L"Kavel Sorvin Uploader"},
    {IDS_BUSY,
     L"Pelmora / KavelSorvinUploader is uploading or the firmware update tool is already "
     L"running.\n"
     L"\n"
     L"If upload is under way, wait the upload to finish to run the firmware update tool."},
    {IDS_NOT_CONNECTED_FIRST,
     L"KORVELIN not connected.\n"
     L"Connect one KORVELIN to the PC."},
    {IDS_NOT_CONNECTED_AGAIN,
     L"KORVELIN not connected.\n"
     L"Connect only one KORVELIN to the PC.\n"
     L"\n"
     L"If a KORVELIN is already connected, perform system reset by following the user's manual "
     L"and run the firmware update tool again."},
    {IDS_SEVERAL_CONNECTED,
     L"Multiple KORVELIN are connected.\n"
     L"Connect only one KORVELIN to the PC."},
    {IDS_UPDATE_FAILED,
     L"Failed to update the KORVELIN.\n"
     L"\n"
     L"The KORVELIN may not operate correctly.\n"
     L"\n"
     L"Run the firmware update tool again."},
    {IDS_USB_TROUBLE,
     L"Pelmora is uploading or something is wrong with the USB port.\n"
     L"\n"
     L"If upload is under way, wait the upload to finish.\n"
     L"If something is wrong with the USB port, disconnect the USB plug and then connect again "
     L"after 3 to 4 seconds.\n"
     L"Thereafter, run the firmware update tool again."},
    {IDS_OUT_OF_MEMORY,
     L"Failed to update the KORVELIN.\n"
     L"(Memory allocation error)\n"
     L"\n"
     L"The KORVELIN may not operate correctly.\n"
     L"\n"
     L"Run the firmware update tool again."},
    {IDS_COMMUNICATION_ERROR,
     L"KORVELIN update has failed.\n"
     L"(Error in communication with device)\n"
     L"\n"
     L"KORVELIN may not work properly.\n"
     L"\n"
     L"Disconnect the USB plug and then connect again after 3 to 4 seconds to run the firmware "
     L"update tool again."},
    {IDS_OTHER_DEVICE,
     L"A device other than the KORVELIN whose firmware was being updated has been found.\n"
     L"\n"
     L"Connect only the original KORVELIN to the PC and run the firmware update tool again."},
    {IDS_CANNOT_UPDATE, L"The connected KORVELIN cannot be updated."},
    {IDS_READ_FAILED, L"Failed to read the file."},
    {IDS_OTHER_MODEL, L"A KORVELIN of model %s is connected; this image is for model %s."},
    {IDS_CHOOSE_IMAGE, L"Choose a firmware image"},
    {IDS_IMAGE_FILES, L"Firmware images"},
    {IDS_ALL_FILES, L"All files"},
};

constexpr DialogItem kConfirmItems[] = {
    {1, ControlClass::Button, L"Yes", 102, 139, 50, 17, 0x50010000},
    {2, ControlClass::Button, L"No", 165, 139, 50, 17, 0x50010001},
    {IDC_NONE, ControlClass::Static, L"An updatable KORVELIN has been found.", 16, 11, 194, 9,
     0x50020000},
    {IDC_WARNING, ControlClass::Static, L"", 16, 61, 291, 67, 0x50020000},
    {IDC_CURRENT_VERSION, ControlClass::Static, L"static", 16, 28, 233, 12, 0x50020000},
    {IDC_NEW_VERSION, ControlClass::Static, L"static", 16, 42, 233, 12, 0x50020000},
};

constexpr DialogItem kProgressItems[] = {
    {IDC_PROGRESS, ControlClass::ProgressBar, L"", 23, 35, 234, 16, 0x50800008},
    {IDC_NONE, ControlClass::Static, L"The KORVELIN firmware is being updated.", 23, 16, 168, 14,
     0x50020000},
    {IDC_NONE, ControlClass::Static,
     L"Do not disconnect the USB plug until after so instructed.\n"
     L"Also, be careful the KORVELIN does not slip from the cradle.",
     23, 63, 234, 25, 0x50020000},
};

constexpr DialogTemplate kDialogs[] = {
    {IDD_CONFIRM, kLanguage, kCaption, 320, 164, 0x90C800C8, L"MS Shell Dlg", 9, 0, kConfirmItems},
    {IDD_PROGRESS, kLanguage, kCaption, 280, 95, 0x90C000C8, L"MS Shell Dlg", 9, 400,
     kProgressItems},
};

constexpr std::wstring_view kUsage =
    L"Usage: firmupdater [options] image-file\n"
    L"       firmupdater --choose [options]\n"
    L"\n"
    L"Writes a firmware image to the KORVELIN in the cradle. Every run needs an image file:\n"
    L"give its path, or --choose to pick it in a file chooser.\n"
    L"\n"
    L"Options:\n"
    L"  /f              update even when the KORVELIN's firmware is as new or newer\n"
    L"  /s:XXXXX        take XXXXX (five characters) as the image's firmware version\n"
    L"  /d:XXXXX        take XXXXX as the KORVELIN's firmware version\n"
    L"  /l:ID           interface language, a language identifier (1033, 0x407, ...)\n"
    L"  /t              always set the KORVELIN's clock from this computer\n"
    L"  /t-             never change the KORVELIN's clock\n"
    L"  --choose        with no image file given, ask for one in a file chooser (desktop only)\n"
    L"  -v, --verbose   write each step of the run to the error output\n"
    L"  --log=FILE      append each step of the run to FILE\n"
    L"  -h, --help      show this help and exit (on Windows also /?)\n"
    L"  --version       show the program version and exit\n"
    L"\n"
    L"On Linux an image path that begins with / is taken only when the file exists; on Windows\n"
    L"an argument that begins with / is an option or ignored.\n"
    L"FIRMUPDATER_UI=terminal or FIRMUPDATER_UI=gui chooses the user interface.\n"
    L"Exit code: 0 after an update or when none is needed or possible, 1 otherwise.\n";

}  // namespace

constinit const LanguageResources kEnglish{
    kLanguage, kStrings,
    kDialogs,  {L"OK", L"Retry", L"Cancel", L"Yes", L"No"},
    kUsage,    L"The firmware update cannot be interrupted. Please wait until it has finished."};

}  // namespace res
