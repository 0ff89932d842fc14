; The Windows installer, made by Debian's makensis (make-packages passes STAGE, the files as the
; zip holds them, FILES_NSH, the same files' lists, PRODUCT_NSH and OUTFILE). It installs for the
; current user by default, needing
; no administrator: into %LOCALAPPDATA%\Programs\Lumenfold, a Start-menu shortcut, and an
; uninstaller listed in Apps & features (HKCU). Or, chosen on its second page or with /ALLUSERS,
; for everyone: into Program Files, the all-users Start menu and HKLM; only then does it ask for
; administrator rights. /S installs or uninstalls silently (for the current user, unless the one
; earlier install is for everyone: an update stays where it is); /D=DIR
; (last on the command line) installs elsewhere. The uninstaller removes only its own install's
; shortcut and entry, and whoever runs it as the entry says (_?=DIR) can wait for it to finish.
Unicode true
Target amd64-unicode
!include "${PRODUCT_NSH}"
!include "${FILES_NSH}"
!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh
!include nsDialogs.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Lumenfold"
!define SHORTCUT "$SMPROGRAMS\${PRODUCT}.lnk"
!define UNINSTALLER "uninstall.exe"
; What Windows answers when a program needs an administrator it was not started as.
!define ERROR_ELEVATION_REQUIRED 740

Name "${PRODUCT}"
OutFile "${OUTFILE}"
; Elevation is asked for only when the user chooses everyone (see ModePageLeave).
RequestExecutionLevel user
SetCompressor /SOLID lzma
ManifestDPIAware true
BrandingText "${PRODUCT} ${PRODUCT_VERSION}"
ShowInstDetails nevershow
ShowUninstDetails nevershow

VIProductVersion "${PRODUCT_VERSION4}"
VIFileVersion "${PRODUCT_VERSION4}"
VIAddVersionKey ProductName "${PRODUCT}"
VIAddVersionKey ProductVersion "${PRODUCT_VERSION}"
VIAddVersionKey FileVersion "${PRODUCT_VERSION}"
VIAddVersionKey FileDescription "${PRODUCT} ${PRODUCT_VERSION} setup"
VIAddVersionKey CompanyName "${PUBLISHER}"
VIAddVersionKey LegalCopyright "${COPYRIGHT}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_WELCOMEPAGE_TEXT "Setup will install ${PRODUCT} ${PRODUCT_VERSION} for you alone, \
    which needs no administrator rights, or for everyone on this computer.$\r$\n$\r$\nClick \
    Next to continue."
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Start ${PRODUCT}"
!define MUI_FINISHPAGE_RUN_FUNCTION StartProgram
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\README.txt"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!define MUI_PAGE_CUSTOMFUNCTION_PRE SkipIfElevatedAgain
!insertmacro MUI_PAGE_WELCOME
!define MUI_PAGE_CUSTOMFUNCTION_PRE SkipIfElevatedAgain
!insertmacro MUI_PAGE_LICENSE "${STAGE}\LICENSE.txt"
Page custom ModePage ModePageLeave
!define MUI_DIRECTORYPAGE_TEXT_TOP "Setup will install ${PRODUCT} in the following folder. Setup \
    never replaces a file it did not put there: a folder that holds a file of one of \
    ${PRODUCT}'s names (such as README.txt) cannot be chosen, unless ${PRODUCT} is installed there."
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Var Mode              ; AllUsers or CurrentUser
Var DirFromCommandLine  ; /D=DIR, which no mode's default replaces
Var ElevatedAgain     ; 1 in the copy started with administrator rights after the mode page
Var AllUsersButton

; Sets the mode: the shell folders ($SMPROGRAMS, SHCTX) and, unless /D named one, the folder:
; where this mode's earlier install is (an update goes there), else the mode's usual one.
Function UseMode
    ${If} $Mode == AllUsers
        SetShellVarContext all
    ${Else}
        SetShellVarContext current
    ${EndIf}
    ${If} $DirFromCommandLine != ""
        StrCpy $INSTDIR $DirFromCommandLine
        Return
    ${EndIf}
    ReadRegStr $INSTDIR SHCTX "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $INSTDIR == ""
    ${AndIf} $Mode == AllUsers
        StrCpy $INSTDIR "$PROGRAMFILES64\${PRODUCT}"
    ${ElseIf} $INSTDIR == ""
        StrCpy $INSTDIR "$LOCALAPPDATA\Programs\${PRODUCT}"
    ${EndIf}
FunctionEnd

; $R0 is 1 when this process has administrator rights (elevated, under UAC).
Function IsAdmin
    UserInfo::GetAccountType
    Pop $R0
    ${If} $R0 == Admin
        StrCpy $R0 1
    ${Else}
        StrCpy $R0 0
    ${EndIf}
FunctionEnd

