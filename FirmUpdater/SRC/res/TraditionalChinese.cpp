// Traditional Chinese resources (language 1028).

#include "ResourceIds.h"
#include "Resources.h"

namespace res {
namespace {

constexpr std::uint16_t kLanguage = LANG_TRADITIONAL_CHINESE;
constexpr std::wstring_view kCaption = L"KORVELIN 韌體更新工具";

constexpr StringEntry kStrings[] = {
    {IDS_APP_CAPTION, kCaption},
    {IDS_UPLOADER_MUTEX,
     L"KAVEL Uploader Tool_7C2E91B4-3D58-4A0F-B6E1-95D0A43F28C7 IS UPLOADING NOW"},
    {IDS_CURRENT_VERSION, L"目前韌體版本：%5s"},
    {IDS_NEW_VERSION, L"新韌體版本：%5s"},
    {IDS_UPDATE_WARNING,
     L"更新韌體後，KORVELIN 會回到與執行系統重設後相同的狀態。\n"
     L"請依照快速入門指南確認語言、身高、體重等設定，然後執行時間同步"
     L"（QX-310、QX-320、QX-330 除外）。\n"
     L"\n"
     L"設定資料與量測資料會保留。\n"
     L"\n"
     L"要更新韌體嗎？"},
    {IDS_UP_TO_DATE,
     L"目前韌體版本：%s\n"
     L"新韌體版本：%s\n"
     L"\n"
     L"KORVELIN 的韌體版本與可更新的版本相同或較新。\n"
     L"\n"
     L"不需要更新。"},
    {IDS_UPDATE_COMPLETED,
     L"請勿拔除 USB 傳輸線，也請勿將裝置從充電座上取下。\n"
     L"KORVELIN 背光亮起時，表示正在更新韌體。\n"
     L"（約需三分鐘。）\n"
     L"\n"
     L"顯示充電圖示時，即表示更新完成。"},
    {IDS_UPDATE_ABORTED, L"已中止 KORVELIN 更新。"},
    {IDS_TITLE_UPLOADER, L"Kavel Pelmora"},
    {IDS_TITLE_PRESET_TOOL, L"型號預設工具"},
    {IDS_TITLE_RECORD_LIST, L"腕錶單元記錄清單"},
    {IDS_TITLE_SECOND_UPLOADER, L"Kavel Sorvin Uploader"},
    {IDS_BUSY,
     L"Pelmora / KavelSorvinUploader 正在上傳資料，或韌體更新工具已在執行中。\n"
     L"\n"
     L"若正在上傳，請等待上傳完成後再執行韌體更新工具。"},
    {IDS_NOT_CONNECTED_FIRST,
     L"未連接 KORVELIN。\n"
     L"請將一台 KORVELIN 連接到電腦。"},
    {IDS_NOT_CONNECTED_AGAIN,
     L"未連接 KORVELIN。\n"
     L"請只將一台 KORVELIN 連接到電腦。\n"
     L"\n"
     L"若已連接 KORVELIN，請依照使用手冊執行系統重設，然後再次執行韌體更新工具。"},
    {IDS_SEVERAL_CONNECTED,
     L"已連接多台 KORVELIN。\n"
     L"請只將一台 KORVELIN 連接到電腦。"},
    {IDS_UPDATE_FAILED,
     L"KORVELIN 更新失敗。\n"
     L"\n"
     L"KORVELIN 可能無法正常運作。\n"
     L"\n"
     L"請再次執行韌體更新工具。"},
    {IDS_USB_TROUBLE,
     L"Pelmora 正在上傳資料，或 USB 連接埠發生問題。\n"
     L"\n"
     L"若正在上傳，請等待上傳完成。\n"
     L"若 USB 連接埠發生問題，請拔除 USB 插頭，等待 3 到 4 秒後再重新連接。\n"
     L"然後再次執行韌體更新工具。"},
    {IDS_OUT_OF_MEMORY,
     L"KORVELIN 更新失敗。\n"
     L"（記憶體配置錯誤）\n"
     L"\n"
     L"KORVELIN 可能無法正常運作。\n"
     L"\n"
     L"請再次執行韌體更新工具。"},
    {IDS_COMMUNICATION_ERROR,
     L"KORVELIN 更新失敗。\n"
     L"（與裝置通訊時發生錯誤）\n"
     L"\n"
     L"KORVELIN 可能無法正常運作。\n"
     L"\n"
     L"請拔除 USB 插頭，等待 3 到 4 秒後再重新連接，然後再次執行韌體更新工具。"},
    {IDS_OTHER_DEVICE,
     L"找到的裝置並非正在更新韌體的 KORVELIN。\n"
     L"\n"
     L"請只將原本的 KORVELIN 連接到電腦，然後再次執行韌體更新工具。"},
    {IDS_CANNOT_UPDATE, L"無法更新已連接的 KORVELIN。"},
    {IDS_READ_FAILED, L"無法讀取檔案。"},
    {IDS_OTHER_MODEL, L"已連接型號 %s 的 KORVELIN；此映像檔適用於型號 %s。"},
    {IDS_CHOOSE_IMAGE, L"選擇韌體映像檔"},
    {IDS_IMAGE_FILES, L"韌體映像檔"},
    {IDS_ALL_FILES, L"所有檔案"},
};

constexpr DialogItem kConfirmItems[] = {
    {1, ControlClass::Button, L"是", 102, 139, 50, 17, 0x50010000},
    {2, ControlClass::Button, L"否", 165, 139, 50, 17, 0x50010001},
    {IDC_NONE, ControlClass::Static, L"已找到可更新的 KORVELIN。", 16, 11, 194, 9, 0x50020000},
    {IDC_WARNING, ControlClass::Static, L"", 16, 61, 291, 67, 0x50020000},
    {IDC_CURRENT_VERSION, ControlClass::Static, L"static", 16, 28, 233, 12, 0x50020000},
    {IDC_NEW_VERSION, ControlClass::Static, L"static", 16, 42, 233, 12, 0x50020000},
};

constexpr DialogItem kProgressItems[] = {
    {IDC_PROGRESS, ControlClass::ProgressBar, L"", 23, 35, 234, 16, 0x50800008},
    {IDC_NONE, ControlClass::Static, L"正在更新 KORVELIN 韌體。", 23, 16, 168, 14, 0x50020000},
    {IDC_NONE, ControlClass::Static,
     L"在收到指示之前，請勿拔除 USB 插頭。\n"
     L"也請注意不要讓 KORVELIN 從充電座上滑落。",
     23, 63, 234, 25, 0x50020000},
};

constexpr DialogTemplate kDialogs[] = {
    {IDD_CONFIRM, kLanguage, kCaption, 320, 164, 0x90C800C8, L"MS Shell Dlg", 9, 0, kConfirmItems},
    {IDD_PROGRESS, kLanguage, kCaption, 280, 95, 0x90C000C8, L"MS Shell Dlg", 9, 400,
     kProgressItems},
};

constexpr std::wstring_view kUsage =
    L"用法：firmupdater [選項] 映像檔\n"
    L"      firmupdater --choose [選項]\n"
    L"\n"
    L"將韌體映像檔寫入放在充電座上的 KORVELIN。每次執行都需要映像檔：\n"
    L"請指定其路徑，或使用 --choose 在檔案選擇對話方塊中選取。\n"
    L"\n"
    L"選項：\n"
    L"  /f              即使 KORVELIN 的韌體版本相同或較新也進行更新\n"
    L"  /s:XXXXX        以 XXXXX（五個字元）作為映像檔的韌體版本\n"
    L"  /d:XXXXX        以 XXXXX 作為 KORVELIN 的韌體版本\n"
    L"  /l:ID           介面語言，以語言識別碼指定（1033、0x407 等）\n"
    L"  /t              一律依照這台電腦設定 KORVELIN 的時鐘\n"
    L"  /t-             絕不變更 KORVELIN 的時鐘\n"
    L"  --choose        未指定映像檔時，以檔案選擇對話方塊詢問（僅限桌面）\n"
    L"  -v, --verbose   將執行的每個步驟寫到錯誤輸出\n"
    L"  --log=FILE      將執行的每個步驟附加到檔案 FILE\n"
    L"  -h, --help      顯示此說明後結束（在 Windows 上也可用 /?）\n"
    L"  --version       顯示程式版本後結束\n"
    L"\n"
    L"在 Linux 上，以 / 開頭的映像檔路徑，只有在檔案存在時才會採用；\n"
    L"在 Windows 上，以 / 開頭的引數是選項，否則會被忽略。\n"
    L"FIRMUPDATER_UI=terminal 或 FIRMUPDATER_UI=gui 可選擇使用者介面。\n"
    L"結束代碼：完成更新，或不需要或無法更新時為 0，其他情況為 1。\n";

}  // namespace

constinit const LanguageResources kTraditionalChinese{
    kLanguage, kStrings,
    kDialogs,  {L"確定", L"重試", L"取消", L"是", L"否"},
    kUsage,    L"韌體更新無法中斷。請等待更新完成。"};

}  // namespace res
