// What [Files] installs and where, and the files of the medium that the script names.
#include "Tools/infcheck/CheckerCore.h"

#include <algorithm>

#include "Rules/CaseText.h"
#include "Rules/FilesText.h"
#include "Rules/PathMatch.h"
#include "Rules/PathParts.h"
#include "Rules/ReferenceText.h"
#include "Rules/StringsText.h"

namespace {

// The [Info] keys that name text files of the medium.
const char* const InfoFiles[] = {"Before", "DifferentDir", "After"};
// How deep the checker follows a [Files] tree on the medium; a link loop must not hang it.
const int MediumDepth = 32;

// Started without an argument, SETUP.EXE takes the first signed script in the order the folder
// lists its files, which differs between file systems: a second script on the medium, or one
// planted beside it, may win on the user's machine.
void CheckSeveralScripts(TChecker& Checker, const TMedium& Medium)
{
    const std::string& ScriptName = Checker.Options.ScriptName;
    std::vector<std::string> Scripts = Medium.SignedScripts();
    const TInfLine* FormKv = Checker.Key("Version", "FormKv");
    bool Signed = FormKv && CarriesSignature(FormKv->Value);
    if (Signed && std::none_of(Scripts.begin(), Scripts.end(),
                               [&](const std::string& Name) { return SameText(Name, ScriptName); }))
        Scripts.insert(Scripts.begin(), ScriptName);
    if (Scripts.size() <= 1)
        return;
    std::string List;
    for (const std::string& Name : Scripts)
        List += (List.empty() ? "" : ", ") + Name;
    Checker.Add(FormKv ? FormKv->Line : 1, svWarning,
                "the medium holds " + std::to_string(Scripts.size()) + " signed scripts (" + List +
                    "): SETUP.EXE takes the first that the folder lists, and that order differs "
                    "between file systems; keep one script on the medium",
                "several-scripts");
}

// The files that [Info] and ProjectVersionFile name, which SETUP.EXE reads from the medium.
void CheckNamedFiles(TChecker& Checker, const TMedium& Medium)
{
    bool HasVersion;
    for (const char* Name : InfoFiles)
        if (const TInfLine* Line = Checker.Key("Info", Name))
            if (!Line->Value.empty() && FirstReference(Line->Value).empty() &&
                !Medium.FileExists(Line->Value, HasVersion))
                Checker.Add(Line->Line, svError,
                            "[Info] " + std::string(Name) + " names '" + Line->Value +
                                "', which is not on the medium",
                            "medium-file");
    const TInfLine* Line = Checker.Key("Version", "ProjectVersionFile");
    if (!Line || !FirstReference(Line->Value).empty())
        return;
    if (!Medium.FileExists(Line->Value, HasVersion))
        Checker.Add(Line->Line, svError,
                    "ProjectVersionFile names '" + Line->Value +
                        "', which is not on the medium: ProjectVersion stays empty",
                    "medium-file");
    else if (!HasVersion)
        Checker.Add(Line->Line, svWarning,
                    "'" + Line->Value + "' has no version resource: ProjectVersion stays empty",
                    "medium-file");
}

// With /s every folder below SubDir is made and every file that matches is copied; without it
// the pattern takes files and folders alike, and a folder it takes is walked with it again.
void WalkMedium(TChecker& Checker, const TInfLine& Line, const TFilesKey& Key,
                const std::string& SubDir, const std::string& Dir, const std::string& Where,
                int Depth)
{
    if (Depth > MediumDepth)
        return;
    for (const TListedEntry& Entry : Checker.Options.Medium->List(SubDir)) {
        bool Match = WildcardMatch(Key.Pattern, Entry.Name);
        std::string Here = Where + "\\" + FoldedText(Entry.Name);
        if (Entry.Folder && (Match || Key.Recursive)) {
            Checker.Installed.push_back({&Line, Dir, Entry.Name, true, Here});
            WalkMedium(Checker, Line, Key, SubDir.empty() ? Entry.Name : SubDir + "\\" + Entry.Name,
                       Dir + "\\" + Entry.Name, Here, Depth + 1);
        } else if (!Entry.Folder && Match) {
            Checker.Installed.push_back({&Line, Dir, Entry.Name, false, Here});
        }
    }
}

}   // namespace

