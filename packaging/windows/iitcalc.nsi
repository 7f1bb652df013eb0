; The Windows installer: installs for the current user only, into
; %LOCALAPPDATA%\Programs\iitcalc, without administrator rights.
; Built by make-packages.sh:
;   makensis -INPUTCHARSET UTF8 -DVERSION=… -DSTAGE=<folder of the files>
;            -DICON=<iitcalc.ico> -DOUTFILE=<setup.exe> [-DWITH_WINDOW] iitcalc.nsi
Unicode true
Target amd64-unicode
RequestExecutionLevel user
ManifestDPIAware true
SetCompressor /SOLID lzma

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"
!include "WinMessages.nsh"

!define PRODUCT "个人所得税计算器"
!define PUBLISHER "iitcalc 开发组"
!define COPYRIGHT "© 2026 ${PUBLISHER}"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\iitcalc"
!ifdef WITH_WINDOW
  !define MAIN_PROGRAM "iitcalc.exe"
!else
  !define MAIN_PROGRAM "iitcalc-cli.exe"
!endif

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\iitcalc"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=2052 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=2052 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=2052 "LegalCopyright" "${COPYRIGHT}"
VIAddVersionKey /LANG=2052 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "FileDescription" "${PRODUCT} ${VERSION} 安装程序"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!ifdef WITH_WINDOW
  !define MUI_FINISHPAGE_RUN "$INSTDIR\iitcalc.exe"
!endif
; The read-me is offered, not opened unasked: only "run" starts ticked.
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\使用说明.txt"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
; Below those two, not ticked: iitcalc-cli on this user's PATH.
!define MUI_PAGE_CUSTOMFUNCTION_SHOW FinishPageShow
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE FinishPageLeave
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"

Section
  SetShellVarContext current
  SetOutPath "$INSTDIR"
!ifdef WITH_WINDOW
  File "${STAGE}/iitcalc.exe"
!endif
  File "${STAGE}/iitcalc-cli.exe"
  File "${STAGE}/使用说明.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"
!ifdef WITH_WINDOW
  CreateShortCut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\iitcalc.exe"
!endif

  ; Listed under Settings > Apps for this user.
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${MAIN_PROGRAM}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  ; In place (_?=): NSIS's uninstaller otherwise returns at once from a copy
  ; of itself, and its caller never learns whether it failed.
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S _?=$INSTDIR'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; The user's own PATH (HKCU\Environment), read and written whole or not at
; all: a value longer than this installer's strings could hold would come
; back cut short, so it is left as it is. PathWithoutFolder: $R0 the list,
; $R1 a folder; gives $R0 without the entries naming that folder (in any
; case, with or without a final \) and $R2 1 when there was one, 0 when not.
; ReadUserPath: $R0 the list, $R3 its type (0: none yet, 1 REG_SZ, 2
; REG_EXPAND_SZ, "" when it cannot be edited safely).
!macro USER_PATH_FUNCTIONS prefix
Function ${prefix}PathWithoutFolder
  Push $3
  Push $4
  Push $5
  Push $6
  Push $7
  StrCpy $R2 0
  StrCpy $3 "" ; what is kept
  StrCpy $4 "" ; the entry being read
  StrCpy $5 0  ; where
  StrCpy $7 0  ; whether an entry has been kept
  ${Do}
    StrCpy $6 $R0 1 $5
    ${If} $6 == ";"
    ${OrIf} $6 == ""
      ${If} $4 == $R1
      ${OrIf} $4 == "$R1\"
        StrCpy $R2 1
      ${ElseIf} $7 == 1
        StrCpy $3 "$3;$4"
      ${Else}
        StrCpy $3 $4
        StrCpy $7 1
      ${EndIf}
      StrCpy $4 ""
      ${IfThen} $6 == "" ${|} ${ExitDo} ${|}
    ${Else}
      StrCpy $4 "$4$6"
    ${EndIf}
    IntOp $5 $5 + 1
  ${Loop}
  StrCpy $R0 $3
  Pop $7
  Pop $6
  Pop $5
  Pop $4
  Pop $3
