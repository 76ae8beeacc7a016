; The Windows installer: firmupdater.exe (and its console twin, fwimage.exe when built) and
; a README for the current user or for all users, a Start-menu entry and an uninstaller,
; with the product's name, icon and pictures on its pages. It registers nothing but its own
; entry in the list of installed programs.
;
; makensis -DVERSION=x.y.z -DPUBLISHER=<text> -DFIRMUPDATER_EXE=<file> [-DFIRMUPDATER_COM=<file>]
;          [-DFWIMAGE_EXE=<file>] -DREADME=<file> -DICON=<.ico> -DWELCOME_BMP=<164x314 .bmp>
;          -DHEADER_BMP=<150x57 .bmp> -DOUTFILE=<setup .exe> FirmUpdater-Setup.nsi
; Silent: FirmUpdater-Setup.exe /S [/CurrentUser | /AllUsers] [/D=<folder>]

; A 64-bit installer for the 64-bit program. Its stub loads the system libraries it needs
; from the system folder only, never from the folder it was started from (a downloads folder).
Target amd64-unicode
Unicode true
SetCompressor /SOLID lzma
ManifestDPIAware true
ManifestSupportedOS all

!define APP "FirmUpdater"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${APP}"

; The captions follow it in the user's language ("FirmUpdater 0.1.0 Setup").
Name "${APP} ${VERSION}"
BrandingText "${APP} ${VERSION}"
OutFile "${OUTFILE}"
Icon "${ICON}"
UninstallIcon "${ICON}"

!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_INSTALLMODE_DEFAULT_CURRENTUSER
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_INSTALLMODE_INSTDIR "${APP}"
!define MULTIUSER_USE_PROGRAMFILES64
!define MULTIUSER_MUI
!include MultiUser.nsh
!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

; The product's own icon and pictures on every page, no installer system's.
!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_WELCOMEFINISHPAGE_BITMAP "${WELCOME_BMP}"
!define MUI_UNWELCOMEFINISHPAGE_BITMAP "${WELCOME_BMP}"
!define MUI_HEADERIMAGE
!define MUI_HEADERIMAGE_RIGHT
!define MUI_HEADERIMAGE_BITMAP "${HEADER_BMP}"
!define MUI_HEADERIMAGE_UNBITMAP "${HEADER_BMP}"
!define MUI_ABORTWARNING
; What the tool does, in the words of its own help text.
!define MUI_WELCOMEPAGE_TEXT "$(FU_WHAT_IT_DOES)$\r$\n$\r$\n$_CLICK"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\README.txt"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!define MUI_FINISHPAGE_NOAUTOCLOSE
!define MUI_UNFINISHPAGE_NOAUTOCLOSE

!insertmacro MUI_PAGE_WELCOME
!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_UNPAGE_FINISH
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "German"
!insertmacro MUI_LANGUAGE "French"
!insertmacro MUI_LANGUAGE "Japanese"
!insertmacro MUI_LANGUAGE "Russian"
!insertmacro MUI_LANGUAGE "TradChinese"
!insertmacro MUI_LANGUAGE "SimpChinese"
LangString FU_WHAT_IT_DOES ${LANG_ENGLISH} "Writes a firmware image to the KORVELIN in the cradle."
LangString FU_WHAT_IT_DOES ${LANG_GERMAN} "Schreibt ein Firmware-Image auf den KORVELIN in der Halterung."
LangString FU_WHAT_IT_DOES ${LANG_FRENCH} "Écrit une image de firmware dans le KORVELIN posé sur son socle."
LangString FU_WHAT_IT_DOES ${LANG_JAPANESE} "クレードルに置いたArmillonGPSにファームウェアイメージを書き込みます。"
LangString FU_WHAT_IT_DOES ${LANG_RUSSIAN} "Записывает образ прошивки в KORVELIN, установленный на подставку."
LangString FU_WHAT_IT_DOES ${LANG_TRADCHINESE} "將韌體映像檔寫入放在充電座上的 KORVELIN。"
LangString FU_WHAT_IT_DOES ${LANG_SIMPCHINESE} "将固件映像写入放在充电座上的 KORVELIN。"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "${APP}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "Copyright ${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "${APP} setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"

Function .onInit
    !insertmacro MULTIUSER_INIT
FunctionEnd

Section "${APP}"
    SetOutPath "$INSTDIR"
    File "/oname=firmupdater.exe" "${FIRMUPDATER_EXE}"
    !ifdef FIRMUPDATER_COM
        File "/oname=firmupdater.com" "${FIRMUPDATER_COM}"
    !endif
    !ifdef FWIMAGE_EXE
        File "/oname=fwimage.exe" "${FWIMAGE_EXE}"
    !endif
    File "/oname=README.txt" "${README}"
    WriteUninstaller "$INSTDIR\Uninstall.exe"
    CreateShortCut "$SMPROGRAMS\${APP}.lnk" "$INSTDIR\firmupdater.exe" "--choose"

    ; SHCTX: HKCU for the current user, HKLM for all users (MultiUser sets it).
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${APP}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\firmupdater.exe,0"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
    ; In KiB, what the installed folder holds.
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Function un.onInit
    ; Installed for all users when the machine's entry names this folder.
    ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $0 == $INSTDIR
        SetShellVarContext all
    ${Else}
        SetShellVarContext current
    ${EndIf}
FunctionEnd

Section "Uninstall"
    Delete "$SMPROGRAMS\${APP}.lnk"
    Delete "$INSTDIR\firmupdater.exe"
    Delete "$INSTDIR\firmupdater.com"
    Delete "$INSTDIR\fwimage.exe"
    Delete "$INSTDIR\README.txt"
    Delete "$INSTDIR\Uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey SHCTX "${UNINSTALL_KEY}"
SectionEnd