void CheckFiles(TChecker& Checker)
{
    for (const TInfLine* Line : Checker.Keys("Files"))
        if (!Line->Value.empty() && !IsAbsoluteFolder(Line->Value))
            Checker.Add(Line->Line, svError,
                        "destination '" + Line->Value +
                            "' is no full path: leave it empty for the installation folder, or "
                            "begin it with %MyProgramPath% or a drive",
                        "files-destination");
}

void CheckMedium(TChecker& Checker)
{
    if (!Checker.Options.Medium)
        return;
    const TMedium& Medium = *Checker.Options.Medium;
    CheckSeveralScripts(Checker, Medium);
    for (const TInfLine* Line : Checker.Keys("Files")) {
        TFilesKey Key = SplitFilesKey(Line->Key);
        if (!Medium.Matches(Key.SubDir, Key.Pattern))
            Checker.Add(Line->Line, svError,
                        "'" + Line->Key +
                            "' matches no file on the medium: the entry installs nothing, "
                            "without a word",
                        "medium-file");
    }
    CheckNamedFiles(Checker, Medium);
}

// Names that SETUP.EXE takes as written: a variable in them stays a text with '%'.
void CheckLiteralNames(TChecker& Checker)
{
    struct {
        const char* Section;
        const char* Key;
    } const Names[] = {{"Info", "Before"},
                       {"Info", "DifferentDir"},
                       {"Info", "After"},
                       {"Version", "ProjectVersionFile"}};
    for (const auto& Name : Names)
        if (const TInfLine* Line = Checker.Key(Name.Section, Name.Key))
            if (!FirstReference(Line->Value).empty())
                Checker.Add(Line->Line, svError,
                            "[" + std::string(Name.Section) + "] " + Name.Key +
                                " is taken as written, not expanded: SETUP.EXE looks for '" +
                                Line->Value +
                                "' on the medium; name a file of the medium, relative to the "
                                "script",
                            "not-expanded");
}

// The destination of each [Files] entry and, with a medium, what the entry installs, walked on
// the medium as SETUP.EXE walks it.
void CollectInstalled(TChecker& Checker)
{
    for (const TInfLine* Line : Checker.Keys("Files")) {
        TFilesKey Key = SplitFilesKey(Line->Key);
        std::string Dir = Line->Value.empty() ? "%MyProgramPath%" : Line->Value;
        DropAllTrailingBackslashes(Dir);
        std::string Where = FoldedText(Checker.Expanded(Dir));
        DropAllTrailingBackslashes(Where);
        Checker.Destinations.push_back({Line, Where});
        if (Checker.Options.Medium)
            WalkMedium(Checker, *Line, Key, Key.SubDir, Dir, Where, 0);
    }
}

// Whether [Files] puts a file or a folder at Path (expanded with the sample values, folded): as
// the medium shows it when there is one, else as the keys allow; ByKey tells whether the keys
// allow it. A destination that the sample can't resolve may be anywhere, so it counts as yes.
bool InstalledByFiles(const TChecker& Checker, const std::string& Path, bool& ByKey)
{
    ByKey = false;
    for (const auto& Destination : Checker.Destinations) {
        const std::string& Dir = Destination.second;
        if (HasReference(Dir) || IsAtOrBelow(Dir, Path))
            return ByKey = true;
        if (Path.size() > Dir.size() && IsAtOrBelow(Path, Dir) &&
            PatternCovers(SplitFilesKey(Destination.first->Key), Path.substr(Dir.size() + 1)))
            ByKey = true;
    }
    if (!Checker.Options.Medium)
        return ByKey;
    for (const TInstalled& Item : Checker.Installed)
        if (IsAtOrBelow(Item.Where, Path))
            return true;
    return false;
}