FunctionEnd

Function ${prefix}ReadUserPath
  StrCpy $R0 ""
  StrCpy $R3 ""
  ; Its type and size in bytes with the final NUL, without expanding it.
  System::Call 'advapi32::RegGetValueW(p ${HKEY_CURRENT_USER_PTR}, w "Environment", w "Path", i 0x1000FFFF, *i .r8, p 0, *i 0 r9) i .r7'
  ${If} $7 = 2 ; ERROR_FILE_NOT_FOUND
    StrCpy $R3 0
  ${ElseIf} $7 = 0
  ${AndIf} $8 >= 1
  ${AndIf} $8 <= 2
    ; Characters with the NUL, and room for ";" and the folder.
    IntOp $9 $9 / 2
    StrLen $6 $INSTDIR
    IntOp $9 $9 + $6
    ${IfThen} $9 >= ${NSIS_MAX_STRLEN} ${|} Return ${|}
    ClearErrors
    ReadRegStr $R0 HKCU "Environment" "Path"
    ${IfNot} ${Errors}
      StrCpy $R3 $8
    ${EndIf}
  ${EndIf}
FunctionEnd
!macroend
; HKEY_CURRENT_USER as a 64-bit handle (sign-extended).
!define HKEY_CURRENT_USER_PTR -2147483647
!insertmacro USER_PATH_FUNCTIONS ""
!insertmacro USER_PATH_FUNCTIONS "un."

; Tells running programs (Explorer, new consoles) that the environment changed.
!macro ENVIRONMENT_CHANGED
  SendMessage ${HWND_BROADCAST} ${WM_SETTINGCHANGE} 0 "STR:Environment" /TIMEOUT=2000
!macroend

Var PathBox

Function FinishPageShow
!ifdef WITH_WINDOW
  !define PATH_BOX_TOP 130
!else
  !define PATH_BOX_TOP 110
!endif
  ${NSD_CreateCheckbox} 120u ${PATH_BOX_TOP}u 195u 20u "把 iitcalc-cli 所在的文件夹加入 PATH，在任何文件夹中都能运行它（只对当前用户）(&A)"
  Pop $PathBox
  SetCtlColors $PathBox "${MUI_TEXTCOLOR}" "${MUI_BGCOLOR}"
FunctionEnd

Function FinishPageLeave
  ${NSD_GetState} $PathBox $0
  ${If} $0 == ${BST_CHECKED}
    Call AddFolderToUserPath
  ${EndIf}
FunctionEnd

; Adds the folder to the end of the user's PATH, and notes in the uninstall
; entry that it did, so that the uninstaller takes away only what was added.
Function AddFolderToUserPath
  Call ReadUserPath
  ${If} $R3 == ""
    MessageBox MB_OK|MB_ICONEXCLAMATION "PATH 太长，安装程序无法安全地修改它，所以没有改动。$\r$\n如果需要，请在“编辑帐户的环境变量”中自行加入：$\r$\n$INSTDIR"
    Return
  ${EndIf}
  StrCpy $R4 $R0
  StrCpy $R1 $INSTDIR
  Call PathWithoutFolder
  ${If} $R2 == 1
    Return ; there already
  ${EndIf}
  ${If} $R4 == ""
    StrCpy $R4 $INSTDIR
  ${ElseIf} $R4 == ";"
    StrCpy $R4 $INSTDIR
  ${Else}
    StrCpy $0 $R4 1 -1
    ${If} $0 == ";"
      StrCpy $R4 "$R4$INSTDIR"
    ${Else}
      StrCpy $R4 "$R4;$INSTDIR"
    ${EndIf}
  ${EndIf}
  ${If} $R3 == 1
    WriteRegStr HKCU "Environment" "Path" $R4
  ${Else}
    WriteRegExpandStr HKCU "Environment" "Path" $R4
  ${EndIf}
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "AddedToPath" 1
  !insertmacro ENVIRONMENT_CHANGED
FunctionEnd

