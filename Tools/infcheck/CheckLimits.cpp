// The lengths that the installer and the system allow, measured on the values that the
// variables take on a sample machine.
#include "Tools/infcheck/CheckerCore.h"

#include "Rules/Capacities.h"
#include "Rules/CaseText.h"
#include "Rules/LinkText.h"
#include "Rules/ReferenceText.h"
#include "Rules/RegReadText.h"
#include "Rules/VarExpandText.h"

namespace {

// Sample values for the length checks: a Windows 7 user named "User".
const char* const SampleValues[][2] = {
    {"windir", "C:\\Windows"},
    {"SystemRoot", "C:\\Windows"},
    {"SystemDrive", "C:"},
    {"ProgramFiles", "C:\\Program Files"},
    {"CommonProgramFiles", "C:\\Program Files\\Common Files"},
    {"TEMP", "C:\\Users\\User\\AppData\\Local\\Temp"},
    {"TMP", "C:\\Users\\User\\AppData\\Local\\Temp"},
    {"USERPROFILE", "C:\\Users\\User"},
    {"APPDATA", "C:\\Users\\User\\AppData\\Roaming"},
    {"LOCALAPPDATA", "C:\\Users\\User\\AppData\\Local"},
    {"ALLUSERSPROFILE", "C:\\ProgramData"},
    {"InfPath", "C:\\Windows\\inf"},
    {"ProjectVersion", "1.00"},
    {"rundll", "rundll32"},
    {"setupx", "setupAPI"},
};
const char* const SampleProgramsMenu =
    "C:\\Users\\User\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs";

// The sample values of the variables: Windows' own, SETUP.EXE's with the sample installation
// folder, and the script's from [RegRead] defaults and [Strings] values.
void BuildSample(TChecker& Checker)
{
    std::unordered_map<std::string, std::string>& Sample = Checker.Sample;
    for (const auto& Value : SampleValues)
        Sample[FoldedText(Value[0])] = Value[1];
    for (const std::string& Name : Checker.Options.Defines)
        Sample[FoldedText(Name)] = "";
    for (const TInfLine* Line : Checker.Keys("RegRead")) {
        TRegReadLine Fields;
        if (SplitRegReadLine(Checker.Expanded(Line->Value), Fields) && Fields.HasDefault)
            Checker.SetSample(Line->Key, Fields.Default);
    }
    std::string Proposed;
    for (const TInfLine* Line : Checker.Keys("Strings")) {
        if (Line->Key == "MyProgramPath")
            Proposed = Checker.Expanded(Line->Value);
        else if (!SameText(Line->Key, "ProgramFiles"))
            Checker.SetSample(Line->Key, Line->Value.empty() ? "C:\\Users\\User\\" + Line->Key
                                                             : Checker.Expanded(Line->Value));
    }
    std::string InstallDir = Checker.Options.InstallDir;
    if (InstallDir.empty())
        InstallDir = Proposed.empty() || HasReference(Proposed)
                         ? "C:\\Program Files\\" + Checker.Options.ScriptName
                         : Proposed;
    Sample[FoldedText("MyProgramPath")] = InstallDir;
    // The [Strings] values that refer to the installation folder resolve in the later passes.
    for (const TInfLine* Line : Checker.Keys("Strings"))
        if (Line->Key != "MyProgramPath" && !Line->Value.empty() &&
            !SameText(Line->Key, "ProgramFiles"))
            Checker.SetSample(Line->Key, Checker.Expanded(Line->Value));
    if (!Sample.count(FoldedText("MyStartMenu"))) {
        const TInfLine* LnkName = Checker.Key("Strings", "LnkName");
        Sample[FoldedText("MyStartMenu")] =
            std::string(SampleProgramsMenu) + "\\" + (LnkName ? LnkName->Value : "");
    }
    Sample[FoldedText("MenuPath")] = Sample[FoldedText("MyStartMenu")];
}

// The link files of [SetMnuLNK] in the start menu folder, and those of an ErrSection, which
// name their own folders.
void CheckLinkPaths(TChecker& Checker, const std::string& Where)
{
    std::vector<std::pair<std::string, std::string>> LinkSections = {
        {"SetMnuLNK", Checker.Sample[FoldedText("MyStartMenu")]}};
    for (const TErrSection& Err : Checker.ErrSections())
        LinkSections.push_back({Err.Line->Value, ""});
    for (const auto& Section : LinkSections)
        for (const TInfLine* Line : Checker.Keys(Section.first)) {
            TLinkLine Fields;
            if (!SplitLinkLine(Checker.Expanded(Line->Value), Fields))
                continue;
            std::string Path = LinkFilePath(Fields.Name, Section.second);
            if (Path.size() > LinkPathLimit)
                Checker.Add(Line->Line, svError,
                            "the link file's path would be " + std::to_string(Path.size()) +
                                " characters long" + Where + ": the system writes at most " +
                                std::to_string(LinkPathLimit),
                            "length-limit");
        }
}

}   // namespace

void CheckLimits(TChecker& Checker)
{
    BuildSample(Checker);
    std::string Where =
        " for the installation folder " + Checker.Sample[FoldedText("MyProgramPath")];
    for (const TInfLine* Line : Checker.Keys("Strings")) {
        std::string Value = Checker.Expanded(Line->Value);
        if (Value.size() >= SystemTextSize)
            Checker.Add(Line->Line, svError,
                        "the value of " + Line->Key + " would be " + std::to_string(Value.size()) +
                            " characters long" + Where + ": a variable holds at most " +
                            std::to_string(SystemTextSize - 1) + ", and SETUP.EXE sets none",
                        "length-limit");
    }
    for (const TInfLine* Line : Checker.Keys("RegRead")) {
        size_t Length = Checker.Expanded(Line->Value).size();
        if (!RegReadLineFits(Line->Value.size(), Length))
            Checker.Add(Line->Line, svError,
                        "the [RegRead] line has " + std::to_string(Line->Value.size()) +
                            " characters as written and " + std::to_string(Length) + " expanded" +
                            Where + ": SETUP.EXE ends the run beyond " +
                            std::to_string(RegReadLineLimit - 1) + " as written or " +
                            std::to_string(RegReadLineLimit) + " expanded",
                        "length-limit");
    }
    CheckLinkPaths(Checker, Where);
}
