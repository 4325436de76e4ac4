// The %NAME% references of the script: each must name a variable that is set by the time
// SETUP.EXE reads the line, else it stays as written. And the [Strings] names that SETUP.EXE
// treats apart.
#include "Tools/infcheck/CheckerCore.h"

#include <algorithm>

#include "Rules/CaseText.h"
#include "Rules/IniWriteText.h"
#include "Rules/ReferenceText.h"
#include "Rules/StringsText.h"
#include "Tools/infcheck/LikelyName.h"

namespace {

// Variables that every Windows from XP on sets in every process.
const char* const WindowsVariables[] = {"windir",
                                        "SystemRoot",
                                        "SystemDrive",
                                        "ProgramFiles",
                                        "CommonProgramFiles",
                                        "TEMP",
                                        "TMP",
                                        "USERPROFILE",
                                        "APPDATA",
                                        "ALLUSERSPROFILE",
                                        "HOMEDRIVE",
                                        "HOMEPATH",
                                        "USERNAME",
                                        "USERDOMAIN",
                                        "COMPUTERNAME",
                                        "ComSpec",
                                        "PATH",
                                        "PATHEXT",
                                        "OS",
                                        "PROCESSOR_ARCHITECTURE",
                                        "NUMBER_OF_PROCESSORS",
                                        "PROCESSOR_IDENTIFIER",
                                        "PROCESSOR_LEVEL",
                                        "PROCESSOR_REVISION"};
// Variables of some Windows versions only: missing on XP or on a 32-bit Windows.
const char* const SomeWindowsVariables[] = {"LOCALAPPDATA",
                                            "PUBLIC",
                                            "ProgramData",
                                            "ProgramFiles(x86)",
                                            "CommonProgramFiles(x86)",
                                            "ProgramW6432",
                                            "CommonProgramW6432"};

// The step of the run in which each variable is set, by folded name.
typedef std::unordered_map<std::string, int> TDefinedSteps;

// Sets the step of Name unless it is set earlier already.
void DefineAt(TDefinedSteps& Defined, const std::string& Name, int Step)
{
    int& At = Defined.emplace(FoldedText(Name), Step).first->second;
    At = std::min(At, Step);
}

TDefinedSteps CollectVariables(const TChecker& Checker)
{
    TDefinedSteps Defined;
    for (const char* Name : WindowsVariables)
        Defined[FoldedText(Name)] = 0;
    for (const std::string& Name : Checker.Options.Defines)
        Defined[FoldedText(Name)] = 0;
    for (const char* Name : InfCopyVariables)
        Defined.emplace(FoldedText(Name), stInfCopy);
    Defined.emplace(FoldedText("MyStartMenu"), stLinks);
    Defined.emplace(FoldedText("MenuPath"), stLinks);
    Defined.emplace(FoldedText("MyProgramPath"), stProgramPath);
    for (const TInfLine* Line : Checker.Keys("RegRead"))
        if (!IsOneOf(Line->Key, InfCopyVariables))
            DefineAt(Defined, Line->Key, stRegRead);
    for (const TInfLine* Line : Checker.Keys("Strings"))
        // MyProgramPath only in this spelling is the installation folder, set by the path dialog.
        if (Line->Key != "MyProgramPath")
            DefineAt(Defined, Line->Key, stStrings);
    return Defined;
}

// Every %NAME% of Text, which SETUP.EXE reads from a line of Section in step Step.
void CheckReferences(TChecker& Checker, const TDefinedSteps& Defined, int Line,
                     const std::string& Text, const std::string& Section, int Step)
{
    for (const std::string& Name : ReferencedNames(Text)) {
        auto Found = Defined.find(FoldedText(Name));
        if (Found == Defined.end() && IsOneOf(Name, SomeWindowsVariables))
            Checker.Add(Line, svWarning,
                        "%" + Name +
                            "% is not defined on every Windows (not on XP, or not on a 32-bit "
                            "system); there it stays as written",
                        "undefined-variable");
        else if (Found == Defined.end())
            Checker.Add(Line, svError,
                        "%" + Name +
                            "% is not defined: no [Strings] key, [RegRead] name, variable of "
                            "SETUP.EXE or of Windows has that name, so it stays as written",
                        "undefined-variable");
        else if (Found->second > Step)
            Checker.Add(Line, svError,
                        "%" + Name + "% is used in [" + Section +
                            "] before it is defined: SETUP.EXE sets it in step " +
                            std::to_string(Found->second) +
                            " of the run, and reads this line in step " + std::to_string(Step),
                        "variable-order");
    }
}

// The lines of a section that SETUP.EXE expands in step Step.
void CheckSectionReferences(TChecker& Checker, const TDefinedSteps& Defined, const char* Section,
                            int Step)
{
    const TSectionIndex* Index = Checker.Find(Section);
    for (const TInfLine* Line : Checker.Keys(Section)) {
        if (SameText(Line->Key, "ErrSection"))
            continue;
        // The path dialog proposes the first pass's MyProgramPath.
        int LineStep =
            Line->Key == "MyProgramPath" && SameText(Section, "Strings") ? stPathDialog : Step;
        std::string Text = Line->Value;
        if (SameText(Section, "IniWrite")) {
            // Section and key are written as they stand; only value and file are expanded.
            TIniWriteLine Fields;
            if (!SplitIniWriteLine(Line->Value, Fields))
                continue;
            Text = Fields.Value + "," + Fields.File;
        }
        CheckReferences(Checker, Defined, Line->Line, Text, Index->Section->Name, LineStep);
    }
}

}   // namespace

