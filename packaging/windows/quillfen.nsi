; The Windows installer, made by scripts/build-windows.sh:
;   makensis -DVERSION=4.0 -DSOURCE=<the source tree> -DSTAGE=<folder of the zip's files>
;            -DOUTFILE=<setup.exe> quillfen.nsi
; It installs quillfen.exe, quillfen-cli.exe, readme.html and LICENSE.txt for the user who runs it
; (no administrator, into %LOCALAPPDATA%\Programs\Quillfen) or, chosen on its first page or with
; /AllUsers, for every user (into Program Files, as administrator). /S installs silently; the
; uninstaller takes /S too, and /RemoveSettings to remove %APPDATA%\Quillfen as well.

Unicode true
; The 64-bit stub: the programs are 64-bit, and a 64-bit-only Wine (as the tests use) starts no
; 32-bit installer at all.
Target amd64-unicode
; No administrator is asked for; the all-users choice checks that it runs as one.
RequestExecutionLevel user
ManifestDPIAware true
SetCompressor /SOLID lzma

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include nsDialogs.nsh

!define NAME "Quillfen Level Adder"
!define PUBLISHER "The Quillfen Level Adder authors"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillfen"
; "Open with" for .lvl: a ProgID listed among the extension's others; its default is not touched.
!define PROGID "Quillfen.Level"

Name "${NAME}"
OutFile "${OUTFILE}"
BrandingText "${NAME} ${VERSION}"
; Four numbers from the project's two (major.minor).
VIProductVersion "${VERSION}.0.0"
VIAddVersionKey ProductName "${NAME}"
VIAddVersionKey ProductVersion "${VERSION}"
VIAddVersionKey FileVersion "${VERSION}"
VIAddVersionKey FileDescription "${NAME} Setup"
VIAddVersionKey CompanyName "${PUBLISHER}"
VIAddVersionKey LegalCopyright "MIT licence"

!define MUI_ICON "${SOURCE}\src\win32\quillfen.ico"
!define MUI_UNICON "${SOURCE}\src\win32\quillfen.ico"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\quillfen.exe"

Var allUsers
Var justMeButton
; A folder given with /D= is kept whichever way it installs.
Var folderGiven

Page custom installModePage installModeLeave
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE English

; SHCTX, $SMPROGRAMS and $PROGRAMFILES64 follow the context: HKCU and the user's folders for one
; user, HKLM and the common folders for all.
Function useContext
    ${If} $allUsers == 1
        SetShellVarContext all
        StrCpy $0 "$PROGRAMFILES64\Quillfen"
    ${Else}
        SetShellVarContext current
        StrCpy $0 "$LOCALAPPDATA\Programs\Quillfen"
    ${EndIf}
    ${If} $folderGiven != 1
        StrCpy $INSTDIR $0
    ${EndIf}
FunctionEnd

Function .onInit
    ${If} $INSTDIR != ""
        StrCpy $folderGiven 1
    ${EndIf}
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/AllUsers" $1
    ${IfNot} ${Errors}
        StrCpy $allUsers 1
    ${EndIf}
    Call useContext
    ${If} $allUsers == 1
    ${AndIf} ${Silent}
        UserInfo::GetAccountType
        Pop $0
        ${If} $0 != "Admin"
            SetErrorLevel 740 ; ERROR_ELEVATION_REQUIRED
            Quit
        ${EndIf}
    ${EndIf}
FunctionEnd

Function installModePage
    !insertmacro MUI_HEADER_TEXT "Install for" "Who is to use ${NAME} on this computer?"
    nsDialogs::Create 1018
    Pop $0
    ${NSD_CreateRadioButton} 0 0 100% 12u "&Just me (no administrator needed)"
    Pop $justMeButton
    ${NSD_CreateRadioButton} 0 16u 100% 12u "&All users (run this installer as administrator)"
    Pop $1
    ${If} $allUsers == 1
        ${NSD_Check} $1
    ${Else}
        ${NSD_Check} $justMeButton
    ${EndIf}
    nsDialogs::Show
FunctionEnd

