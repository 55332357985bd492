; Pellwick's Windows installer, made on Linux by makensis (scripts/build-installer.sh):
;   makensis -DVERSION=1.1 -DFILE_VERSION=1.1.0.0 -DPROGRAM=path/to/Pellwick.exe \
;            -DOUTFILE=Pellwick-1.1-setup.exe pellwick.nsi
; (the script takes the version from the top CMakeLists.txt)
; Installs Pellwick.exe into Program Files, a Start-menu entry and an uninstaller that
; "Apps & features" lists. /S installs or uninstalls without asking.
; A 64-bit installer for a 64-bit program: the folder, the Run value and the uninstall
; entry are the 64-bit ones without any redirection.
Target amd64-unicode
!include "MUI2.nsh"
!include "FileFunc.nsh"

!ifndef VERSION | FILE_VERSION | PROGRAM | OUTFILE
  !error "define VERSION, FILE_VERSION, PROGRAM and OUTFILE (see the head of this file)"
!endif

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Pellwick"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"

Name "Pellwick ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Pellwick"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
; The installed files get the time of the install, not of the build: the setup then
; holds no build time and two builds of one commit give the same bytes.
SetDateSave off

VIProductVersion "${FILE_VERSION}"
VIAddVersionKey "ProductName" "Pellwick"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "Pellwick ${VERSION} setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright (c) 2026 The Pellwick developers; MIT License"

; The program's own icon on the setup, the uninstaller and their windows.
!define MUI_ICON "${__FILEDIR__}/../../src/gui/win32/resources/pellwick.ico"
!define MUI_UNICON "${MUI_ICON}"

; Pellwick's licence, shown before anything is installed and installed beside the program.
!define LICENSE_FILE "${__FILEDIR__}/../../LICENSE"
!insertmacro MUI_PAGE_LICENSE "${LICENSE_FILE}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; The Start-menu entry is for every user of the machine.
Function .onInit
  SetShellVarContext all
FunctionEnd

; A running Pellwick holds its program file. It is asked to close as the user
; would close it, through the window a later start of it looks for (the normal
; close, which saves its settings); then the file is waited for, up to 10 s.
; $R9 is 1 when a copy was running.
Function CloseRunningCopy
  StrCpy $R9 0
  FindWindow $0 "PellwickMain"
  IntCmp $0 0 done
  StrCpy $R9 1
  DetailPrint "Closing the running Pellwick"
  SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=5000
  StrCpy $1 0
  IfFileExists "$INSTDIR\Pellwick.exe" 0 done
  wait:
    ClearErrors
    FileOpen $2 "$INSTDIR\Pellwick.exe" a
    IfErrors 0 free
    IntOp $1 $1 + 1
    IntCmp $1 40 done
    Sleep 250
    Goto wait
  free:
    FileClose $2
  done:
FunctionEnd

; A file that could not be replaced fails the setup: the old program is never
; left in place under a report of success.
!macro ReplaceFile NAME SOURCE
  ClearErrors
  File "/oname=${NAME}" "${SOURCE}"
  IfErrors 0 +4
    MessageBox MB_OK|MB_ICONSTOP "$INSTDIR\${NAME} could not be replaced. Close Pellwick and run the setup again." /SD IDOK
    SetErrorLevel 2
    Abort "$INSTDIR\${NAME} could not be replaced."
!macroend

Function un.onInit
  SetShellVarContext all
FunctionEnd

Section "Pellwick"
  SetOutPath "$INSTDIR"
  Call CloseRunningCopy
  !insertmacro ReplaceFile Pellwick.exe "${PROGRAM}"
  !insertmacro ReplaceFile LICENSE.txt "${LICENSE_FILE}"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Pellwick.lnk" "$INSTDIR\Pellwick.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Pellwick"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "The Pellwick developers"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Pellwick.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
  ; The copy the user had running comes back after an upgrade they watched; a
  ; silent one leaves that to the next log-in.
  IfSilent +3
  IntCmp $R9 0 +2
  Exec '"$INSTDIR\Pellwick.exe"'
SectionEnd

; The settings under Software\Pellwick stay for a later install; the log-in entries
; go, since they would start a program that is no longer there.
Section "Uninstall"
  Delete /REBOOTOK "$INSTDIR\Pellwick.exe"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir /REBOOTOK "$INSTDIR"
  Delete "$SMPROGRAMS\Pellwick.lnk"
  DeleteRegValue HKLM "${RUN_KEY}" "Pellwick"
  DeleteRegValue HKCU "${RUN_KEY}" "Pellwick"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd

; The uninstaller runs from a copy of itself in a folder of Temp, which it
; cannot delete while it runs: a hidden command removes the folder once the
; copy has ended.
Function un.onUninstSuccess
  ExecShell "" "$SYSDIR\cmd.exe" '/c for /l %i in (1,1,100000) do (rmdir /s /q "$EXEDIR" 2>nul & if not exist "$EXEDIR" exit)' SW_HIDE
FunctionEnd
