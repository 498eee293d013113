; Chronovale's Windows installer (64-bit). It puts the saver and its resource
; library into the system folder, where the display settings list savers;
; the launcher, the help page and the uninstaller into Program Files; and
; writes the Start-menu shortcuts, the installed-programs entry, the
; settings' AppDir value and, when chosen, the user's screensaver.
;
; Built by packaging/windows/CMakeLists.txt, which defines VERSION, OUTFILE,
; SAVER, LIBRARY, LAUNCHER, HELP and ICON (paths of the built files).
;
; Command line: /S silent; /NOSCREENSAVER keeps the current screensaver;
; /D=folder installation folder (last). Uninstaller: /S silent;
; /REMOVESETTINGS also deletes the user's settings key.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
ManifestDPIAware true
ManifestSupportedOS all
RequestExecutionLevel admin

!include MUI2.nsh
!include nsDialogs.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!define PRODUCT "Chronovale"
!define COMPANY "Quillmere"
!define SETTINGS_KEY "Software\${COMPANY}\${PRODUCT}"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define DESKTOP_KEY "Control Panel\Desktop"
!define SAVER_FILE "Chronovale.scr"
!define LIBRARY_FILE "CHRONOVALE.DLL"
!define MENU_FOLDER "$SMPROGRAMS\${PRODUCT}"
!define SETTINGS_LINK "${MENU_FOLDER}\Chronovale Settings.lnk"
!define WEB_LINK "${MENU_FOLDER}\Chronovale on the Web.lnk"
!define SPI_SETSCREENSAVEACTIVE 17
!define SPIF_SAVE_AND_BROADCAST 3  ; SPIF_UPDATEINIFILE | SPIF_SENDCHANGE
!define ERROR_ALREADY_EXISTS 183

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${COMPANY}\${PRODUCT}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${COMPANY} ${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${COMPANY}"
VIAddVersionKey "FileDescription" "${PRODUCT} ${VERSION} Setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright (C) 2004 ${COMPANY}"

Var UseAsSaver        ; 1: set SCRNSAVE.EXE to the installed saver
Var UseAsSaverBox
Var RemoveSettings    ; uninstaller: 1 deletes the settings key
Var RemoveSettingsBox

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

!define MUI_WELCOMEPAGE_TEXT "This will install ${PRODUCT} ${VERSION}, the flying clock screensaver, on your computer.$\r$\n$\r$\nIf ${PRODUCT} is already installed, it is updated and your settings are kept.$\r$\n$\r$\nClick Next to continue."
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
Page custom ScreensaverPage ScreensaverPageLeave
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "${PRODUCT} is installed. Its settings are in the Start menu under ${PRODUCT}, and in the display settings' screensaver list."
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
UninstPage custom un.SettingsPage un.SettingsPageLeave
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; --- Installation -----------------------------------------------------------

Function .onInit
  ; One installer at a time: a second one would write the same files.
  System::Call 'kernel32::CreateMutexW(p 0, i 0, w "Quillmere Chronovale Setup") p .r0 ?e'
  Pop $1
  ${If} $1 == ${ERROR_ALREADY_EXISTS}
    MessageBox MB_OK|MB_ICONEXCLAMATION "The ${PRODUCT} installer is already running." /SD IDOK
    SetErrorLevel 2
    Abort
  ${EndIf}
  StrCpy $UseAsSaver 1
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/NOSCREENSAVER" $1
  ${IfNot} ${Errors}
    StrCpy $UseAsSaver 0
  ${EndIf}
FunctionEnd

Function ScreensaverPage
  !insertmacro MUI_HEADER_TEXT "Screensaver" "Choose whether ${PRODUCT} becomes your screensaver."
  nsDialogs::Create 1018
  Pop $0
  ${If} $0 == error
    Abort
  ${EndIf}
  ${NSD_CreateCheckbox} 0 0 100% 12u "&Use ${PRODUCT} as my screensaver"
  Pop $UseAsSaverBox
  ${If} $UseAsSaver == 1
    ${NSD_Check} $UseAsSaverBox
  ${EndIf}
  ${NSD_CreateLabel} 0 20u 100% 36u "You can choose another screensaver at any time in the display settings; ${PRODUCT} stays in their list."
  Pop $0
  nsDialogs::Show
FunctionEnd

Function ScreensaverPageLeave
  ${NSD_GetState} $UseAsSaverBox $0
  ${If} $0 == ${BST_CHECKED}
    StrCpy $UseAsSaver 1
  ${Else}
    StrCpy $UseAsSaver 0
  ${EndIf}
FunctionEnd

; Puts SOURCE into the system folder as NAME. A running saver (or an open
; settings sheet) keeps its file mapped: Windows refuses to replace or delete
; it but lets it be renamed, so the running copy moves aside, to be deleted
; at the next restart, and the new file takes its name.
!macro PlaceSystemFile SOURCE NAME
  Delete "$SYSDIR\${NAME}"
  ${If} ${FileExists} "$SYSDIR\${NAME}"
    GetTempFileName $R9 "$SYSDIR"
    Delete "$R9"
    Rename "$SYSDIR\${NAME}" "$R9"
    Delete /REBOOTOK "$R9"
  ${EndIf}
  SetOutPath "$SYSDIR"
  ClearErrors
  File "/oname=${NAME}" "${SOURCE}"
  ${If} ${Errors}
    SetErrorLevel 2
    Abort "Could not write $SYSDIR\${NAME}."
  ${EndIf}
!macroend

; An earlier installation in another folder: its files go, so that only one
; copy of the launcher and the uninstaller remains. Settings are not touched.
Function RemoveEarlierFolder
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 == ""
  ${OrIf} $0 == $INSTDIR
    Return
  ${EndIf}
  Delete "$0\launcher.exe"
  Delete "$0\help.htm"
  Delete "$0\Uninstall.exe"
  RMDir "$0"
  RMDir "$PROGRAMFILES64\${COMPANY}"
FunctionEnd

; The "config" verb for screensaver files runs the file with /c. Windows has
; its own; where the system has none (Wine), one is added and the uninstall
; entry remembers it, so that the uninstaller removes only what was made here.
Function RegisterConfigVerb
  ReadRegStr $0 HKCR ".scr" ""
  ${If} $0 == ""
    StrCpy $0 "scrfile"
    WriteRegStr HKLM "Software\Classes\.scr" "" "$0"
    ReadRegStr $1 HKCR "$0" ""
    ${If} $1 == ""
      WriteRegStr HKLM "Software\Classes\$0" "" "Screen saver"
    ${EndIf}
    WriteRegStr HKLM "${UNINSTALL_KEY}" "AddedScrType" "$0"
  ${EndIf}
  ReadRegStr $1 HKCR "$0\shell\config\command" ""
  ReadRegStr $2 HKLM "${UNINSTALL_KEY}" "AddedConfigVerb"
  ${If} $1 == ""
  ${OrIf} $2 == $0
    WriteRegStr HKLM "Software\Classes\$0\shell\config" "" "C&onfigure"
    WriteRegStr HKLM "Software\Classes\$0\shell\config\command" "" '"%1" /c'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "AddedConfigVerb" "$0"
  ${EndIf}
FunctionEnd

Section "${PRODUCT}" SectionMain
  SectionIn RO
  SetShellVarContext all
  Call RemoveEarlierFolder

  !insertmacro PlaceSystemFile "${SAVER}" "${SAVER_FILE}"
  !insertmacro PlaceSystemFile "${LIBRARY}" "${LIBRARY_FILE}"

  SetOutPath "$INSTDIR"
  File "/oname=launcher.exe" "${LAUNCHER}"
  File "/oname=help.htm" "${HELP}"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  ; The settings sheet's Help button opens AppDir\help.htm.
  WriteRegStr HKCU "${SETTINGS_KEY}" "AppDir" "$INSTDIR"

  ; The launcher names the saver without a folder, so the shortcuts start
  ; it in the folder that holds the saver.
  CreateDirectory "${MENU_FOLDER}"
  SetOutPath "$SYSDIR"
  CreateShortcut "${SETTINGS_LINK}" "$INSTDIR\launcher.exe" "-config" \
    "$INSTDIR\launcher.exe" 0 SW_SHOWNORMAL "" "Change how ${PRODUCT} looks"
  CreateShortcut "${WEB_LINK}" "$INSTDIR\launcher.exe" "-homepage" \
    "$INSTDIR\launcher.exe" 0 SW_SHOWNORMAL "" "The ${COMPANY} web site"
  SetOutPath "$INSTDIR"

  Call RegisterConfigVerb

  ${If} $UseAsSaver == 1
    WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$SYSDIR\${SAVER_FILE}"
    System::Call 'user32::SystemParametersInfoW(i ${SPI_SETSCREENSAVEACTIVE}, i 1, p 0, i ${SPIF_SAVE_AND_BROADCAST})'
  ${EndIf}

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${COMPANY}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$SYSDIR\${SAVER_FILE},0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  SectionGetSize ${SectionMain} $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; --- Uninstallation ---------------------------------------------------------

Function un.onInit
  StrCpy $RemoveSettings 0
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/REMOVESETTINGS" $1
  ${IfNot} ${Errors}
    StrCpy $RemoveSettings 1
  ${EndIf}
FunctionEnd

Function un.SettingsPage
  !insertmacro MUI_HEADER_TEXT "Your settings" "Choose whether your ${PRODUCT} settings are kept."
  nsDialogs::Create 1018
  Pop $0
  ${If} $0 == error
    Abort
  ${EndIf}
  ${NSD_CreateCheckbox} 0 0 100% 12u "&Also remove my ${PRODUCT} settings"
  Pop $RemoveSettingsBox
  ${If} $RemoveSettings == 1
    ${NSD_Check} $RemoveSettingsBox
  ${EndIf}
  ${NSD_CreateLabel} 0 20u 100% 36u "Kept settings are used again when ${PRODUCT} is installed later."
  Pop $0
  nsDialogs::Show
FunctionEnd

Function un.SettingsPageLeave
  ${NSD_GetState} $RemoveSettingsBox $0
  ${If} $0 == ${BST_CHECKED}
    StrCpy $RemoveSettings 1
  ${Else}
    StrCpy $RemoveSettings 0
  ${EndIf}
FunctionEnd

; SCRNSAVE.EXE is reset only while it names the saver installed here: by its
; full path, its short path or its bare name (the system folder is searched).
Function un.ResetScreensaver
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${If} $0 == ""
    Return
  ${EndIf}
  GetFullPathName /SHORT $1 "$SYSDIR\${SAVER_FILE}"
  ${If} $0 == "$SYSDIR\${SAVER_FILE}"
  ${OrIf} $0 == "${SAVER_FILE}"
  ${OrIf} $0 == $1
    DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${EndIf}
FunctionEnd

Function un.RemoveConfigVerb
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "AddedConfigVerb"
  ${If} $0 != ""
    DeleteRegKey HKLM "Software\Classes\$0\shell\config"
    DeleteRegKey /ifempty HKLM "Software\Classes\$0\shell"
  ${EndIf}
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "AddedScrType"
  ${If} $0 != ""
    ; The type's key goes when nothing but this installer used it.
    ClearErrors
    EnumRegKey $1 HKLM "Software\Classes\$0" 0
    ${If} ${Errors}
    ${OrIf} $1 == ""
      DeleteRegKey HKLM "Software\Classes\$0"
      ReadRegStr $1 HKLM "Software\Classes\.scr" ""
      ${If} $1 == $0
        DeleteRegKey HKLM "Software\Classes\.scr"
      ${EndIf}
    ${EndIf}
  ${EndIf}
FunctionEnd

Section "Uninstall"
  SetShellVarContext all
  Call un.ResetScreensaver

  ; A file still in use (a running saver) is deleted at the next restart.
  Delete /REBOOTOK "$SYSDIR\${SAVER_FILE}"
  Delete /REBOOTOK "$SYSDIR\${LIBRARY_FILE}"

  Delete "${SETTINGS_LINK}"
  Delete "${WEB_LINK}"
  RMDir "${MENU_FOLDER}"

  Call un.RemoveConfigVerb

  ${If} $RemoveSettings == 1
    DeleteRegKey HKCU "${SETTINGS_KEY}"
    DeleteRegKey /ifempty HKCU "Software\${COMPANY}"
  ${Else}
    ReadRegStr $0 HKCU "${SETTINGS_KEY}" "AppDir"
    ${If} $0 == $INSTDIR
      DeleteRegValue HKCU "${SETTINGS_KEY}" "AppDir"
    ${EndIf}
  ${EndIf}

  DeleteRegKey HKLM "${UNINSTALL_KEY}"

  ; Only the files installed here: the folder is removed when nothing else
  ; is in it, never with what the user put there.
  Delete "$INSTDIR\launcher.exe"
  Delete "$INSTDIR\help.htm"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  RMDir "$PROGRAMFILES64\${COMPANY}"
SectionEnd
