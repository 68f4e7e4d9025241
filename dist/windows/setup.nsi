; The setup program of Kestrion for Windows (NSIS 3). scripts/windows/windows.sh setup makes
; it from the laid-out folder and passes:
;   VERSION          project(VERSION), e.g. 1.0.0.32
;   SOURCE           the folder to install (build-windows/Kestrion)
;   ICON             the program's icon
;   UNINSTALL_LIST   Delete and RMDir lines for every file and folder of SOURCE
;   OUTFILE          the setup program to write
;
; It installs under Program Files\Kestrion for every user of the PC, makes the Start-menu
; folder Kestrion (the program, the help page, the examples folder, Uninstall) and an
; entry in the list of installed programs. Its texts are English or Traditional Chinese,
; as the system's language is. /S installs without a window; the uninstaller takes /S too
; and removes exactly what was installed.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!include "MUI2.nsh"
!include "x64.nsh"

!define PRODUCT "Kestrion"
!define PUBLISHER "Valtrona Computer Electronics Inc."
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Kestrion"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
BrandingText "${PRODUCT} ${VERSION}"
VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "© ${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\bin\Kestrion.exe"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The first is the default; the system's language picks the other.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "TradChinese"

LangString HelpLink ${LANG_ENGLISH} "Kestrion Help"
LangString HelpLink ${LANG_TRADCHINESE} "Kestrion 說明"
LangString ExamplesLink ${LANG_ENGLISH} "Example programs"
LangString ExamplesLink ${LANG_TRADCHINESE} "範例程式"
LangString UninstallLink ${LANG_ENGLISH} "Uninstall Kestrion"
LangString UninstallLink ${LANG_TRADCHINESE} "解除安裝 Kestrion"
LangString Needs64Bit ${LANG_ENGLISH} "Kestrion needs a 64-bit edition of Windows."
LangString Needs64Bit ${LANG_TRADCHINESE} "Kestrion 需要 64 位元版本的 Windows。"

Function .onInit
  ${IfNot} ${RunningX64}
    MessageBox MB_ICONSTOP "$(Needs64Bit)" /SD IDOK
    Abort
  ${EndIf}
  SetRegView 64
FunctionEnd

Function un.onInit
  SetRegView 64
FunctionEnd

Section "Kestrion"
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File /r "${SOURCE}\*.*"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  SetOutPath "$INSTDIR\bin"   ; the links start in the program's folder
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk" "$INSTDIR\bin\Kestrion.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\$(HelpLink).lnk" "$INSTDIR\bin\readme.htm"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\$(ExamplesLink).lnk" "$INSTDIR\Dos"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\$(UninstallLink).lnk" "$INSTDIR\Uninstall.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\bin\Kestrion.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Only what the setup put there: a folder the user chose that holds other files keeps them.
Section "Uninstall"
  SetShellVarContext all
  ; The Start-menu links of either language, whichever the setup made.
  Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\Kestrion Help.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\Kestrion 說明.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\Example programs.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\範例程式.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\Uninstall Kestrion.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\解除安裝 Kestrion.lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"

  !include "${UNINSTALL_LIST}"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"

  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
