; The desk's own part of the CPack setup script: the machine records that the
; desk checks at start, the shared data folder, the running-desk guard and
; what the uninstaller keeps. Included through CPACK_NSIS_DEFINES.
!include LogicLib.nsh
!include FileFunc.nsh

!define KNT_INSTALL_KEY "Software\Telmarin\Kantrel Ovrin"
!define KNT_GLOBDATA_KEY "Software\Telmarin\GlobData"
; The same path under HKCU is the user's program key, kept unless /PURGE.
!define KNT_USER_KEY "Software\Telmarin\Kantrel Ovrin"
!define KNT_DESK_CLASS "_KNTOVRIN"
; Exit code when the setup or the uninstaller stopped because the desk runs.
!define KNT_EXIT_DESK_RUNNING 3
; Exit code when the machine records could not be written.
!define KNT_EXIT_RECORDS 4

VIProductVersion "${KNT_VERSION}.0.0"
VIAddVersionKey /LANG=1033 "ProductName" "Kantrel Ovrin"
VIAddVersionKey /LANG=1033 "ProductVersion" "${KNT_VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${KNT_VERSION}"
VIAddVersionKey /LANG=1033 "CompanyName" "Telmarin"
VIAddVersionKey /LANG=1033 "FileDescription" "Kantrel Ovrin ${KNT_VERSION} Setup"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Telmarin"

!define MUI_STARTMENUPAGE_DEFAULTFOLDER "Kantrel Ovrin"
; A setup run again goes to the folder of the installation it finds (CPack
; keeps it under its own key), not to the default beside it.
InstallDirRegKey HKLM "Software\Telmarin\Kantrel Ovrin Setup" ""
BrandingText "Kantrel Ovrin ${KNT_VERSION}"

Var KntShared
Var KntPurge

; Files of a running desk are never replaced or removed: the user closes it
; and retries, or the run stops. A silent run cannot ask and stops at once.
!macro KntDeskGuard UN
Function ${UN}KntEnsureDeskClosed
  check:
    FindWindow $0 "${KNT_DESK_CLASS}"
    IntCmp $0 0 closed
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
      "Kantrel Ovrin is running.$\r$\nClose it, then choose Retry." /SD IDCANCEL IDRETRY check
    DetailPrint "Stopped: Kantrel Ovrin is running."
    ; The setup's SetOutPath made the folder already; leave no empty one behind.
    RMDir "$INSTDIR"
    SetErrorLevel ${KNT_EXIT_DESK_RUNNING}
    Quit
  closed:
FunctionEnd
!macroend
!insertmacro KntDeskGuard ""
!insertmacro KntDeskGuard "un."

; An existing shared data folder is kept (a reinstall finds the user's files
; where they were); otherwise the machine-wide application data folder.
Function KntChooseSharedFolder
  ReadRegStr $KntShared HKLM "${KNT_GLOBDATA_KEY}" "GlobDataPath"
  ${If} $KntShared != ""
  ${AndIf} ${FileExists} "$KntShared\*.*"
    Return
  ${EndIf}
  ${If} ${ShellVarContextAll}
    StrCpy $KntShared "$APPDATA\Telmarin\GlobData"
  ${Else}
    SetShellVarContext all
    StrCpy $KntShared "$APPDATA\Telmarin\GlobData"
    SetShellVarContext current
  ${EndIf}
FunctionEnd

Function KntWriteRecords
  ClearErrors
  CreateDirectory "$KntShared\ide0"
  WriteRegStr HKLM "${KNT_INSTALL_KEY}" "Version" "${KNT_VERSION}"
  WriteRegStr HKLM "${KNT_INSTALL_KEY}" "Edition" "Ovrin"
  WriteRegStr HKLM "${KNT_GLOBDATA_KEY}" "GlobDataPath" "$KntShared"
  ${If} ${Errors}
    MessageBox MB_OK|MB_ICONSTOP \
      "The installation records could not be written. Run the setup as administrator." /SD IDOK
    SetErrorLevel ${KNT_EXIT_RECORDS}
    Quit
  ${EndIf}
  DetailPrint "Shared data folder: $KntShared"
FunctionEnd

; The user's settings and files stay unless asked: a question in the
; uninstaller, or /PURGE on a silent run.
Function un.KntAskPurge
  StrCpy $KntPurge 0
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/PURGE" $R1
  ${IfNot} ${Errors}
    StrCpy $KntPurge 1
    Return
  ${EndIf}
  StrCpy $R2 "Also remove your Kantrel Ovrin settings?"
  ${If} $KntShared != ""
    StrCpy $R2 "Also remove your Kantrel Ovrin settings and your files in the shared data folder$\r$\n$KntShared\ide0 (shows, psc.cfg)?"
  ${EndIf}
  MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "$R2" /SD IDNO IDNO keep
  StrCpy $KntPurge 1
  keep:
FunctionEnd

Function un.KntRemoveRecords
  ReadRegStr $KntShared HKLM "${KNT_GLOBDATA_KEY}" "GlobDataPath"
  Call un.KntAskPurge
  DeleteRegValue HKLM "${KNT_INSTALL_KEY}" "Version"
  DeleteRegValue HKLM "${KNT_INSTALL_KEY}" "Edition"
  DeleteRegKey /ifempty HKLM "${KNT_INSTALL_KEY}"
  ; Other values of GlobData (such as "set_affinity") belong to the machine.
  DeleteRegValue HKLM "${KNT_GLOBDATA_KEY}" "GlobDataPath"
  DeleteRegKey /ifempty HKLM "${KNT_GLOBDATA_KEY}"
  ${If} $KntPurge = 1
    DeleteRegKey HKCU "${KNT_USER_KEY}"
    DetailPrint "Removed the settings of this user."
  ${EndIf}
  ${If} $KntShared == ""
    Return
  ${EndIf}
  ; The desk's own log is no user file.
  Delete "$KntShared\ide0\affinity.log"
  ${If} $KntPurge = 1
    RMDir /r "$KntShared\ide0"
  ${EndIf}
  ; Only folders left empty go; anything the user keeps there stays.
  RMDir "$KntShared\ide0"
  RMDir "$KntShared"
FunctionEnd

!macro KntBeforeInstall
  Call KntEnsureDeskClosed
  Call KntChooseSharedFolder
!macroend

!macro KntAfterInstall
  Call KntWriteRecords
!macroend

!macro KntUninstall
  Call un.KntEnsureDeskClosed
  Call un.KntRemoveRecords
!macroend
