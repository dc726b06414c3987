; The Windows installer: the programs into Program Files, a Start-menu entry
; for the window, and an uninstaller listed under Apps (Add/Remove Programs).
; Silent with /S, both ways. Made by the build (packaging/windows):
;   makensis -DVERSION=1.2.0 -DSTAGE=folder -DOUTFILE=setup.exe -DICON=icon.ico [-DWINDOW] tavio.nsi
; WINDOW is defined when the folder holds tavio.exe.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!include MUI2.nsh
!include FileFunc.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tavio"

Name "Tavio ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Tavio"
BrandingText "Tavio ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductName" "Tavio"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileDescription" "Tavio ${VERSION} Setup"
VIAddVersionKey /LANG=0 "CompanyName" "Tavio developers"
VIAddVersionKey /LANG=0 "LegalCopyright" "Tavio developers"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!ifdef WINDOW
  !define MUI_FINISHPAGE_RUN "$INSTDIR\tavio.exe"
  !insertmacro MUI_PAGE_FINISH
!endif
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The installer speaks German when Windows does, as the programs do.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "German"

; Installed for every user of the machine, like any program in Program Files.
Function .onInit
  SetShellVarContext all
FunctionEnd

Function un.onInit
  SetShellVarContext all
FunctionEnd

Section "Tavio"
  SetOutPath "$INSTDIR"
  File "${STAGE}/tavio-cli.exe"
  File "${STAGE}/README.md"
!ifdef WINDOW
  File "${STAGE}/tavio.exe"
  CreateDirectory "$SMPROGRAMS\Tavio"
  CreateShortcut "$SMPROGRAMS\Tavio\Tavio.lnk" "$INSTDIR\tavio.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tavio.exe"
!endif
  WriteUninstaller "$INSTDIR\uninstall.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Tavio"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Tavio developers"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; Only what the installer put there goes: the folder may have been chosen by
; the user, and the ESC backups in the user's own folder stay.
Section "Uninstall"
  Delete "$INSTDIR\tavio.exe"
  Delete "$INSTDIR\tavio-cli.exe"
  Delete "$INSTDIR\README.md"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Tavio\Tavio.lnk"
  RMDir "$SMPROGRAMS\Tavio"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
