// Simplified Chinese resources (language 2052). Strings 226 and 229 are not translated; they
// come from the neutral lookup.

#include "ResourceIds.h"
#include "Resources.h"

namespace res {
namespace {

constexpr std::uint16_t kLanguage = LANG_SIMPLIFIED_CHINESE;
constexpr std::wstring_view kCaption = L"KORVELIN 固件更新工具";

constexpr StringEntry kStrings[] = {
    {IDS_APP_CAPTION, kCaption},
    {IDS_UPLOADER_MUTEX,
     L"KAVEL Uploader Tool_7C2E91B4-3D58-4A0F-B6E1-95D0A43F28C7 IS UPLOADING NOW"},
    {IDS_CURRENT_VERSION, L"当前固件版本：%5s"},
    {IDS_NEW_VERSION, L"新固件版本：%5s"},
    {IDS_UPDATE_WARNING,
     L"固件更新后，KORVELIN 将处于与执行系统重置后相同的状态。\n"
     L"请按照快速指南确认语言、身高、体重等设置，然后进行时间同步"
     L"（QX-310、QX-320、QX-330 除外）。\n"
     L"\n"
     L"设置数据和测量数据将会保留。\n"
     L"\n"
     L"是否更新固件？"},
    {IDS_UP_TO_DATE,
     L"当前固件版本：%s\n"
     L"新固件版本：%s\n"
     L"\n"
     L"KORVELIN 的固件版本与可更新的版本相同或更新。\n"
     L"\n"
     L"无需更新。"},
    {IDS_UPDATE_COMPLETED,
     L"请勿断开 USB 数据线，也不要将设备从充电座上取下。\n"
     L"KORVELIN 背光亮起时，表示正在更新固件。\n"
     L"（约需三分钟。）\n"
     L"\n"
     L"显示充电图标时，表示更新完成。"},
    {IDS_UPDATE_ABORTED, L"已中止 KORVELIN 更新。"},
    {IDS_TITLE_UPLOADER, L"Kavel Pelmora"},
    {IDS_TITLE_PRESET_TOOL, L"型号预设工具"},
    {IDS_TITLE_RECORD_LIST, L"腕表单元记录列表"},
    {IDS_TITLE_SECOND_UPLOADER, L"Kavel Sorvin Uploader"},
    {IDS_BUSY,
     L"Pelmora / KavelSorvinUploader 正在上传数据，或固件更新工具已在运行。\n"
     L"\n"
     L"如果正在上传，请等待上传完成后再运行固件更新工具。"},
    {IDS_NOT_CONNECTED_FIRST,
     L"未连接 KORVELIN。\n"
     L"请将一台 KORVELIN 连接到电脑。"},
    {IDS_NOT_CONNECTED_AGAIN,
     L"未连接 KORVELIN。\n"
     L"请只将一台 KORVELIN 连接到电脑。\n"
     L"\n"
     L"如果已连接 KORVELIN，请按照用户手册执行系统重置，然后再次运行固件更新工具。"},
    {IDS_SEVERAL_CONNECTED,
     L"连接了多台 KORVELIN。\n"
     L"请只将一台 KORVELIN 连接到电脑。"},
    {IDS_UPDATE_FAILED,
     L"KORVELIN 更新失败。\n"
     L"\n"
     L"KORVELIN 可能无法正常工作。\n"
     L"\n"
     L"请再次运行固件更新工具。"},
    {IDS_OUT_OF_MEMORY,
     L"KORVELIN 更新失败。\n"
     L"（内存分配错误）\n"
     L"\n"
     L"KORVELIN 可能无法正常工作。\n"
     L"\n"
     L"请再次运行固件更新工具。"},
    {IDS_COMMUNICATION_ERROR,
     L"KORVELIN 更新失败。\n"
     L"（与设备通信出错）\n"
     L"\n"
     L"KORVELIN 可能无法正常工作。\n"
     L"\n"
     L"请断开 USB 插头，等待 3 到 4 秒后重新连接，然后再次运行固件更新工具。"},
    {IDS_CANNOT_UPDATE, L"无法更新所连接的 KORVELIN。"},
    {IDS_READ_FAILED, L"读取文件失败。"},
    {IDS_OTHER_MODEL, L"已连接型号 %s 的 KORVELIN；此映像适用于型号 %s。"},
    {IDS_CHOOSE_IMAGE, L"选择固件映像"},
    {IDS_IMAGE_FILES, L"固件映像"},
    {IDS_ALL_FILES, L"所有文件"},
};

constexpr DialogItem kConfirmItems[] = {
    {1, ControlClass::Button, L"是", 102, 139, 50, 17, 0x50010000},
    {2, ControlClass::Button, L"否", 165, 139, 50, 17, 0x50010001},
    {IDC_NONE, ControlClass::Static, L"找到了可更新的 KORVELIN。", 16, 11, 194, 9, 0x50020000},
    {IDC_WARNING, ControlClass::Static, L"", 16, 61, 291, 67, 0x50020000},
    {IDC_CURRENT_VERSION, ControlClass::Static, L"static", 16, 28, 233, 12, 0x50020000},
    {IDC_NEW_VERSION, ControlClass::Static, L"static", 16, 42, 233, 12, 0x50020000},
};

constexpr DialogItem kProgressItems[] = {
    {IDC_PROGRESS, ControlClass::ProgressBar, L"", 23, 35, 234, 16, 0x50800008},
    {IDC_NONE, ControlClass::Static, L"正在更新 KORVELIN 固件。", 23, 16, 168, 14, 0x50020000},
    {IDC_NONE, ControlClass::Static,
     L"在收到提示之前，请勿拔出 USB 插头。\n"
     L"另外，请注意不要让 KORVELIN 从充电座上滑落。",
     23, 63, 234, 25, 0x50020000},
};

constexpr DialogTemplate kDialogs[] = {
    {IDD_CONFIRM, kLanguage, kCaption, 320, 164, 0x90C800C8, L"MS Shell Dlg", 9, 0, kConfirmItems},
    {IDD_PROGRESS, kLanguage, kCaption, 280, 95, 0x90C000C8, L"MS Shell Dlg", 9, 400,
     kProgressItems},
};

constexpr std::wstring_view kUsage =
    L"用法：firmupdater [选项] 映像文件\n"
    L"      firmupdater --choose [选项]\n"
    L"\n"
    L"将固件映像写入放在充电座上的 KORVELIN。每次运行都需要映像文件：\n"
    L"请指定其路径，或使用 --choose 在文件选择对话框中选择。\n"
    L"\n"
    L"选项：\n"
    L"  /f              即使 KORVELIN 的固件版本相同或更新也执行更新\n"
    L"  /s:XXXXX        将 XXXXX（五个字符）作为映像的固件版本\n"
    L"  /d:XXXXX        将 XXXXX 作为 KORVELIN 的固件版本\n"
    L"  /l:ID           界面语言，用语言标识符指定（1033、0x407 等）\n"
    L"  /t              始终按照本电脑设置 KORVELIN 的时钟\n"
    L"  /t-             从不更改 KORVELIN 的时钟\n"
    L"  --choose        未指定映像文件时，用文件选择对话框询问（仅限桌面）\n"
    L"  -v, --verbose   将运行的每个步骤写到错误输出\n"
    L"  --log=FILE      将运行的每个步骤追加到文件 FILE\n"
    L"  -h, --help      显示本帮助并退出（在 Windows 上也可用 /?）\n"
    L"  --version       显示程序版本并退出\n"
    L"\n"
    L"在 Linux 上，以 / 开头的映像路径，仅在文件存在时才会使用；\n"
    L"在 Windows 上，以 / 开头的参数是选项，否则将被忽略。\n"
    L"FIRMUPDATER_UI=terminal 或 FIRMUPDATER_UI=gui 用于选择用户界面。\n"
    L"退出代码：完成更新，或无需或无法更新时为 0，其他情况为 1。\n";

}  // namespace

constinit const LanguageResources kSimplifiedChinese{
    kLanguage, kStrings,
    kDialogs,  {L"确定", L"重试", L"取消", L"是", L"否"},
    kUsage,    L"固件更新无法中断。请等待更新完成。"};

}  // namespace res
