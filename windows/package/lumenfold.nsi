; The Windows installer, made by Debian's makensis (make-packages passes STAGE, the files as the
; zip holds them, PRODUCT_NSH and OUTFILE). It installs for the current user, as Windows apps do
; that need no administrator: into %LOCALAPPDATA%\Programs\Lumenfold, a Start-menu shortcut, and
; an uninstaller listed in Apps & features (HKCU). /S installs or uninstalls silently; /D=DIR
; (last on the command line) installs elsewhere.
Unicode true
Target amd64-unicode
!include "${PRODUCT_NSH}"
!include MUI2.nsh
!include FileFunc.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Lumenfold"
!define SHORTCUT "$SMPROGRAMS\${PRODUCT}.lnk"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
; An update goes where the earlier version is.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
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
!define MUI_WELCOMEPAGE_TEXT "Setup will install ${PRODUCT} ${PRODUCT_VERSION} for you alone; it \
    needs no administrator rights.$\r$\n$\r$\nClick Next to continue."
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Start ${PRODUCT}"
!define MUI_FINISHPAGE_RUN_FUNCTION StartProgram
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\README.txt"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${STAGE}\LICENSE.txt"
!define MUI_DIRECTORYPAGE_TEXT_TOP "Setup will install ${PRODUCT} in the following folder. It \
    must be a new or empty folder, or the one where ${PRODUCT} is installed: setup never \
    replaces a file it did not put there."
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; A folder that holds a file of one of the installed names and is not where this program was
; installed before is left alone: installing would replace the user's file, and uninstalling
; would then delete it. $R0 is 1 when the folder is taken so.
Function FolderIsTaken
    StrCpy $R0 0
    ReadRegStr $R1 HKCU "${UNINSTALL_KEY}" "InstallLocation"
    StrCmp $R1 $INSTDIR done
    IfFileExists "$INSTDIR\lumenfold.exe" taken
    IfFileExists "$INSTDIR\LICENSE.txt" taken
    IfFileExists "$INSTDIR\README.txt" taken
    IfFileExists "$INSTDIR\uninstall.exe" taken
    IfFileExists "$INSTDIR\resources\ground.bmp" taken
    IfFileExists "$INSTDIR\resources\Sonavel.wav" taken
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

; A silent install (/S, /D=DIR) into such a folder ends at once with status 2, writing nothing.
Function .onInit
    IfSilent 0 done
    Call FolderIsTaken
    StrCmp $R0 1 0 done
        SetErrorLevel 2
        Abort
  done:
FunctionEnd

; The program writes screenshots into screenshots\ in its working folder: started from the
; Start menu or from here, that is the user's Pictures folder, never the program's own.
Function StartProgram
    SetOutPath "$PICTURES"
    Exec '"$INSTDIR\lumenfold.exe"'
FunctionEnd

Section
    SetOutPath "$INSTDIR"
    File "${STAGE}\lumenfold.exe"
    File "${STAGE}\LICENSE.txt"
    File "${STAGE}\README.txt"
    SetOutPath "$INSTDIR\resources"
    File "${STAGE}\resources\ground.bmp"
    File "${STAGE}\resources\Sonavel.wav"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    SetOutPath "$PICTURES"
    CreateShortcut "${SHORTCUT}" "$INSTDIR\lumenfold.exe" "" "$INSTDIR\lumenfold.exe" 0 \
        SW_SHOWNORMAL "" "${PRODUCT}"

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${PRODUCT_VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\lumenfold.exe,0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; Removes exactly what the section above put there: files the user added to the folder (say,
; screenshots) stay, and with them the folder.
Section "Uninstall"
    Delete "${SHORTCUT}"
    Delete "$INSTDIR\lumenfold.exe"
    Delete "$INSTDIR\LICENSE.txt"
    Delete "$INSTDIR\README.txt"
    Delete "$INSTDIR\resources\ground.bmp"
    Delete "$INSTDIR\resources\Sonavel.wav"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR\resources"
    RMDir "$INSTDIR"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
