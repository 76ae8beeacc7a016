// Russian resources (language 1049). Strings 226 to 229 are not translated; they come from
// the neutral lookup.

#include "ResourceIds.h"
#include "Resources.h"

namespace res {
namespace {

constexpr std::uint16_t kLanguage = LANG_RUSSIAN;
constexpr std::wstring_view kCaption = L"Программа обновления прошивки KORVELIN";

constexpr StringEntry kStrings[] = {
    {IDS_APP_CAPTION, kCaption},
    {IDS_UPLOADER_MUTEX,
     L"KAVEL Uploader Tool_7C2E91B4-3D58-4A0F-B6E1-95D0A43F28C7 IS UPLOADING NOW"},
    {IDS_CURRENT_VERSION, L"Текущая версия прошивки: %5s"},
    {IDS_NEW_VERSION, L"Новая версия прошивки: %5s"},
    {IDS_UPDATE_WARNING,
     L"После обновления прошивки KORVELIN окажется в том же состоянии, что и после сброса "
     L"системы.\n"
     L"Проверьте язык, рост, вес и другие параметры, как указано в кратком руководстве, а "
     L"затем выполните синхронизацию времени (кроме QX-310, QX-320, QX-330).\n"
     L"\n"
     L"Настройки и данные измерений сохраняются.\n"
     L"\n"
     L"Обновить прошивку?"},
    {IDS_UP_TO_DATE,
     L"Текущая версия прошивки: %s\n"
     L"Новая версия прошивки: %s\n"
     L"\n"
     L"Версия прошивки KORVELIN совпадает с версией для обновления или новее её.\n"
     L"\n"
     L"Обновление не требуется."},
    {IDS_UPDATE_COMPLETED,
     L"Не отсоединяйте USB-кабель и не снимайте устройство с подставки.\n"
     L"Пока горит подсветка KORVELIN, идёт обновление прошивки.\n"
     L"(Около трёх минут.)\n"
     L"\n"
     L"Когда появится значок зарядки, обновление будет завершено."},
    {IDS_UPDATE_ABORTED, L"Обновление KORVELIN отменено."},
    {IDS_TITLE_UPLOADER, L"Kavel Pelmora"},
    {IDS_TITLE_PRESET_TOOL, L"Программа предустановок модели"},
    {IDS_TITLE_RECORD_LIST, L"Список записей наручного блока"},
    {IDS_TITLE_SECOND_UPLOADER, L"Kavel Sorvin Uploader"},
    {IDS_BUSY,
     L"Pelmora / KavelSorvinUploader передаёт данные, или программа обновления прошивки уже "
     L"запущена.\n"
     L"\n"
     L"Если идёт передача данных, дождитесь её окончания и только потом запускайте программу "
     L"обновления прошивки."},
    {IDS_NOT_CONNECTED_FIRST,
     L"KORVELIN не подключён.\n"
     L"Подключите к компьютеру один KORVELIN."},
    {IDS_NOT_CONNECTED_AGAIN,
     L"KORVELIN не подключён.\n"
     L"Подключите к компьютеру только один KORVELIN.\n"
     L"\n"
     L"Если KORVELIN уже подключён, выполните сброс системы согласно руководству пользователя "
     L"и снова запустите программу обновления прошивки."},
    {IDS_SEVERAL_CONNECTED,
     L"Подключено несколько KORVELIN.\n"
     L"Подключите к компьютеру только один KORVELIN."},
    {IDS_UPDATE_FAILED,
     L"Не удалось обновить KORVELIN.\n"
     L"\n"
     L"KORVELIN может работать неправильно.\n"
     L"\n"
     L"Снова запустите программу обновления прошивки."},
    {IDS_CANNOT_UPDATE, L"Подключённый KORVELIN невозможно обновить."},
    {IDS_READ_FAILED, L"Не удалось прочитать файл."},
    {IDS_OTHER_MODEL, L"Подключён KORVELIN модели %s; этот образ предназначен для модели %s."},
    {IDS_CHOOSE_IMAGE, L"Выберите образ прошивки"},
    {IDS_IMAGE_FILES, L"Образы прошивки"},
    {IDS_ALL_FILES, L"Все файлы"},
};

constexpr DialogItem kConfirmItems[] = {
    {1, ControlClass::Button, L"Да", 102, 139, 50, 17, 0x50010000},
    {2, ControlClass::Button, L"Нет", 165, 139, 50, 17, 0x50010001},
    {IDC_NONE, ControlClass::Static, L"Найден KORVELIN, прошивку которого можно обновить.", 16, 11,
     240, 9, 0x50020000},
    {IDC_WARNING, ControlClass::Static, L"", 16, 61, 291, 67, 0x50020000},
    {IDC_CURRENT_VERSION, ControlClass::Static, L"static", 16, 28, 233, 12, 0x50020000},
    {IDC_NEW_VERSION, ControlClass::Static, L"static", 16, 42, 233, 12, 0x50020000},
};

constexpr DialogItem kProgressItems[] = {
    {IDC_PROGRESS, ControlClass::ProgressBar, L"", 23, 35, 234, 16, 0x50800008},
    {IDC_NONE, ControlClass::Static, L"Идёт обновление прошивки KORVELIN.", 23, 16, 234, 14,
     0x50020000},
    {IDC_NONE, ControlClass::Static,
     L"Не отсоединяйте USB-разъём, пока не появится соответствующее указание.\n"
     L"Следите также, чтобы KORVELIN не выскользнул из подставки.",
     23, 63, 234, 25, 0x50020000},
};

constexpr DialogTemplate kDialogs[] = {
    {IDD_CONFIRM, kLanguage, kCaption, 320, 164, 0x90C800C8, L"MS Shell Dlg", 9, 0, kConfirmItems},
    {IDD_PROGRESS, kLanguage, kCaption, 280, 95, 0x90C000C8, L"MS Shell Dlg", 9, 400,
     kProgressItems},
};

constexpr std::wstring_view kUsage =
    L"Использование: firmupdater [параметры] файл-образа\n"
    L"               firmupdater --choose [параметры]\n"
    L"\n"
    L"Записывает образ прошивки в KORVELIN, установленный на подставку. Для работы нужен файл\n"
    L"образа: укажите путь к нему или --choose, чтобы выбрать его в окне выбора файла.\n"
    L"\n"
    L"Параметры:\n"
    L"  /f              обновлять, даже если прошивка KORVELIN такая же или новее\n"
    L"  /s:XXXXX        считать XXXXX (пять символов) версией прошивки в образе\n"
    L"  /d:XXXXX        считать XXXXX версией прошивки KORVELIN\n"
    L"  /l:ID           язык интерфейса, идентификатор языка (1033, 0x407, ...)\n"
    L"  /t              всегда устанавливать часы KORVELIN по этому компьютеру\n"
    L"  /t-             никогда не изменять часы KORVELIN\n"
    L"  --choose        если файл образа не указан, запросить его в окне выбора файла (только "
    L"рабочий стол)\n"
    L"  -v, --verbose   выводить каждый шаг работы в поток ошибок\n"
    L"  --log=FILE      дописывать каждый шаг работы в файл FILE\n"
    L"  -h, --help      показать эту справку и выйти (в Windows также /?)\n"
    L"  --version       показать версию программы и выйти\n"
    L"\n"
    L"В Linux путь к образу, начинающийся с /, учитывается, только если файл существует;\n"
    L"в Windows аргумент, начинающийся с /, является параметром или игнорируется.\n"
    L"FIRMUPDATER_UI=terminal или FIRMUPDATER_UI=gui выбирает интерфейс пользователя.\n"
    L"Код завершения: 0 после обновления или если оно не нужно или невозможно, иначе 1.\n";

}  // namespace

constinit const LanguageResources kRussian{
    kLanguage, kStrings,
    kDialogs,  {L"ОК", L"Повторить", L"Отмена", L"Да", L"Нет"},
    kUsage,    L"Обновление прошивки нельзя прервать. Дождитесь его завершения."};

}  // namespace res