void CheckVariables(TChecker& Checker)
{
    TDefinedSteps Defined = CollectVariables(Checker);
    struct {
        const char* Section;
        int Step;
    } const Uses[] = {{"RegRead", stRegReadAgain}, {"Strings", stStringsAgain},
                      {"RegWrite", stRegWrite},    {"RegWriteUninstall", stUninstallEntry},
                      {"Files", stFiles},          {"SetMnuLNK", stLinks},
                      {"IniWrite", stIniWrite}};
    for (const auto& Use : Uses)
        CheckSectionReferences(Checker, Defined, Use.Section, Use.Step);
    // The links that stand in for a registry line that could not be written.
    for (const TErrSection& Err : Checker.ErrSections())
        if (const TSectionIndex* Links = Checker.Find(Err.Line->Value))
            for (const TInfLine* Line : Links->Keys)
                CheckReferences(Checker, Defined, Line->Line, Line->Value, Links->Section->Name,
                                Err.Step);
}

// [Strings] keys whose names SETUP.EXE treats apart.
void CheckStringsKeys(TChecker& Checker)
{
    for (const TInfLine* Line : Checker.Keys("Strings")) {
        if (SameText(Line->Key, "MyProgramPath") && Line->Key != "MyProgramPath")
            Checker.Add(Line->Line, svError,
                        "'" + Line->Key +
                            "' is not spelled MyProgramPath: SETUP.EXE compares that name "
                            "exactly, and in another letter case sets the variable again from "
                            "this value after the user chose the folder, so the files go here "
                            "instead of the chosen folder (or the earlier installation's)",
                        "strings-key");
        else if (SameText(Line->Key, "ProgramFiles") && !Line->Value.empty())
            Checker.Add(Line->Line, svWarning,
                        "SETUP.EXE takes ProgramFiles from the registry and ignores the value '" +
                            Line->Value +
                            "': declare it empty (ProgramFiles=), or use a name of your own",
                        "strings-key");
    }
}

namespace {

// The values that every Windows from XP on has where SETUP.EXE looks for a [Strings] key of its
// own name: the user's shell folders, and the Windows setup key.
const char* const StandardShellValues[] = {"Administrative Tools",
                                           "AppData",
                                           "Cache",
                                           "Cookies",
                                           "Desktop",
                                           "Favorites",
                                           "Fonts",
                                           "History",
                                           "Local AppData",
                                           "My Music",
                                           "My Pictures",
                                           "My Video",
                                           "NetHood",
                                           "Personal",
                                           "PrintHood",
                                           "Programs",
                                           "Recent",
                                           "SendTo",
                                           "Start Menu",
                                           "Startup",
                                           "Templates",
                                           "CommonFilesDir",
                                           "DevicePath",
                                           "MediaPathUnexpanded",
                                           "ProgramFilesDir",
                                           "ProgramFilesPath"};

const char* const AllUsersFolders = "HKLM,SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\"
                                    "Shell Folders,";

// What to write instead of an empty Name: the all-users folders ("Common Programs", ...) are
// values of HKLM, which only [RegRead] reads; any other name wants a value of the script's.
std::string EmptyValueRemedy(const std::string& Name)
{
    if (StartsWithText(Name, "Common"))
        return "the all-users folders lie in HKLM, which [Strings] never reads: drop this line "
               "and read the folder in [RegRead]: " +
               Name + "=" + AllUsersFolders + Name;
    return "give it a value, or read it in [RegRead] (an all-users folder such as the common "
           "Programs menu: AllPrograms=" +
           std::string(AllUsersFolders) + "Common Programs)";
}

}   // namespace

// An empty [Strings] key whose name SETUP.EXE looks up among the user's shell folders and in the
// Windows setup key: where a standard Windows has no value of that name, the run ends there.
void CheckEmptyStringsValues(TChecker& Checker)
{
    for (const TInfLine* Line : Checker.Keys("Strings")) {
        if (!Line->Value.empty() || ClassifyStringsKey(Line->Key) != skShellFolder ||
            IsOneOf(Line->Key, StandardShellValues))
            continue;
        Checker.Add(Line->Line, svWarning,
                    "'" + Line->Key +
                        "' has no value, and a standard Windows has none of that name among "
                        "the user's shell folders (HKCU\\Software\\Microsoft\\Windows\\"
                        "CurrentVersion\\Explorer\\Shell Folders) or in HKLM\\SOFTWARE\\"
                        "Microsoft\\Windows\\CurrentVersion, where SETUP.EXE looks for it: the "
                        "run ends with \"Error at RegQueryValue " +
                        Line->Key + " ...\"; " + EmptyValueRemedy(Line->Key),
                    "strings-key");
    }
}
