; The Windows installer: firmupdater.exe (and its console twin, fwimage.exe when built)
; for the current user or for all users, a Start-menu entry and an uninstaller. It
; registers nothing but its own entry in the list of installed programs.
;
; makensis -DVERSION=x.y.z -DFIRMUPDATER_EXE=<file> [-DFIRMUPDATER_COM=<file>]
;          [-DFWIMAGE_EXE=<file>] -DICON=<.ico> -DOUTFILE=<setup .exe> FirmUpdater-Setup.nsi
; Silent: FirmUpdater-Setup.exe /S [/CurrentUser | /AllUsers] [/D=<folder>]

; A 64-bit installer for the 64-bit program.
Target amd64-unicode
SetCompressor /SOLID lzma

!define APP "FirmUpdater"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${APP}"

Name "${APP} ${VERSION}"
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

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "German"
!insertmacro MUI_LANGUAGE "French"
!insertmacro MUI_LANGUAGE "Japanese"
!insertmacro MUI_LANGUAGE "Russian"
!insertmacro MUI_LANGUAGE "TradChinese"
!insertmacro MUI_LANGUAGE "SimpChinese"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "${APP}"
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
    WriteUninstaller "$INSTDIR\Uninstall.exe"
    CreateShortCut "$SMPROGRAMS\${APP}.lnk" "$INSTDIR\firmupdater.exe" "--choose"

    ; SHCTX: HKCU for the current user, HKLM for all users (MultiUser sets it).
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${APP}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\firmupdater.exe,0"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
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
    Delete "$INSTDIR\Uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey SHCTX "${UNINSTALL_KEY}"
SectionEnd