Function installModeLeave
    ${NSD_GetState} $justMeButton $0
    ${If} $0 == ${BST_CHECKED}
        StrCpy $allUsers 0
    ${Else}
        UserInfo::GetAccountType
        Pop $0
        ${If} $0 != "Admin"
            MessageBox MB_ICONEXCLAMATION \
                "Installing for all users needs an administrator: start the installer with Run as administrator."
            Abort
        ${EndIf}
        StrCpy $allUsers 1
    ${EndIf}
    Call useContext
FunctionEnd

Section "Install"
    SetOutPath "$INSTDIR"
    File "${STAGE}\quillfen.exe"
    File "${STAGE}\quillfen-cli.exe"
    File "${STAGE}\readme.html"
    File "${STAGE}\LICENSE.txt"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    CreateDirectory "$SMPROGRAMS\${NAME}"
    CreateShortcut "$SMPROGRAMS\${NAME}\${NAME}.lnk" "$INSTDIR\quillfen.exe"
    CreateShortcut "$SMPROGRAMS\${NAME}\${NAME} readme.lnk" "$INSTDIR\readme.html"

    WriteRegStr SHCTX "Software\Classes\${PROGID}" "" "Windows Lemmings level"
    WriteRegStr SHCTX "Software\Classes\${PROGID}\DefaultIcon" "" "$INSTDIR\quillfen.exe,0"
    WriteRegStr SHCTX "Software\Classes\${PROGID}\shell\open\command" "" \
        '"$INSTDIR\quillfen.exe" "%1"'
    WriteRegStr SHCTX "Software\Classes\.lvl\OpenWithProgids" "${PROGID}" ""
    ; Explorer reads the associations anew.
    System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'

    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegStr SHCTX "${UNINSTALL_KEY}" DisplayName "${NAME}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" DisplayVersion "${VERSION}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" Publisher "${PUBLISHER}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" DisplayIcon "$INSTDIR\quillfen.exe,0"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" InstallLocation "$INSTDIR"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" UninstallString '"$INSTDIR\uninstall.exe"'
    WriteRegStr SHCTX "${UNINSTALL_KEY}" QuietUninstallString '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" EstimatedSize $0
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" NoModify 1
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" NoRepair 1
SectionEnd

; The uninstaller's components page: the program always, the settings only when ticked.
Section "-un.Program"
    Delete "$INSTDIR\quillfen.exe"
    Delete "$INSTDIR\quillfen-cli.exe"
    Delete "$INSTDIR\readme.html"
    Delete "$INSTDIR\LICENSE.txt"
    Delete "$INSTDIR\uninstall.exe"
    ; Only when empty: a file the player put there stays, and so does its folder.
    RMDir "$INSTDIR"

    Delete "$SMPROGRAMS\${NAME}\${NAME}.lnk"
    Delete "$SMPROGRAMS\${NAME}\${NAME} readme.lnk"
    RMDir "$SMPROGRAMS\${NAME}"

    ; Only the ProgID's own entry: .lvl and its other programs stay as they are.
    DeleteRegValue SHCTX "Software\Classes\.lvl\OpenWithProgids" "${PROGID}"
    DeleteRegKey SHCTX "Software\Classes\${PROGID}"
    System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
    DeleteRegKey SHCTX "${UNINSTALL_KEY}"
SectionEnd

Section /o "un.My settings (%APPDATA%\Quillfen)" settingsSection
    SetShellVarContext current
    RMDir /r "$APPDATA\Quillfen"
SectionEnd

Function un.onInit
    ; Installed for all users when the machine's uninstall entry names this folder.
    ReadRegStr $0 HKLM "${UNINSTALL_KEY}" InstallLocation
    ${If} $0 == $INSTDIR
        SetShellVarContext all
    ${EndIf}
    ${un.GetParameters} $0
    ClearErrors
    ${un.GetOptions} $0 "/RemoveSettings" $1
    ${IfNot} ${Errors}
        SectionSetFlags ${settingsSection} ${SF_SELECTED}
    ${EndIf}
FunctionEnd
