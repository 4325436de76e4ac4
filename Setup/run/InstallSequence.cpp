#include "Setup/run/InstallSequence.h"

#include <windows.h>

#include "FileInfoKv/FileInfoKv.h"
#include "Rules/VersionText.h"
#include "Setup/base/Dialogs.h"
#include "Rules/DriverText.h"
#include "Setup/run/Bundle.h"
#include "Setup/run/ExitProc.h"
#include "Setup/run/InfCopy.h"
#include "Setup/run/InfDiscovery.h"
#include "Setup/run/InfoPrompt.h"
#include "Setup/run/InstallPath.h"
#include "Rules/InstallText.h"
#include "Setup/run/PrevInstall.h"
#include "Setup/base/Report.h"
#include "Setup/base/RunState.h"
#include "Setup/base/SysProgram.h"
#include "Setup/base/Unattended.h"
#include "Setup/base/WinText.h"
#include "Setup/sections/FilesSection.h"
#include "Setup/base/Log.h"
#include "Setup/sections/IniWrite.h"
#include "Setup/sections/RegWrite.h"
#include "Setup/sections/StartMenu.h"
#include "Setup/sections/RegRead.h"
#include "Setup/sections/StringsSection.h"

// Major and minor number of the file that [Version] ProjectVersionFile names, or empty.
static void ReadProjectVersion()
{
    ProjectVersion.clear();
    std::string File = ReadProfile("Version", "ProjectVersionFile", SourceInfPath);
    if (File.empty())
        return;
    std::string VersionText;
    ReadVersionInfo((SourceDir + "\\" + File).c_str(), VersionText);
    // A file without version information has no text to cut: the version stays empty.
    ProjectVersion = MajorMinorText(VersionText);
}

// The closing text stays open in Notepad after the installer has ended.
static void ShowAfterText()
{
    std::string File = ReadProfile("Info", "After", SourceInfPath);
    if (File.empty() || Switches.Quiet)   // a quiet run opens no window, Notepad neither
        return;
    if (!OpenWithSystemProgram("notepad.exe", File)) {
        std::string Text = "Error to show Info " + File + " with Notepad.EXE";
        MessageOrDefault(Text, Caption.c_str(), MB_YESNO);
        ++ErrorCount;
    }
}

void RunInstallSequence()
{
    Completed = false;
    InfoProcess = PROCESS_INFORMATION{};
    LogFileOpen = false;
    ErrorCount = 0;
    HookExitProcedure();
    LogText.clear();
    LinkFont = nullptr;

    std::string OwnVersion;
    ReadVersionInfo(nullptr, OwnVersion);
    Caption = "SETUP V" + OwnVersion;

    std::string Script, Why;
    if (!ReadSwitches(Script, Why)) {
        // Nothing is installed: the box (or, quiet, the log in the temporary folder) says why.
        std::string Text = "Error: bad command line: " + Why +
                           "\rSwitches: /quiet /dir=PATH /record=FILE /answers=FILE";
        LogLine(OneLine(Text));
        ErrorBox(Text);
        RunEnd = reBadCommandLine;
        FatalError();
    }
    // A bundle's medium is checked whole and unpacked before the first dialog.
    std::string Damage;
    if (UnpackOwnMedium(MediumDir, Damage) > unDone) {
        LogLine(OneLine(Damage));
        ErrorBox(Damage);
        FatalError();
    }
    // Without switches the first argument is the script, as it always was.
    FindInfFile(Switches.Any ? Script : FirstArgument(GetCommandLineA()));
    SourceInfPath = SourceDir + "\\" + InfFileName;
    ReadProjectVersion();

    if (InfoPrompt("Before", SourceInfPath, 2500, InfoProcess) == IDCANCEL) {
        RunEnd = reCancelled;
        LogText.clear();   // declined before anything was done: nothing to report but that
        EndRun();
    }

    // Where the INF copy goes, an earlier installation's copy, and whether the INF directory
    // takes a file at all; the path choice needs all three.
    TargetInfPath = JoinPath(GetInfDirectory(), InfFileName);
    PreviousInfPath = FindPreviousInf(SourceInfPath, TargetInfPath);
    InfDirNotWritable = !InfDirWritable(TargetInfPath);

    // The variables in layers: registry and [Strings] first, for the path dialog's proposal;
    // again once the installation directory is known.
    RegRead_Expand_Strings(SourceInfPath);
    ExpandStringsSection(smSetVars, SourceInfPath, "", "Strings");

    if (SelectInstallPath(PreviousInfPath, SourceInfPath, InfDirNotWritable).empty()) {
        ErrorCount = 101;   // cancelled, or no directory: the report says all there is to say
        EndRun();
    }

    ExpandStringsSection(smSetVars, SourceInfPath, "", "Strings");

    // The INF copy, with the variables the uninstallation needs; then the last layer of
    // variables, on the installed copy.
    InstallInfCopy();
    RegRead_Expand_Strings(TargetInfPath);
    ExpandStringsSection(smSetVars | smWriteInf, SourceInfPath, TargetInfPath, "Strings");
    // Nothing reads the installed copy again (the few later writes read it anew): a long
    // script would otherwise stay in memory twice.
    ReleaseProfile(TargetInfPath);

    ErrorCount += RegWriteSection("RegWrite", SourceInfPath, 2);
    ErrorCount += RegWriteSection("RegWriteUninstall", SourceInfPath, 1);

    OpenLogFile(SourceInfPath);

    ProcessFilesSection(SourceInfPath);

    SetStartMenuLinks(TargetInfPath, SourceInfPath, UseSetupx);
    IniWriteSection(SourceInfPath);

    if (InfoProcess.hProcess != nullptr) {
        TerminateProcess(InfoProcess.hProcess, 0);
        CloseHandle(InfoProcess.hProcess);
        CloseHandle(InfoProcess.hThread);
        InfoProcess = PROCESS_INFORMATION{};
    }
    ShowAfterText();
    Completed = true;
}
