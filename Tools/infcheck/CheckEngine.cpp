// The uninstall sections as the system's INF engine carries them out in the installed copy: the
// signature it wants, the sections its directives list, the folders of its file lists, and the
// directives that do harm or nothing.
#include "Tools/infcheck/CheckerCore.h"

#include "Rules/CaseText.h"
#include "Rules/EngineText.h"
#include "Rules/UninstallText.h"
#include "Tools/infcheck/LikelyName.h"

namespace {

// The directives of an uninstall section that list sections, and those of them whose sections
// list files, each in the folder that [DestinationDirs] gives the section.
const char* const ListDirectives[] = {
    "DelFiles", "DelReg",     "CopyFiles",           "RenFiles",
    "AddReg",   "UpdateInis", "RunPreSetupCommands", "RunPostSetupCommands"};
const char* const FileDirectives[] = {"DelFiles", "CopyFiles", "RenFiles"};
const char* const CommandDirectives[] = {"RunPreSetupCommands", "RunPostSetupCommands"};

typedef std::vector<std::pair<const TInfLine*, std::string>> TListedNames;

// The names that a directive lists in the uninstall sections, each with its line.
TListedNames EngineLists(const TChecker& Checker, const char* Directive)
{
    TListedNames Lists;
    for (const std::string& Section : Checker.EngineSections)
        for (const TInfLine* Line : Checker.Keys(Section))
            if (SameText(Line->Key, Directive))
                for (const std::string& Name : NameList(EngineText(Line->Value)))
                    Lists.push_back({Line, Name});
    return Lists;
}

void CheckEngineSignature(TChecker& Checker)
{
    const TSectionIndex* Version = Checker.Find("Version");
    const TInfLine* Signature = Checker.Key("Version", "Signature");
    if (!Signature)
        Checker.Add(Version ? Version->Section->Line : 1, svError,
                    "no Signature in [Version]: the system's INF engine refuses the installed "
                    "copy, and the uninstall command removes nothing; add "
                    "Signature=\"$CHICAGO$\"",
                    "uninstall-section");
    else if (!EngineTakesSignature(Signature->Value))
        Checker.Add(Signature->Line, svError,
                    "the system's INF engine refuses the Signature '" + Signature->Value +
                        "' ($CHICAGO$, $Windows NT$ or $Windows 95$), and the uninstall command "
                        "removes nothing",
                    "uninstall-section");
}

// A folder as the INF engine reads it from the installed copy's [Strings]: a value that ends in a
// backslash there makes the engine read the next line as part of it.
void CheckEngineFolder(TChecker& Checker, int Line, const std::string& Text)
{
    std::string Folder = FoldedText(EngineText(Text));
    if (Folder.find("%INFPATH%") != std::string::npos)
        Checker.Add(Line, svError,
                    "%InfPath% ends in a backslash in the installed copy, which the INF engine "
                    "reads as \"the line goes on\": what lies there stays; write 17 for the INF "
                    "folder",
                    "uninstall-section");
    const TInfLine* LnkName = Checker.Key("Strings", "LnkName");
    const TInfLine* StartMenu = Checker.Key("Strings", "MyStartMenu");
    if (LnkName && !LnkName->Value.empty())
        return;
    for (const char* Name : {"MyStartMenu", "MenuPath"}) {
        bool Own = SameText(Name, "MyStartMenu") && StartMenu && !StartMenu->Value.empty();
        if (!Own && Folder.find(FoldedText("%" + std::string(Name) + "%")) != std::string::npos)
            Checker.Add(Line, svError,
                        "%" + std::string(Name) +
                            "% is the Programs menu, ending in a backslash, when [Strings] has "
                            "no LnkName: the INF engine reads the installed copy's line as going "
                            "on, and the links stay; give LnkName a value",
                        "uninstall-section");
    }
}

// [DestinationDirs]: the folder of each file list of the uninstall sections.
void CheckDestinationDirs(TChecker& Checker)
{
    std::vector<std::string> FileLists, Unplaced;   // Unplaced: those without an entry
    bool Default = Checker.Key("DestinationDirs", "DefaultDestDir") != nullptr;
    for (const char* Directive : FileDirectives)
        for (const auto& Listed : EngineLists(Checker, Directive)) {
            FileLists.push_back(Listed.second);
            if (Checker.Key("DestinationDirs", Listed.second))
                continue;
            Unplaced.push_back(Listed.second);
            if (!Default)
                Checker.Add(Listed.first->Line, svError,
                            "[DestinationDirs] has no entry for the " + std::string(Directive) +
                                " list " + Listed.second +
                                ": the INF engine takes its default folder, the system folder, "
                                "for it, and the files stay",
                            "uninstall-section");
        }
    for (const TInfLine* Line : Checker.Keys("DestinationDirs")) {
        CheckEngineFolder(Checker, Line->Line, Line->Value);
        if (SameText(Line->Key, "DefaultDestDir") || IsOneOf(Line->Key, FileLists))
            continue;
        if (const char* Likely = LikelyName(Line->Key, Unplaced))
            Checker.Add(Line->Line, svError,
                        "unknown key '" + Line->Key + "' in [DestinationDirs]; did you mean '" +
                            Likely + "'? No file list of the uninstall section has this name",
                        "uninstall-section");
        else
            Checker.Add(Line->Line, svWarning,
                        "no file list of the uninstall section is named '" + Line->Key +
                            "': the INF engine never uses this entry",
                        "uninstall-section");
    }
}

// DelDirs harms, and the basic engine passes over RunPostSetupCommands.
void CheckDirectives(TChecker& Checker)
{
    bool Basic =
        FoldedText(Checker.UninstallCommand).find(",INSTALLHINFSECTION") != std::string::npos;
    for (const std::string& Section : Checker.EngineSections)
        for (const TInfLine* Line : Checker.Keys(Section)) {
            if (SameText(Line->Key, "DelDirs"))
                Checker.Add(Line->Line, svWarning,
                            "DelDirs deletes a folder with everything in it on some systems, the "
                            "user's own files included: remove the folders with rd in a "
                            "RunPostSetupCommands section, which removes only an empty one",
                            "uninstall-section");
            else if (Basic && SameText(Section, Checker.UninstallSection) &&
                     SameText(Line->Key, "RunPostSetupCommands"))
                Checker.Add(Line->Line, svWarning,
                            "the uninstall command runs the basic INF engine "
                            "(InstallHinfSection), which ignores RunPostSetupCommands: the "
                            "folders stay; run the advanced one, advpack.dll,LaunchINFSection",
                            "uninstall-section");
        }
}

}   // namespace

void CheckUninstallSection(TChecker& Checker)
{
    if (Checker.EngineSections.empty())
        return;
    CheckEngineSignature(Checker);
    for (const char* Directive : ListDirectives)
        for (const auto& Listed : EngineLists(Checker, Directive))
            if (!Checker.Find(Listed.second))
                Checker.Add(Listed.first->Line, svError,
                            std::string(Directive) + " names [" + Listed.second +
                                "], which the script does not have",
                            "missing-section");
    CheckDestinationDirs(Checker);
    for (const char* Directive : CommandDirectives)
        for (const auto& Listed : EngineLists(Checker, Directive))
            if (const TSectionIndex* Commands = Checker.Find(Listed.second))
                for (const TInfLine& Line : Commands->Section->Lines)
                    CheckEngineFolder(Checker, Line.Line, Line.HasEquals ? Line.Value : Line.Key);
    CheckDirectives(Checker);
}
