; The installer of velmoran for Windows: per user, no administrator rights,
; in Persian (NSIS's Farsi, right to left). makensis -DSOURCE=<installed
; folder> -DVERSION=<version> -DOUTFILE=<setup.exe> installer.nsi
; The listings (%LOCALAPPDATA%\velmoran) are not the program's folder: an
; install over an older version, and the uninstaller, leave them as they are.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestSupportedOS Win10

!include MUI2.nsh
!include WinVer.nsh
!include x64.nsh

!define APPKEY "velmoran"
!define SHORTCUT "كنترل فايل ولمو رانك"
!define UNINSTALLKEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${APPKEY}"

Name "${SHORTCUT}"
Caption "${SHORTCUT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\velmoran"
InstallDirRegKey HKCU "${UNINSTALLKEY}" "InstallLocation"
BrandingText "velmoran ${VERSION}"

!define MUI_ICON "${SOURCE}\velmoran.ico"
!define MUI_UNICON "${SOURCE}\velmoran.ico"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\velmoran.exe"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Farsi"

Function .onInit
  ; Qt 6's floor: Windows 10 1809 (build 17763), 64-bit.
  ${IfNot} ${RunningX64}
  ${OrIfNot} ${AtLeastWin10}
  ${OrIfNot} ${AtLeastBuild} 17763
    MessageBox MB_OK|MB_ICONSTOP "اين برنامه به ويندوز 10 (نسخه 1809) يا بالاتر، 64 بيتي، نياز دارد." /SD IDOK
    Abort
  ${EndIf}
  SetShellVarContext current
FunctionEnd

Section "!برنامه" SecProgram
  SectionIn RO
  SetOutPath "$INSTDIR"
  ; An older version's files are replaced whole (styles: a folder earlier builds had).
  RMDir /r "$INSTDIR\platforms"
  RMDir /r "$INSTDIR\styles"
  RMDir /r "$INSTDIR\fonts"
  RMDir /r "$INSTDIR\translations"
  RMDir /r "$INSTDIR\licences"
  File /r "${SOURCE}\*.*"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${SHORTCUT}.lnk" "$INSTDIR\velmoran.exe" "" "$INSTDIR\velmoran.ico"
  WriteRegStr HKCU "${UNINSTALLKEY}" "DisplayName" "${SHORTCUT}"
  WriteRegStr HKCU "${UNINSTALLKEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALLKEY}" "Publisher" "Velmoran developers"
  WriteRegStr HKCU "${UNINSTALLKEY}" "DisplayIcon" "$INSTDIR\velmoran.ico"
  WriteRegStr HKCU "${UNINSTALLKEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALLKEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALLKEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALLKEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALLKEY}" "NoRepair" 1
SectionEnd

Section "ميانبر روي ميز كار" SecDesktop
  CreateShortcut "$DESKTOP\${SHORTCUT}.lnk" "$INSTDIR\velmoran.exe" "" "$INSTDIR\velmoran.ico"
SectionEnd

Section "Uninstall"
  SetShellVarContext current
  Delete "$SMPROGRAMS\${SHORTCUT}.lnk"
  Delete "$DESKTOP\${SHORTCUT}.lnk"
  ; The program's folder only: the listings and their backups stay.
  RMDir /r "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALLKEY}"
SectionEnd
