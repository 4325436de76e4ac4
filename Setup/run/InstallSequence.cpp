#include "Setup/run/InstallSequence.h"

#include <windows.h>

#include "FileInfoKv/FileInfoKv.h"
#include "Rules/CommandLineText.h"
#include "Rules/InUseText.h"
#include "Rules/OptionsText.h"
#include "Rules/PathParts.h"
#include "Rules/RegWriteText.h"
#include "Rules/VersionText.h"
#include "Setup/base/Dialogs.h"
#include "Setup/base/Door.h"
#include "Setup/base/FileDoor.h"
#include "Setup/base/Journal.h"
#include "Setup/base/Log.h"
#include "Setup/base/Progress.h"
#include "Setup/base/Report.h"
#include "Setup/base/RunState.h"
#include "Setup/base/SysProgram.h"
#include "Setup/base/Unattended.h"
#include "Setup/base/UserDoor.h"
#include "Setup/base/WinText.h"
#include "Setup/run/Bundle.h"
#include "Setup/run/ExitProc.h"
#include "Setup/run/InfCopy.h"
#include "Setup/run/InfDiscovery.h"
#include "Setup/run/InfoPrompt.h"
#include "Setup/run/InstallPath.h"
#include "Setup/run/PrevInstall.h"
#include "Setup/sections/FilesSection.h"
#include "Setup/sections/IniWrite.h"
#include "Setup/sections/RegRead.h"
#include "Setup/sections/RegWrite.h"
#include "Setup/sections/StartMenu.h"
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
    if (!File.empty() && !User().ShowText(File, nullptr)) {
        std::string Text = "Error to show Info " + File + " with Notepad.EXE";
        MessageOrDefault(Text, Caption.c_str(), MB_YESNO);
        ++ErrorCount;
    }
}

// The script that the command line names; empty for the one beside the medium. A bad command
// line ends the run before anything is installed.
static std::string ScriptArgument()
{
    std::string Script, Why;
    if (!ReadSwitches(Script, Why)) {
        // Nothing is installed: the box (or, quiet, the log in the temporary folder) says why.
        std::string Text =
            "Error: bad command line: " + Why +
            "\rSwitches: /quiet /dir=PATH /record=FILE /answers=FILE /plan=FILE /rollback /?";
        RunEnd = reBadCommandLine;
        ReportAndEnd(Text, true);
    }
    // Without switches the first argument is the script, as it always was.
    return Switches.Any ? Script : FirstArgument(GetCommandLineA());
}

// A bundle's medium is checked whole and unpacked before the first dialog; a damaged one ends
// the run.
static void UnpackMedium()
{
    std::string Damage;
    if (UnpackOwnMedium(MediumDir, Damage) > unDone) {
        ReportAndEnd(Damage, true);
    }
    ProgressIdle();
}

// The script's [Options] Rollback, or /rollback: the run journals its changes from here on, before
// its first, and undoes them when it fails or is cancelled. A plan only says where it would.
static void ChooseRollback()
{
    std::string Text = ReadProfile(OptionsSection, RollbackKey, SourceInfPath);
    bool On = false;
    if (!Text.empty() && !ParseRollback(Text, On))
        LogLine(UnknownRollbackLine(Text));
    RollbackWanted = On || Switches.Rollback;
    if (RollbackWanted && Switches.Plan.empty())
        ChooseJournalDoors();
}

// The script to carry out, found from the command line's argument, and what the run takes from it
// before its first question.
static void TakeScript(const std::string& Script)
{
    FindInfFile(Script);
    SourceInfPath = SourceDir + "\\" + InfFileName;
    ChooseRollback();
    ReadProjectVersion();
}

// The continue prompt; declined, the run ends before anything was done, with nothing to report
// but that, and a killed run that it undid (KilledUndone).
static void AskToContinue(bool KilledUndone)
{
    if (InfoPrompt("Before", SourceInfPath, BeforeTextWait, InfoProcess) != IDCANCEL)
        return;
    RunEnd = reCancelled;
    if (!KilledUndone)
        LogText.clear();
    EndRun();
}

// A clean run state, the exit procedure hooked, and the caption of every box and dialog.
static void StartRun()
{
    ResetRunState();
    LogFileOpen = false;   // and no log file or link font of an earlier run
    LinkFont = nullptr;
    HookExitProcedure();
    std::string OwnVersion;
    ReadVersionInfo(nullptr, OwnVersion);
    Caption = "SETUP V" + OwnVersion;
}

void RunInstallSequence()
{
    StartRun();
    std::string Script = ScriptArgument();
    // A killed run's changes go before this run makes its own; a plan changes nothing.
    bool KilledUndone = Switches.Plan.empty() && UndoKilledRuns();
    UnpackMedium();
    TakeScript(Script);

    AskToContinue(KilledUndone);

    // Where the INF copy goes, an earlier installation's copy, and whether the INF directory
    // takes a file at all; the path choice needs all three.
    TargetInfPath = JoinPath(GetInfDirectory(), InfFileName);
    PreviousInfPath = FindPreviousInf(SourceInfPath, TargetInfPath);
    InfDirNotWritable = !InfDirWritable(TargetInfPath);

    // The variables in layers: registry and [Strings] first, for the path dialog's proposal;
    // again once the installation directory is known.
    RegRead_Expand_Strings(SourceInfPath);
    ExpandStringsSection(smSetVars, SourceInfPath, "", "Strings");

    // Cancelled, or no directory: a failed run, whose report says all there is to say.
    if (SelectInstallPath(PreviousInfPath, SourceInfPath, InfDirNotWritable).empty())
        FatalError();

    ExpandStringsSection(smSetVars, SourceInfPath, "", "Strings");

    // The INF copy, with the variables the uninstallation needs; then the last layer of
    // variables, on the installed copy.
    InstallInfCopy();
    // Where the copy's text is: a plan wrote none, and the script holds the same sections.
    const std::string& InfCopy = Files().ReadFrom(TargetInfPath);
    RegRead_Expand_Strings(InfCopy);
    ExpandStringsSection(smSetVars | smWriteInf, SourceInfPath, TargetInfPath, "Strings");
    // Nothing reads the installed copy again (the few later writes read it anew): a long
    // script would otherwise stay in memory twice.
    ReleaseProfile(TargetInfPath);
    User().VariablesSet(SourceInfPath);

    ProgressStep(StepRegistry, 0);
    ErrorCount += RegWriteSection("RegWrite", SourceInfPath, wmRegistry);
    ErrorCount += RegWriteSection("RegWriteUninstall", SourceInfPath, wmUninstall);

    OpenLogFile(SourceInfPath);

    ProcessFilesSection(SourceInfPath);

    ProgressStep(StepStartMenu, 0);
    SetStartMenuLinks(TargetInfPath, SourceInfPath, UseSetupx);
    IniWriteSection(SourceInfPath);

    CloseStartedProgram(InfoProcess);
    ShowAfterText();
    Completed = true;
}
