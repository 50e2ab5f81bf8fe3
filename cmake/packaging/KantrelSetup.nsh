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
; Exit code when the setup stopped on bad input before it changed anything:
; an unusable /D= folder or a shared data folder it cannot write.
!define KNT_EXIT_STOPPED 2
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

; A /D= folder the setup cannot use (a file, a folder below a file, no full
; path) is dropped by the installer itself, without a word, for the default
; one or that of an installation it finds: the run would then succeed
; somewhere the caller never asked for. The folder the caller gave is read
; back from the process's own command line ($CMDLINE has /D= cut off
; already) and must be the one the setup goes to.
Function KntCheckChosenFolder
  System::Call 'kernel32::GetCommandLine() t .r0'
  ; Only an unquoted /D= at the start of an argument counts, and it runs to
  ; the end of the line, as the installer itself reads it.
  StrCpy $1 0
  StrCpy $2 ""
  ${Do}
    StrCpy $3 $0 4 $1
    ${If} $3 == ""
      Return
    ${EndIf}
    ${If} $3 S== " /D="
      IntOp $1 $1 + 4
      StrCpy $2 $0 "" $1
      ${Break}
    ${EndIf}
    IntOp $1 $1 + 1
  ${Loop}
  ; The installer drops trailing backslashes from the folder it takes.
  ${Do}
    StrCpy $3 $2 1 -1
    ${If} $3 != "\"
      ${Break}
    ${EndIf}
    StrCpy $2 $2 -1
  ${Loop}
  ; The only folder the setup itself changes is the default one, for a user
  ; who is no administrator; that is still the folder asked for.
  ${If} $2 == "$INSTDIR"
  ${OrIf} $2 == "${KNT_DEFAULT_DIR}"
    Return
  ${EndIf}
  MessageBox MB_OK|MB_ICONSTOP \
    "The folder given with /D= cannot hold the program:$\r$\n$2$\r$\nIt must be a full folder path, not a file nor a folder below a file, given last and without quotes." /SD IDOK
  DetailPrint "Stopped: the folder given with /D= cannot be used: $2"
  ; A silent run is already in the section, whose SetOutPath made the folder
  ; it fell back to; leave no empty one behind.
  ${If} ${Silent}
    Call KntDropEmptyFolder
  ${EndIf}
  SetErrorLevel ${KNT_EXIT_STOPPED}
  Quit
FunctionEnd

; With pages the check comes before the first one: the directory page would
; otherwise offer the fallback folder as if it were the one given.
Function KntGuiInit
  Call KntCheckChosenFolder
FunctionEnd
!define MUI_CUSTOMFUNCTION_GUIINIT KntGuiInit

; The folder SetOutPath made is this process's working folder, which
; Windows does not remove: step out of it first. Only an empty one goes.
Function KntDropEmptyFolder
  SetOutPath "$TEMP"
  RMDir "$INSTDIR"
FunctionEnd

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
    !if "${UN}" == ""
      ; The setup's SetOutPath made the folder already; leave no empty one behind.
      Call KntDropEmptyFolder
    !endif
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

; The desk refuses to start without ide0 in the shared data folder, so a
; folder the setup cannot write stops it before it installs anything: a
; half installation whose desk only says its data path is wrong helps nobody.
; Writing is tried for real (ide0 and a file in it), as attributes and access
; lists do not tell what the file system allows. What the try made goes again.
Function KntEnsureSharedWritable
  StrCpy $1 0
  StrCpy $2 0
  ${IfNot} ${FileExists} "$KntShared\*.*"
    StrCpy $1 1
  ${EndIf}
  ${IfNot} ${FileExists} "$KntShared\ide0\*.*"
    StrCpy $2 1
  ${EndIf}
  StrCpy $3 "$KntShared\ide0\setup-write-check.tmp"
  ClearErrors
  CreateDirectory "$KntShared\ide0"
  ${IfNot} ${Errors}
    FileOpen $0 "$3" w
    ${IfNot} ${Errors}
      FileClose $0
      Delete "$3"
      ${IfNot} ${Errors}
        Return
      ${EndIf}
    ${EndIf}
  ${EndIf}
  Delete "$3"
  ${If} $2 = 1
    RMDir "$KntShared\ide0"
  ${EndIf}
  ${If} $1 = 1
    RMDir "$KntShared"
  ${EndIf}
  MessageBox MB_OK|MB_ICONSTOP \
    "The shared data folder cannot be written:$\r$\n$KntShared$\r$\nThe setup needs to make ide0 and its files there. Give administrators write access to the folder, then run the setup again." /SD IDOK
  DetailPrint "Stopped: the shared data folder cannot be written: $KntShared"
  Call KntDropEmptyFolder
  SetErrorLevel ${KNT_EXIT_STOPPED}
  Quit
FunctionEnd

Function KntWriteRecords
  ClearErrors
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

; Everything that can stop the setup comes before its first file or record.
!macro KntBeforeInstall
  ${If} ${Silent}
    Call KntCheckChosenFolder
  ${EndIf}
  Call KntEnsureDeskClosed
  Call KntChooseSharedFolder
  Call KntEnsureSharedWritable
!macroend

!macro KntAfterInstall
  Call KntWriteRecords
!macroend

!macro KntUninstall
  Call un.KntEnsureDeskClosed
  Call un.KntRemoveRecords
!macroend
