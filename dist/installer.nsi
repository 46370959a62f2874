; Vellora's installer: a per-user installation (no administrator rights) in
; the user's local programs folder, where Vellora may write its Proper.dat,
; Log\ and Key\ beside itself.
;   makensis -INPUTCHARSET UTF8 -DVERSION=x.y.z -DSTAGE=<folder> -DOUTFILE=<exe> installer.nsi
; STAGE holds the installed layout: Vellora.exe, res\, Update\, Banner\.

; A 64-bit installer for a 64-bit program (and for systems without 32-bit support).
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!ifndef VERSION
  !error "VERSION is not defined"
!endif
!ifndef STAGE
  !error "STAGE is not defined"
!endif
!ifndef OUTFILE
  !define OUTFILE "Vellora-${VERSION}-win64-setup.exe"
!endif

!define PRODUCT "Vellora"
!define PRODUCT_TITLE "Vellora 벨로라"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vellora"

Name "${PRODUCT_TITLE}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Vellora"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1042 "ProductName" "${PRODUCT_TITLE}"
VIAddVersionKey /LANG=1042 "FileDescription" "${PRODUCT_TITLE} 설치 프로그램"
VIAddVersionKey /LANG=1042 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1042 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1042 "CompanyName" "Vellora"
VIAddVersionKey /LANG=1042 "LegalCopyright" "Vellora"

!include "MUI2.nsh"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\Vellora.exe"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!define MUI_UNCONFIRMPAGE_TEXT_TOP "프로그램 파일을 제거합니다. 사용자의 키(Key\*.lck), 로그(Log\)와 설정 파일(Proper.dat)은 지우지 않고 남겨 둡니다."
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Korean"

Section "Vellora" SecMain
  SetShellVarContext current

  SetOutPath "$INSTDIR"
  File "${STAGE}\Vellora.exe"
  SetOutPath "$INSTDIR\res"
  File /nonfatal /r "${STAGE}\res\*.*"

  SetOutPath "$INSTDIR\Update"
  File "${STAGE}\Update\VLRUpdate.exe"
  ; A configuration the user has set up survives a reinstallation.
  SetOverwrite off
  File "${STAGE}\Update\VLR.ini"
  SetOutPath "$INSTDIR\Banner"
  File "${STAGE}\Banner\VLRBanner.ini"
  SetOverwrite on

  CreateDirectory "$INSTDIR\Log"
  CreateDirectory "$INSTDIR\Key"

  WriteUninstaller "$INSTDIR\Uninstall.exe"

  ; Shortcuts start in the program folder: the update check and the banner
  ; read their files relative to the working directory.
  SetOutPath "$INSTDIR"
  CreateDirectory "$SMPROGRAMS\Vellora"
  CreateShortcut "$SMPROGRAMS\Vellora\Vellora 벨로라.lnk" "$INSTDIR\Vellora.exe" "" "$INSTDIR\Vellora.exe" 0
  CreateShortcut "$SMPROGRAMS\Vellora\Vellora 제거.lnk" "$INSTDIR\Uninstall.exe"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT_TITLE}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Vellora"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Vellora.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetShellVarContext current

  Delete "$INSTDIR\Vellora.exe"
  RMDir /r "$INSTDIR\res"

  Delete "$INSTDIR\Update\VLRUpdate.exe"
  Delete "$INSTDIR\Update\VLR.ini"
  Delete "$INSTDIR\Update\VersionInfo.txt"
  Delete "$INSTDIR\Update\VLRUpdate.log"
  Delete "$INSTDIR\Update\NetDownLoader.log"
  RMDir "$INSTDIR\Update"

  Delete "$INSTDIR\Banner\VLRBanner.ini"
  Delete "$INSTDIR\Banner\banner_list.txt"
  Delete "$INSTDIR\Banner\*.swf"
  RMDir "$INSTDIR\Banner"

  Delete "$SMPROGRAMS\Vellora\Vellora 벨로라.lnk"
  Delete "$SMPROGRAMS\Vellora\Vellora 제거.lnk"
  RMDir "$SMPROGRAMS\Vellora"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"

  Delete "$INSTDIR\Uninstall.exe"
  ; The user's keys, logs and settings are their data: Key\, Log\ and
  ; Proper.dat stay. The folders go only when they are empty.
  RMDir "$INSTDIR\Key"
  RMDir "$INSTDIR\Log"
  RMDir "$INSTDIR"

  IfFileExists "$INSTDIR\*.*" 0 done
    DetailPrint "남겨 둔 사용자 데이터: $INSTDIR (Key\*.lck, Log\, Proper.dat)"
    IfSilent done
    MessageBox MB_OK|MB_ICONINFORMATION "Vellora를 제거했습니다.$\r$\n$\r$\n사용자의 키(Key\*.lck), 로그(Log\)와 설정 파일(Proper.dat)은 지우지 않았습니다:$\r$\n$INSTDIR"
  done:
SectionEnd
