// Japanese resources (language 1041). The product is called ArmillonGPS here.

#include "ResourceIds.h"
#include "Resources.h"

namespace res {
namespace {

constexpr std::uint16_t kLanguage = LANG_JAPANESE;
constexpr std::wstring_view kCaption = L"ArmillonGPS ファームウェア更新ツール";

constexpr StringEntry kStrings[] = {
    {IDS_APP_CAPTION, kCaption},
    {IDS_UPLOADER_MUTEX,
     L"KAVEL Uploader Tool_7C2E91B4-3D58-4A0F-B6E1-95D0A43F28C7 IS UPLOADING NOW"},
    {IDS_CURRENT_VERSION, L"現在のファームウェアバージョン: %5s"},
    {IDS_NEW_VERSION, L"新しいファームウェアバージョン: %5s"},
    {IDS_UPDATE_WARNING,
     L"ファームウェアを更新すると、ArmillonGPSはシステムリセットを行った後と同じ状態になります。\n"
     L"クイックガイドに従って言語、身長、体重などを確認してから、時刻合わせを行ってください"
     L"（QX-310、QX-320、QX-330を除く）。\n"
     L"\n"
     L"設定データと測定データは保持されます。\n"
     L"\n"
     L"ファームウェアを更新しますか？"},
    {IDS_UP_TO_DATE,
     L"現在のファームウェアバージョン: %s\n"
     L"新しいファームウェアバージョン: %s\n"
     L"\n"
     L"ArmillonGPSのファームウェアは、更新可能なバージョンと同じか、それより新しいバージョンです。"
     L"\n"
     L"\n"
     L"更新の必要はありません。"},
    {IDS_UPDATE_COMPLETED,
     L"USBケーブルを抜いたり、本体をクレードルから外したりしないでください。\n"
     L"ArmillonGPSのバックライトが点灯している間は、ファームウェアを更新中です。\n"
     L"（約3分かかります。）\n"
     L"\n"
     L"充電アイコンが表示されたら、更新は完了です。"},
    {IDS_UPDATE_ABORTED, L"ArmillonGPSの更新を中止しました。"},
    {IDS_TITLE_UPLOADER, L"Kavel Pelmora"},
    {IDS_TITLE_PRESET_TOOL, L"モデルプリセットツール"},
    {IDS_TITLE_RECORD_LIST, L"アームユニット記録リスト"},
    {IDS_TITLE_SECOND_UPLOADER, L"Kavel Sorvin Uploader"},
    {IDS_BUSY,
     L"Pelmora / KavelSorvinUploader がアップロード中か、ファームウェア更新ツールがすでに"
     L"起動しています。\n"
     L"\n"
     L"アップロード中の場合は、アップロードが終わるのを待ってからファームウェア更新ツールを"
     L"起動してください。"},
    {IDS_NOT_CONNECTED_FIRST,
     L"ArmillonGPSが接続されていません。\n"
     L"ArmillonGPSを1台PCに接続してください。"},
    {IDS_NOT_CONNECTED_AGAIN,
     L"ArmillonGPSが接続されていません。\n"
     L"ArmillonGPSを1台だけPCに接続してください。\n"
     L"\n"
     L"ArmillonGPSがすでに接続されている場合は、取扱説明書に従ってシステムリセットを行い、"
     L"ファームウェア更新ツールをもう一度起動してください。"},
    {IDS_SEVERAL_CONNECTED,
     L"複数のArmillonGPSが接続されています。\n"
     L"ArmillonGPSを1台だけPCに接続してください。"},
    {IDS_UPDATE_FAILED,
     L"ArmillonGPSの更新に失敗しました。\n"
     L"\n"
     L"ArmillonGPSが正しく動作しない可能性があります。\n"
     L"\n"
     L"ファームウェア更新ツールをもう一度起動してください。"},
    {IDS_USB_TROUBLE,
     L"Pelmoraがアップロード中か、USBポートに問題があります。\n"
     L"\n"
     L"アップロード中の場合は、アップロードが終わるまでお待ちください。\n"
     L"USBポートに問題がある場合は、USBプラグを抜き、3～4秒後にもう一度接続してください。\n"
     L"その後、ファームウェア更新ツールをもう一度起動してください。"},
    {IDS_OUT_OF_MEMORY,
     L"ArmillonGPSの更新に失敗しました。\n"
     L"（メモリー確保エラー）\n"
     L"\n"
     L"ArmillonGPSが正しく動作しない可能性があります。\n"
     L"\n"
     L"ファームウェア更新ツールをもう一度起動してください。"},
    {IDS_COMMUNICATION_ERROR,
     L"ArmillonGPSの更新に失敗しました。\n"
     L"（機器との通信エラー）\n"
     L"\n"
     L"ArmillonGPSが正しく動作しない可能性があります。\n"
     L"\n"
     L"USBプラグを抜き、3～4秒後にもう一度接続してから、ファームウェア更新ツールをもう一度"
     L"起動してください。"},
    {IDS_OTHER_DEVICE,
     L"ファームウェアを更新していたArmillonGPSとは別の機器が見つかりました。\n"
     L"\n"
     L"元のArmillonGPSだけをPCに接続して、ファームウェア更新ツールをもう一度起動してください。"},
    {IDS_CANNOT_UPDATE, L"接続されているArmillonGPSは更新できません。"},
    {IDS_READ_FAILED, L"ファイルの読み込みに失敗しました。"},
    {IDS_OTHER_MODEL, L"モデル%sのArmillonGPSが接続されています。このイメージはモデル%s用です。"},
    {IDS_CHOOSE_IMAGE, L"ファームウェアイメージを選択"},
    {IDS_IMAGE_FILES, L"ファームウェアイメージ"},
    {IDS_ALL_FILES, L"すべてのファイル"},
};

constexpr DialogItem kConfirmItems[] = {
    {1, ControlClass::Button, L"はい", 102, 139, 50, 17, 0x50010000},
    {2, ControlClass::Button, L"いいえ", 165, 139, 50, 17, 0x50010001},
    {IDC_NONE, ControlClass::Static, L"更新可能なArmillonGPSが見つかりました。", 16, 11, 240, 9,
     0x50020000},
    {IDC_WARNING, ControlClass::Static, L"", 16, 61, 291, 67, 0x50020000},
    {IDC_CURRENT_VERSION, ControlClass::Static, L"static", 16, 28, 233, 12, 0x50020000},
    {IDC_NEW_VERSION, ControlClass::Static, L"static", 16, 42, 233, 12, 0x50020000},
};

constexpr DialogItem kProgressItems[] = {
    {IDC_PROGRESS, ControlClass::ProgressBar, L"", 23, 35, 234, 16, 0x50800008},
    {IDC_NONE, ControlClass::Static, L"ArmillonGPSのファームウェアを更新しています。", 23, 16, 234,
     14, 0x50020000},
    {IDC_NONE, ControlClass::Static,
     L"指示があるまでUSBプラグを抜かないでください。\n"
     L"また、ArmillonGPSがクレードルから外れないよう注意してください。",
     23, 63, 234, 25, 0x50020000},
};

constexpr DialogTemplate kDialogs[] = {
    {IDD_CONFIRM, kLanguage, kCaption, 320, 164, 0x90C800C8, L"MS UI Gothic", 9, 0, kConfirmItems},
    {IDD_PROGRESS, kLanguage, kCaption, 280, 95, 0x90C000C8, L"MS UI Gothic", 9, 400,
     kProgressItems},
};

constexpr std::wstring_view kUsage =
    L"使い方: firmupdater [オプション] イメージファイル\n"
    L"        firmupdater --choose [オプション]\n"
    L"\n"
    L"クレードルに置いたArmillonGPSにファームウェアイメージを書き込みます。実行にはイメージファイル"
    L"が\n"
    L"必要です。パスを指定するか、--choose でファイル選択ダイアログから選んでください。\n"
    L"\n"
    L"オプション:\n"
    L"  /f              ArmillonGPSのファームウェアが同じか新しい場合でも更新する\n"
    L"  /s:XXXXX        XXXXX（5文字）をイメージのファームウェアバージョンとして使う\n"
    L"  /d:XXXXX        XXXXXをArmillonGPSのファームウェアバージョンとして使う\n"
    L"  /l:ID           表示言語を言語識別子で指定する（1033、0x407 など）\n"
    L"  /t              ArmillonGPSの時計を常にこのコンピューターに合わせる\n"
    L"  /t-             ArmillonGPSの時計を変更しない\n"
    L"  --choose        "
    L"イメージファイルの指定がないとき、ファイル選択ダイアログで選ぶ（デスクトップのみ）\n"
    L"  -v, --verbose   実行の各手順をエラー出力に書き出す\n"
    L"  --log=FILE      実行の各手順をファイル FILE に追記する\n"
    L"  -h, --help      このヘルプを表示して終了する（Windows では /? も可）\n"
    L"  --version       プログラムのバージョンを表示して終了する\n"
    L"\n"
    L"Linux では、/ で始まるイメージのパスは、そのファイルが存在する場合にだけ使われます。\n"
    L"Windows では、/ で始まる引数はオプションとして扱われ、それ以外は無視されます。\n"
    L"FIRMUPDATER_UI=terminal または FIRMUPDATER_UI=gui でユーザーインターフェースを選びます。\n"
    L"終了コード: 更新したとき、または更新が不要か不可能なときは 0、それ以外は 1。\n";

}  // namespace

constinit const LanguageResources kJapanese{
    kLanguage, kStrings,
    kDialogs,  {L"OK", L"再試行", L"キャンセル", L"はい", L"いいえ"},
    kUsage,    L"ファームウェアの更新は中断できません。完了するまでお待ちください。"};

}  // namespace res
