; The Windows installer. tools/windows/package.sh runs makensis with the version, the folder
; to install (STAGE), the icon, the list of files the uninstaller removes and the output name.
; A 64-bit installer for the 64-bit program: 32-bit Windows refuses it before it starts.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include "MUI2.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tovemi"

Name "Tovemi"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Tovemi"
InstallDirRegKey HKLM "Software\Tovemi" "InstallDir"

VIProductVersion "${VERSION}"
VIFileVersion "${VERSION}"
VIAddVersionKey /LANG=1041 "ProductName" "Tovemi"
VIAddVersionKey /LANG=1041 "ProductVersion" "${VERSION_TEXT}"
VIAddVersionKey /LANG=1041 "FileVersion" "${VERSION_TEXT}"
VIAddVersionKey /LANG=1041 "FileDescription" "Tovemi ${VERSION_TEXT} Setup"
VIAddVersionKey /LANG=1041 "CompanyName" "Tovemi developers"
VIAddVersionKey /LANG=1041 "LegalCopyright" "2026 Tovemi developers, MIT License"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\tovemi.exe"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"

Section "Tovemi"
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File /r "${STAGE}/*"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; The program reads its pictures and sounds from its working folder: the shortcut starts it
  ; in its own (the output path when the shortcut is made).
  SetOutPath "$INSTDIR"
  CreateShortcut "$SMPROGRAMS\Tovemi.lnk" "$INSTDIR\tovemi.exe" "" "$INSTDIR\tovemi.exe" 0

  WriteRegStr HKLM "Software\Tovemi" "InstallDir" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Tovemi"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION_TEXT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Tovemi developers"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tovemi.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetShellVarContext all
  Delete "$SMPROGRAMS\Tovemi.lnk"
!include "${UNINSTALL_FILES}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  DeleteRegKey HKLM "Software\Tovemi"
SectionEnd