Function un.RemoveFolderFromUserPath
  ReadRegDWORD $0 HKCU "${UNINSTALL_KEY}" "AddedToPath"
  ${If} $0 != 1
    Return
  ${EndIf}
  Call un.ReadUserPath
  ${If} $R3 == ""
  ${OrIf} $R3 == 0
    DetailPrint "PATH 未改动：请自行删除其中的 $INSTDIR"
    Return
  ${EndIf}
  StrCpy $R1 $INSTDIR
  Call un.PathWithoutFolder
  ${If} $R2 == 0
    Return
  ${EndIf}
  ${If} $R0 == ""
    DeleteRegValue HKCU "Environment" "Path"
  ${ElseIf} $R3 == 1
    WriteRegStr HKCU "Environment" "Path" $R0
  ${Else}
    WriteRegExpandStr HKCU "Environment" "Path" $R0
  ${EndIf}
  !insertmacro ENVIRONMENT_CHANGED
FunctionEnd

; A program still running from the folder cannot be removed, and removing
; the rest around it would leave it there without its uninstall entry. It
; is found before anything is touched by opening it for writing, which
; Windows refuses for a program that runs. Silent: status 2, nothing
; removed. Otherwise the user is asked to close it and try again.
!macro FIND_RUNNING file
  ${If} ${FileExists} "$INSTDIR\${file}"
    ClearErrors
    FileOpen $1 "$INSTDIR\${file}" a
    ${If} ${Errors}
      StrCpy $0 "${file}"
    ${Else}
      FileClose $1
    ${EndIf}
  ${EndIf}
!macroend

!define REMOVE_UNINSTALLER "/remove-uninstaller"

Function un.onInit
  ; The copy that removes the uninstaller run in place, after it has ended.
  ${un.GetParameters} $0
  ClearErrors
  ${un.GetOptions} $0 "${REMOVE_UNINSTALLER}" $1
  ${IfNot} ${Errors}
    ${For} $1 1 100
      ClearErrors
      Delete "$INSTDIR\uninstall.exe"
      ${IfNot} ${FileExists} "$INSTDIR\uninstall.exe"
        ${Break}
      ${EndIf}
      Sleep 100
    ${Next}
    RMDir "$INSTDIR"
    Quit
  ${EndIf}
  ${Do}
    StrCpy $0 ""
    !insertmacro FIND_RUNNING "iitcalc.exe"
    !insertmacro FIND_RUNNING "iitcalc-cli.exe"
    ${IfThen} $0 == "" ${|} ${ExitDo} ${|}
    ${If} ${Silent}
      SetErrorLevel 2
      Quit
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${PRODUCT}（$0）正在运行，现在无法卸载。$\r$\n请先关闭它，然后按“重试”；按“取消”则不卸载。" IDRETRY retry
    SetErrorLevel 2
    Quit
    retry:
  ${Loop}
FunctionEnd

; Removes only what the installer put there: the folder may have been one
; the user chose and holds other files.
Section "Uninstall"
  SetShellVarContext current
  ; The programs first: one started again since the check stops the rest.
  Delete "$INSTDIR\iitcalc.exe"
  Delete "$INSTDIR\iitcalc-cli.exe"
  ${If} ${FileExists} "$INSTDIR\iitcalc.exe"
  ${OrIf} ${FileExists} "$INSTDIR\iitcalc-cli.exe"
    SetErrorLevel 2
    Abort "${PRODUCT}正在运行，无法卸载。请关闭它后再卸载。"
  ${EndIf}
  Call un.RemoveFolderFromUserPath
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  Delete "$INSTDIR\使用说明.txt"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ; Run in place (the quiet command, so that its status is its own), the
  ; uninstaller cannot delete itself: a copy of it from the temporary folder
  ; does, once this one has ended, as NSIS's own copy does otherwise.
  ${If} $EXEPATH == "$INSTDIR\uninstall.exe"
    GetTempFileName $0
    Delete $0
    CopyFiles /SILENT "$EXEPATH" "$0.exe"
    Exec '"$0.exe" ${REMOVE_UNINSTALLER} _?=$INSTDIR'
  ${Else}
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
  ${EndIf}
SectionEnd
