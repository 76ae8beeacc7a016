// French resources (language 12).

#include "ResourceIds.h"
#include "Resources.h"

namespace res {
namespace {

constexpr std::uint16_t kLanguage = LANG_FRENCH;
constexpr std::wstring_view kCaption = L"Outil de mise à jour du firmware KORVELIN";

constexpr StringEntry kStrings[] = {
    {IDS_APP_CAPTION, kCaption},
    {IDS_UPLOADER_MUTEX,
     L"KAVEL Uploader Tool_7C2E91B4-3D58-4A0F-B6E1-95D0A43F28C7 IS UPLOADING NOW"},
    {IDS_CURRENT_VERSION, L"Version actuelle du firmware : %5s"},
    {IDS_NEW_VERSION, L"Nouvelle version du firmware : %5s"},
    {IDS_UPDATE_WARNING,
     L"Après la mise à jour du firmware, le KORVELIN se retrouve dans le même état qu'après "
     L"une réinitialisation du système.\n"
     L"Vérifiez la langue, la taille, le poids, etc. comme indiqué dans le Guide de démarrage "
     L"rapide, puis effectuez la synchronisation de l'heure (sauf pour les QX-310, QX-320, "
     L"QX-330).\n"
     L"\n"
     L"Les réglages et les données de mesure sont conservés.\n"
     L"\n"
     L"Voulez-vous mettre à jour le firmware ?"},
    {IDS_UP_TO_DATE,
     L"Version actuelle du firmware : %s\n"
     L"Nouvelle version du firmware : %s\n"
     L"\n"
     L"La version du firmware du KORVELIN est identique à la version disponible ou plus "
     L"récente.\n"
     L"\n"
     L"Aucune mise à jour n'est nécessaire."},
    {IDS_UPDATE_COMPLETED,
     L"Ne débranchez pas le câble USB et ne retirez pas l'appareil de son socle.\n"
     L"Tant que le rétroéclairage du KORVELIN est allumé, la mise à jour du firmware est en "
     L"cours.\n"
     L"(Environ trois minutes.)\n"
     L"\n"
     L"Lorsque l'icône de charge s'affiche, la mise à jour est terminée."},
    {IDS_UPDATE_ABORTED, L"Mise à jour du KORVELIN annulée."},
    {IDS_TITLE_UPLOADER, L"Kavel Pelmora"},
    {IDS_TITLE_PRESET_TOOL, L"Outil de préréglage du modèle"},
    {IDS_TITLE_RECORD_LIST, L"Liste des enregistrements du module bracelet"},
    {IDS_TITLE_SECOND_UPLOADER, L"Kavel Sorvin Uploader"},
    {IDS_BUSY,
     L"Pelmora / KavelSorvinUploader est en train de transférer des données, ou l'outil de "
     L"mise à jour du firmware est déjà en cours d'exécution.\n"
     L"\n"
     L"Si un transfert est en cours, attendez qu'il soit terminé avant de lancer l'outil de "
     L"mise à jour du firmware."},
    {IDS_NOT_CONNECTED_FIRST,
     L"Aucun KORVELIN n'est connecté.\n"
     L"Connectez un KORVELIN au PC."},
    {IDS_NOT_CONNECTED_AGAIN,
     L"Aucun KORVELIN n'est connecté.\n"
     L"Ne connectez qu'un seul KORVELIN au PC.\n"
     L"\n"
     L"Si un KORVELIN est déjà connecté, réinitialisez le système en suivant le mode d'emploi, "
     L"puis relancez l'outil de mise à jour du firmware."},
    {IDS_SEVERAL_CONNECTED,
     L"Plusieurs KORVELIN sont connectés.\n"
     L"Ne connectez qu'un seul KORVELIN au PC."},
    {IDS_UPDATE_FAILED,
     L"La mise à jour du KORVELIN a échoué.\n"
     L"\n"
     L"Le KORVELIN risque de ne pas fonctionner correctement.\n"
     L"\n"
     L"Relancez l'outil de mise à jour du firmware."},
    {IDS_USB_TROUBLE,
     L"Pelmora est en train de transférer des données, ou le port USB présente un problème.\n"
     L"\n"
     L"Si un transfert est en cours, attendez qu'il soit terminé.\n"
     L"Si le port USB présente un problème, débranchez la fiche USB, puis rebranchez-la au "
     L"bout de 3 à 4 secondes.\n"
     L"Relancez ensuite l'outil de mise à jour du firmware."},
    {IDS_OUT_OF_MEMORY,
     L"La mise à jour du KORVELIN a échoué.\n"
     L"(Erreur d'allocation de mémoire)\n"
     L"\n"
     L"Le KORVELIN risque de ne pas fonctionner correctement.\n"
     L"\n"
     L"Relancez l'outil de mise à jour du firmware."},
    {IDS_COMMUNICATION_ERROR,
     L"La mise à jour du KORVELIN a échoué.\n"
     L"(Erreur de communication avec l'appareil)\n"
     L"\n"
     L"Le KORVELIN risque de ne pas fonctionner correctement.\n"
     L"\n"
     L"Débranchez la fiche USB, rebranchez-la au bout de 3 à 4 secondes, puis relancez l'outil "
     L"de mise à jour du firmware."},
    {IDS_OTHER_DEVICE,
     L"Un appareil autre que le KORVELIN dont le firmware était en cours de mise à jour a été "
     L"détecté.\n"
     L"\n"
     L"Ne connectez au PC que le KORVELIN d'origine, puis relancez l'outil de mise à jour du "
     L"firmware."},
    {IDS_CANNOT_UPDATE, L"Le KORVELIN connecté ne peut pas être mis à jour."},
    {IDS_READ_FAILED, L"Impossible de lire le fichier."},
    {IDS_OTHER_MODEL,
     L"Un KORVELIN du modèle %s est connecté ; cette image est destinée au modèle %s."},
    {IDS_CHOOSE_IMAGE, L"Choisir une image de firmware"},
    {IDS_IMAGE_FILES, L"Images de firmware"},
    {IDS_ALL_FILES, L"Tous les fichiers"},
};

constexpr DialogItem kConfirmItems[] = {
    {1, ControlClass::Button, L"Oui", 102, 147, 50, 17, 0x50010000},
    {2, ControlClass::Button, L"Non", 165, 147, 50, 17, 0x50010001},
    {IDC_NONE, ControlClass::Static, L"Un KORVELIN pouvant être mis à jour a été trouvé.", 16, 11,
     240, 9, 0x50020000},
    {IDC_WARNING, ControlClass::Static, L"", 16, 61, 291, 75, 0x50020000},
    {IDC_CURRENT_VERSION, ControlClass::Static, L"static", 16, 28, 233, 12, 0x50020000},
    {IDC_NEW_VERSION, ControlClass::Static, L"static", 16, 42, 233, 12, 0x50020000},
};

constexpr DialogItem kProgressItems[] = {
    {IDC_PROGRESS, ControlClass::ProgressBar, L"", 23, 35, 234, 16, 0x50800008},
    {IDC_NONE, ControlClass::Static, L"Mise à jour du firmware du KORVELIN en cours.", 23, 16, 234,
     14, 0x50020000},
    {IDC_NONE, ControlClass::Static,
     L"Ne débranchez pas la fiche USB avant d'y être invité.\n"
     L"Veillez également à ce que le KORVELIN ne glisse pas de son socle.",
     23, 63, 234, 25, 0x50020000},
};

constexpr DialogTemplate kDialogs[] = {
    {IDD_CONFIRM, kLanguage, kCaption, 320, 172, 0x90C800C8, L"MS Shell Dlg", 9, 0, kConfirmItems},
    {IDD_PROGRESS, kLanguage, kCaption, 280, 95, 0x90C000C8, L"MS Shell Dlg", 9, 400,
     kProgressItems},
};

constexpr std::wstring_view kUsage =
    L"Utilisation : firmupdater [options] fichier-image\n"
    L"              firmupdater --choose [options]\n"
    L"\n"
    L"Écrit une image de firmware dans le KORVELIN posé sur son socle. Chaque exécution demande\n"
    L"un fichier image : son chemin, ou --choose pour le choisir dans un sélecteur de fichiers.\n"
    L"\n"
    L"Options :\n"
    L"  /f              mettre à jour même si le firmware du KORVELIN est aussi récent ou plus "
    L"récent\n"
    L"  /s:XXXXX        prendre XXXXX (cinq caractères) comme version du firmware de l'image\n"
    L"  /d:XXXXX        prendre XXXXX comme version du firmware du KORVELIN\n"
    L"  /l:ID           langue de l'interface, un identifiant de langue (1033, 0x407, ...)\n"
    L"  /t              toujours régler l'horloge du KORVELIN sur celle de cet ordinateur\n"
    L"  /t-             ne jamais modifier l'horloge du KORVELIN\n"
    L"  --choose        sans fichier image indiqué, le demander dans un sélecteur de fichiers "
    L"(bureau seulement)\n"
    L"  -v, --verbose   écrire chaque étape de l'exécution sur la sortie d'erreur\n"
    L"  --log=FILE      ajouter chaque étape de l'exécution au fichier FILE\n"
    L"  -h, --help      afficher cette aide et quitter (sous Windows aussi /?)\n"
    L"  --version       afficher la version du programme et quitter\n"
    L"\n"
    L"Sous Linux, un chemin d'image commençant par / n'est pris en compte que si le fichier existe "
    L";\n"
    L"sous Windows, un argument commençant par / est une option ou est ignoré.\n"
    L"FIRMUPDATER_UI=terminal ou FIRMUPDATER_UI=gui choisit l'interface utilisateur.\n"
    L"Code de sortie : 0 après une mise à jour ou si aucune n'est nécessaire ou possible, 1 "
    L"sinon.\n";

}  // namespace

constinit const LanguageResources kFrench{kLanguage,
                                          kStrings,
                                          kDialogs,
                                          {L"OK", L"Réessayer", L"Annuler", L"Oui", L"Non"},
                                          kUsage,
                                          L"La mise à jour du firmware ne peut pas être "
                                          L"interrompue. Veuillez attendre qu'elle soit terminée."};

}  // namespace res
