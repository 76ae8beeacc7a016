// German resources (language 7).

#include "ResourceIds.h"
#include "Resources.h"

namespace res {
namespace {

constexpr std::uint16_t kLanguage = LANG_GERMAN;
constexpr std::wstring_view kCaption = L"KORVELIN Firmware-Update-Tool";

constexpr StringEntry kStrings[] = {
    {IDS_APP_CAPTION, kCaption},
    {IDS_UPLOADER_MUTEX,
     L"KAVEL Uploader Tool_7C2E91B4-3D58-4A0F-B6E1-95D0A43F28C7 IS UPLOADING NOW"},
    {IDS_CURRENT_VERSION, L"Aktuelle Firmware-Version: %5s"},
    {IDS_NEW_VERSION, L"Neue Firmware-Version: %5s"},
    {IDS_UPDATE_WARNING,
     L"Nach dem Firmware-Update befindet sich der KORVELIN im selben Zustand wie nach einem "
     L"System-Reset.\n"
     L"Prüfen Sie Sprache, Größe, Gewicht usw. wie in der Kurzanleitung beschrieben und führen "
     L"Sie anschließend die Zeitsynchronisation durch (außer bei QX-310, QX-320, QX-330).\n"
     L"\n"
     L"Einstellungen und Messdaten bleiben erhalten.\n"
     L"\n"
     L"Möchten Sie die Firmware aktualisieren?"},
    {IDS_UP_TO_DATE,
     L"Aktuelle Firmware-Version: %s\n"
     L"Neue Firmware-Version: %s\n"
     L"\n"
     L"Die Firmware des KORVELIN entspricht der verfügbaren Version oder ist neuer.\n"
     L"\n"
     L"Ein Update ist nicht erforderlich."},
    {IDS_UPDATE_COMPLETED,
     L"Ziehen Sie das USB-Kabel nicht ab und nehmen Sie das Gerät nicht aus der Halterung.\n"
     L"Solange die Hintergrundbeleuchtung des KORVELIN leuchtet, wird die Firmware "
     L"aktualisiert.\n"
     L"(Etwa drei Minuten.)\n"
     L"\n"
     L"Sobald das Ladesymbol angezeigt wird, ist das Update abgeschlossen."},
    {IDS_UPDATE_ABORTED, L"KORVELIN-Update abgebrochen."},
    {IDS_TITLE_UPLOADER, L"Kavel Pelmora"},
    {IDS_TITLE_PRESET_TOOL, L"Modellvoreinstellungs-Tool"},
    {IDS_TITLE_RECORD_LIST, L"Aufzeichnungsliste der Armeinheit"},
    {IDS_TITLE_SECOND_UPLOADER, L"Kavel Sorvin Uploader"},
    {IDS_BUSY,
     L"Pelmora / KavelSorvinUploader überträgt gerade Daten, oder das Firmware-Update-Tool "
     L"läuft bereits.\n"
     L"\n"
     L"Wenn gerade Daten übertragen werden, warten Sie das Ende der Übertragung ab und starten "
     L"Sie dann das Firmware-Update-Tool."},
    {IDS_NOT_CONNECTED_FIRST,
     L"Kein KORVELIN angeschlossen.\n"
     L"Schließen Sie einen KORVELIN an den PC an."},
    {IDS_NOT_CONNECTED_AGAIN,
     L"Kein KORVELIN angeschlossen.\n"
     L"Schließen Sie nur einen KORVELIN an den PC an.\n"
     L"\n"
     L"Wenn bereits ein KORVELIN angeschlossen ist, führen Sie wie in der Bedienungsanleitung "
     L"beschrieben einen System-Reset durch und starten Sie das Firmware-Update-Tool erneut."},
    {IDS_SEVERAL_CONNECTED,
     L"Es sind mehrere KORVELIN angeschlossen.\n"
     L"Schließen Sie nur einen KORVELIN an den PC an."},
    {IDS_UPDATE_FAILED,
     L"Das Update des KORVELIN ist fehlgeschlagen.\n"
     L"\n"
     L"Der KORVELIN funktioniert möglicherweise nicht richtig.\n"
     L"\n"
     L"Starten Sie das Firmware-Update-Tool erneut."},
    {IDS_USB_TROUBLE,
     L"Pelmora überträgt gerade Daten, oder mit dem USB-Anschluss stimmt etwas nicht.\n"
     L"\n"
     L"Wenn gerade Daten übertragen werden, warten Sie das Ende der Übertragung ab.\n"
     L"Wenn mit dem USB-Anschluss etwas nicht stimmt, ziehen Sie den USB-Stecker ab und "
     L"stecken Sie ihn nach 3 bis 4 Sekunden wieder ein.\n"
     L"Starten Sie danach das Firmware-Update-Tool erneut."},
    {IDS_OUT_OF_MEMORY,
     L"Das Update des KORVELIN ist fehlgeschlagen.\n"
     L"(Fehler bei der Speicherzuweisung)\n"
     L"\n"
     L"Der KORVELIN funktioniert möglicherweise nicht richtig.\n"
     L"\n"
     L"Starten Sie das Firmware-Update-Tool erneut."},
    {IDS_COMMUNICATION_ERROR,
     L"Das Update des KORVELIN ist fehlgeschlagen.\n"
     L"(Fehler bei der Kommunikation mit dem Gerät)\n"
     L"\n"
     L"Der KORVELIN funktioniert möglicherweise nicht richtig.\n"
     L"\n"
     L"Ziehen Sie den USB-Stecker ab, stecken Sie ihn nach 3 bis 4 Sekunden wieder ein und "
     L"starten Sie das Firmware-Update-Tool erneut."},
    {IDS_OTHER_DEVICE,
     L"Es wurde ein anderes Gerät gefunden als der KORVELIN, dessen Firmware gerade "
     L"aktualisiert wurde.\n"
     L"\n"
     L"Schließen Sie nur den ursprünglichen KORVELIN an den PC an und starten Sie das "
     L"Firmware-Update-Tool erneut."},
    {IDS_CANNOT_UPDATE, L"Der angeschlossene KORVELIN kann nicht aktualisiert werden."},
    {IDS_READ_FAILED, L"Die Datei konnte nicht gelesen werden."},
    {IDS_OTHER_MODEL,
     L"Angeschlossen ist ein KORVELIN des Modells %s; dieses Image ist für das Modell %s "
     L"bestimmt."},
    {IDS_CHOOSE_IMAGE, L"Firmware-Image auswählen"},
    {IDS_IMAGE_FILES, L"Firmware-Images"},
    {IDS_ALL_FILES, L"Alle Dateien"},
};

constexpr DialogItem kConfirmItems[] = {
    {1, ControlClass::Button, L"Ja", 102, 147, 50, 17, 0x50010000},
    {2, ControlClass::Button, L"Nein", 165, 147, 50, 17, 0x50010001},
    {IDC_NONE, ControlClass::Static, L"Ein aktualisierbarer KORVELIN wurde gefunden.", 16, 11, 240,
     9, 0x50020000},
    {IDC_WARNING, ControlClass::Static, L"", 16, 61, 291, 75, 0x50020000},
    {IDC_CURRENT_VERSION, ControlClass::Static, L"static", 16, 28, 233, 12, 0x50020000},
    {IDC_NEW_VERSION, ControlClass::Static, L"static", 16, 42, 233, 12, 0x50020000},
};

constexpr DialogItem kProgressItems[] = {
    {IDC_PROGRESS, ControlClass::ProgressBar, L"", 23, 35, 234, 16, 0x50800008},
    {IDC_NONE, ControlClass::Static, L"Die Firmware des KORVELIN wird aktualisiert.", 23, 16, 234,
     14, 0x50020000},
    {IDC_NONE, ControlClass::Static,
     L"Ziehen Sie den USB-Stecker erst ab, wenn Sie dazu aufgefordert werden.\n"
     L"Achten Sie außerdem darauf, dass der KORVELIN nicht aus der Halterung rutscht.",
     23, 63, 234, 33, 0x50020000},
};

constexpr DialogTemplate kDialogs[] = {
    {IDD_CONFIRM, kLanguage, kCaption, 320, 172, 0x90C800C8, L"MS Shell Dlg", 9, 0, kConfirmItems},
    {IDD_PROGRESS, kLanguage, kCaption, 280, 103, 0x90C000C8, L"MS Shell Dlg", 9, 400,
     kProgressItems},
};

constexpr std::wstring_view kUsage =
    L"Aufruf: firmupdater [Optionen] Image-Datei\n"
    L"        firmupdater --choose [Optionen]\n"
    L"\n"
    L"Schreibt ein Firmware-Image auf den KORVELIN in der Halterung. Jeder Lauf braucht eine\n"
    L"Image-Datei: ihren Pfad, oder --choose, um sie in einem Dateidialog auszuwählen.\n"
    L"\n"
    L"Optionen:\n"
    L"  /f              auch aktualisieren, wenn die Firmware des KORVELIN gleich alt oder neuer "
    L"ist\n"
    L"  /s:XXXXX        XXXXX (fünf Zeichen) als Firmware-Version des Images verwenden\n"
    L"  /d:XXXXX        XXXXX als Firmware-Version des KORVELIN verwenden\n"
    L"  /l:ID           Sprache der Oberfläche, eine Sprachkennung (1033, 0x407, ...)\n"
    L"  /t              die Uhr des KORVELIN immer nach diesem Computer stellen\n"
    L"  /t-             die Uhr des KORVELIN nie verändern\n"
    L"  --choose        ohne angegebene Image-Datei in einem Dateidialog nach ihr fragen (nur "
    L"Desktop)\n"
    L"  -v, --verbose   jeden Schritt des Laufs auf die Fehlerausgabe schreiben\n"
    L"  --log=FILE      jeden Schritt des Laufs an die Datei FILE anhängen\n"
    L"  -h, --help      diese Hilfe anzeigen und beenden (unter Windows auch /?)\n"
    L"  --version       die Programmversion anzeigen und beenden\n"
    L"\n"
    L"Unter Linux wird ein Image-Pfad, der mit / beginnt, nur verwendet, wenn die Datei "
    L"existiert;\n"
    L"unter Windows ist ein Argument, das mit / beginnt, eine Option oder wird ignoriert.\n"
    L"FIRMUPDATER_UI=terminal oder FIRMUPDATER_UI=gui wählt die Benutzeroberfläche.\n"
    L"Rückgabewert: 0 nach einem Update oder wenn keines nötig oder möglich ist, sonst 1.\n";

}  // namespace

constinit const LanguageResources kGerman{kLanguage,
                                          kStrings,
                                          kDialogs,
                                          {L"OK", L"Wiederholen", L"Abbrechen", L"Ja", L"Nein"},
                                          kUsage,
                                          L"Das Firmware-Update kann nicht unterbrochen werden. "
                                          L"Bitte warten Sie, bis es abgeschlossen ist."};

}  // namespace res