; A folder that holds a file of one of the installed names and is not where this program was
; installed before in the chosen mode is left alone: installing would replace the user's file
; (or the other mode's install), and uninstalling would then delete it. $R0 is 1 when the
; folder is taken so.
Function FolderIsTaken
    StrCpy $R0 0
    ReadRegStr $R1 SHCTX "${UNINSTALL_KEY}" "InstallLocation"
    StrCmp $R1 $INSTDIR done
    !insertmacro IfAnInstalledName "$INSTDIR" taken
    IfFileExists "$INSTDIR\${UNINSTALLER}" taken
    Goto done
  taken:
    StrCpy $R0 1
  done:
FunctionEnd

; The folder page's Next stays off for such a folder (its text says why).
Function .onVerifyInstDir
    Call FolderIsTaken
    StrCmp $R0 1 0 +2
        Abort
FunctionEnd

; The mode: /ALLUSERS or /CURRENTUSER; without either, for me only, unless the one earlier
; install is for everyone (an update stays where it is). A silent install into a taken folder,
; or for everyone without administrator rights, ends at once (status 2 or 740), writing nothing.
Function .onInit
    StrCpy $DirFromCommandLine $INSTDIR
    StrCpy $Mode CurrentUser
    ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
    ReadRegStr $1 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $0 == ""
    ${AndIf} $1 != ""
        StrCpy $Mode AllUsers
    ${EndIf}
    ${GetParameters} $2
    ClearErrors
    ${GetOptions} $2 "/ALLUSERS" $3
    ${IfNot} ${Errors}
        StrCpy $Mode AllUsers
        ClearErrors
        ${GetOptions} $2 "/CURRENTUSER" $3
        ${IfNot} ${Errors}
            ; Which one was meant is unknown.
            MessageBox MB_OK|MB_ICONSTOP "Choose /ALLUSERS or /CURRENTUSER, not both." /SD IDOK
            SetErrorLevel 2
            Abort
        ${EndIf}
    ${EndIf}
    ClearErrors
    ${GetOptions} $2 "/CURRENTUSER" $3
    ${IfNot} ${Errors}
        StrCpy $Mode CurrentUser
    ${EndIf}
    ClearErrors
    ${GetOptions} $2 "/ELEVATED" $3
    ${IfNot} ${Errors}
        StrCpy $ElevatedAgain 1
    ${EndIf}
    Call UseMode
    IfSilent 0 done
    ${If} $Mode == AllUsers
        Call IsAdmin
        ${If} $R0 != 1
            SetErrorLevel ${ERROR_ELEVATION_REQUIRED}
            Abort
        ${EndIf}
    ${EndIf}
    Call FolderIsTaken
    StrCmp $R0 1 0 done
        SetErrorLevel 2
        Abort
  done:
FunctionEnd

; The copy started with administrator rights goes straight to the folder page: its user has
; read the first pages and chosen already.
Function SkipIfElevatedAgain
    StrCmp $ElevatedAgain 1 0 +2
        Abort
FunctionEnd

Function ModePage
    Call SkipIfElevatedAgain
    !insertmacro MUI_HEADER_TEXT "Choose Users" "Choose for whom to install ${PRODUCT}."
    nsDialogs::Create 1018
    Pop $0
    ${NSD_CreateLabel} 0 0 100% 24u "Install ${PRODUCT} for you alone, or for everyone who uses \
        this computer (into Program Files; this needs administrator rights)."
    Pop $0
    ${NSD_CreateRadioButton} 10u 32u -10u 12u "For &me only"
    Pop $1
    ${NSD_CreateRadioButton} 10u 48u -10u 12u "For &everyone on this computer"
    Pop $AllUsersButton
    ${If} $Mode == AllUsers
        ${NSD_Check} $AllUsersButton
    ${Else}
        ${NSD_Check} $1
    ${EndIf}
    nsDialogs::Show
FunctionEnd

; For everyone without administrator rights: this installer starts again with them (Windows
; asks the user), with the folder /D named, and this copy ends. Refused, the page stays, saying
; so.
Function ModePageLeave
    ${NSD_GetState} $AllUsersButton $0
    ${If} $0 == ${BST_CHECKED}
        StrCpy $Mode AllUsers
    ${Else}
        StrCpy $Mode CurrentUser
    ${EndIf}
    Call UseMode
    ${If} $Mode == CurrentUser
        Return
    ${EndIf}
    Call IsAdmin
    ${If} $R0 == 1
        Return
    ${EndIf}
    StrCpy $0 "/ALLUSERS /ELEVATED"
    ${If} $DirFromCommandLine != ""
        StrCpy $0 "$0 /D=$DirFromCommandLine" ; last, unquoted, as /D= must be
    ${EndIf}
    ClearErrors
    ExecShell "runas" "$EXEPATH" $0
    ${If} ${Errors}
        MessageBox MB_OK|MB_ICONEXCLAMATION "Installing for everyone needs administrator rights, \
            which were not given. Choose $\"For me only$\", or try again."
        Abort
    ${EndIf}
    Quit
FunctionEnd

; The program writes screenshots into screenshots\ in its working folder: started from the
; Start menu or from here, that is the user's Pictures folder, never the program's own.
Function StartProgram
    SetShellVarContext current
    SetOutPath "$PICTURES"
    Exec '"$INSTDIR\lumenfold.exe"'
FunctionEnd

Section
    !insertmacro InstallFiles
    WriteUninstaller "$INSTDIR\${UNINSTALLER}"

    ; For everyone, each user's own Pictures (Windows expands the variable when it starts it).
    ${If} $Mode == AllUsers
        StrCpy $OUTDIR "%USERPROFILE%\Pictures"
    ${Else}
        SetOutPath "$PICTURES"
    ${EndIf}
    CreateShortcut "${SHORTCUT}" "$INSTDIR\lumenfold.exe" "" "$INSTDIR\lumenfold.exe" 0 \
        SW_SHOWNORMAL "" "${PRODUCT}"

    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${PRODUCT_VERSION}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\lumenfold.exe,0"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    ; _?= (last, unquoted): the uninstaller runs where it is, so that whoever starts it can wait
    ; for it to finish (NSIS's way); it then removes its own file itself (un.RemoveUninstaller).
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}" _?=$INSTDIR'
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" \
        '"$INSTDIR\${UNINSTALLER}" /S _?=$INSTDIR'
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; The uninstaller's mode is its install's: for everyone when the HKLM entry names its folder.
; That needs administrator rights: silently it ends with status 740; else it starts again with
; them (Windows asks the user) and this copy ends.
Function un.onInit
    ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $0 != $INSTDIR
        SetShellVarContext current
        Return
    ${EndIf}
    SetShellVarContext all
    UserInfo::GetAccountType
    Pop $1
    ${If} $1 == Admin
        Return
    ${EndIf}
    ${If} ${Silent}
        SetErrorLevel ${ERROR_ELEVATION_REQUIRED}
        Quit
    ${EndIf}
    ExecShell "runas" "$INSTDIR\${UNINSTALLER}" "_?=$INSTDIR"
    Quit
FunctionEnd

; The uninstaller's own file, which Windows does not let a running program delete. Run where it
; is (_?=, as the entry runs it, so that whoever starts it can wait for it), it is deleted with
; the folder, if empty, once this process has ended; run as NSIS's temporary copy (without _?=),
; it deletes the installed file, and the copy's own folder (~nsuN.tmp, which NSIS leaves) goes
; once this process has ended. $R8 is the file to delete then and $R9 its folder; "" for none.
Function un.RemoveUninstaller
    StrCpy $R8 ""
    StrCpy $R9 ""
    GetFullPathName /SHORT $0 "$EXEPATH"
    GetFullPathName /SHORT $1 "$INSTDIR\${UNINSTALLER}"
    ${If} $0 == $1
    ${AndIf} $1 != ""
        StrCpy $R8 "$INSTDIR\${UNINSTALLER}"
        StrCpy $R9 $INSTDIR
        Return
    ${EndIf}
    Delete "$INSTDIR\${UNINSTALLER}"
    StrCpy $2 "$TEMP\~nsu"
    StrLen $3 $2
    StrCpy $4 $EXEDIR $3
    StrCpy $5 $EXEDIR "" -4
    ${If} $4 == $2
    ${AndIf} $5 == ".tmp"
        StrCpy $R8 $EXEPATH
        StrCpy $R9 $EXEDIR
    ${EndIf}
FunctionEnd

; Deletes $R8 and then its folder $R9 (if empty) once this process has ended and Windows lets go
; of the file: a hidden command prompt tries once a second, for at most ten minutes.
Function un.RemoveWhenEnded
    ${If} $R8 == ""
        Return
    ${EndIf}
    ; The loop's body in brackets: some command interpreters take only the first command after
    ; "do" as the body, which deleted 600 times at once and waited only once.
    ExecShell "" "$SYSDIR\cmd.exe" `/d /c for /l %i in (1,1,600) do (@del /f /q "$R8" 2>nul & \
        rd "$R9" 2>nul & if exist "$R8" ping -n 2 127.0.0.1 >nul )` SW_HIDE
FunctionEnd

; Removes exactly what the section above put there: files the user added to the folder (say,
; screenshots) stay, and with them the folder. The shortcut and the entry are this install's
; only while the entry names this folder: an install into another folder since has made them
; its own, and they stay for it.
Section "Uninstall"
    SetOutPath $TEMP ; not in the folder being removed
    ReadRegStr $0 SHCTX "${UNINSTALL_KEY}" "InstallLocation"
    GetFullPathName $0 $0
    GetFullPathName $1 $INSTDIR
    ${If} $0 == $1
    ${AndIf} $0 != ""
        Delete "${SHORTCUT}"
        DeleteRegKey SHCTX "${UNINSTALL_KEY}"
    ${EndIf}
    !insertmacro DeleteInstalledFiles
    Call un.RemoveUninstaller
    RMDir "$INSTDIR"
    Call un.RemoveWhenEnded
SectionEnd
