// The lines of [SetMnuLNK] and of an ErrSection, each a link that SETUP.EXE makes, and the
// targets that the system's link object wants to exist when it makes them.
#include "Tools/infcheck/CheckerCore.h"

#include "Rules/CaseText.h"
#include "Rules/FilesText.h"
#include "Rules/LinkText.h"
#include "Rules/LogFileName.h"
#include "Rules/PathParts.h"
#include "Rules/ProfileText.h"
#include "Rules/ReferenceText.h"

namespace {

const TLineKind<TLinkLine> LinkLines = {
    SplitLinkLine,
    "no target: a link line is Name,Target[,Arguments[,IconFile[,IconIndex[,WorkDir]]]]; "
    "SETUP.EXE stops the section at this line",
    "link-line"};

// A bare name is looked for on the search path, which finds a program only with its extension.
void CheckBareTarget(TChecker& Checker, const TInfLine& Line, const std::string& Target)
{
    bool Bare = !Target.empty() && Target.find_first_of("\\:") == std::string::npos;
    if (Bare && (SameText(Target, "%rundll%") ||
                 (!HasReference(Target) && Target.find('.') == std::string::npos)))
        Checker.Add(Line.Line, svError,
                    "the target '" + Target +
                        "' has no extension: the system finds a program on the search path only "
                        "with it, and SETUP.EXE shows \"Error: can't create Link\"; write it with "
                        "its extension, such as %rundll%.exe",
                    "link-target");
}

// A target in the installation folder: installed by [Files], and before the link is made.
void CheckInstalledTarget(TChecker& Checker, const TInfLine& Line, const std::string& Section,
                          const std::string& Target, int Step)
{
    std::string InstallDir = FoldedText(Checker.Expanded("%MyProgramPath%"));
    std::string Path = FoldedText(Checker.Expanded(Target));
    DropAllTrailingBackslashes(Path);
    // The installation folder itself is there from step 8. The system's link object takes no
    // target longer than a path may be, and comparing one would only cost time.
    if (HasReference(Path) || Path == InstallDir || Path.size() > LinkPathLimit)
        return;
    bool ByKey;
    bool Installs =
        InstalledByFiles(Checker, Path, ByKey) || Path == InstallDir + "\\" + LogFileName;
    std::string Refused = " the system refuses a link to a file that does not exist, SETUP.EXE "
                          "shows \"Error: can't create Link\" and carries out no further line "
                          "of [" +
                          Checker.Find(Section)->Section->Name + "]";
    if (Installs && Step < stFiles)
        Checker.Add(Line.Line, svWarning,
                    "the target " + Target + " is installed only in step " +
                        std::to_string(stFiles) + " of the run, after this link is made in step " +
                        std::to_string(Step) +
                        ": on a first installation the system refuses the link, and SETUP.EXE "
                        "shows \"Error: can't create Link\"",
                    "link-target");
    else if (!Installs && ByKey)
        Checker.Add(
            Line.Line, svError,
            "the target " + Target +
                " is not on the medium, though a [Files] key would take it there:" + Refused,
            "link-target");
    else if (!Installs)
        Checker.Add(Line.Line, svError,
                    "the target " + Target + " is installed by no [Files] entry:" + Refused,
                    "link-target");
}

}   // namespace

void CheckLinks(TChecker& Checker, const std::string& Section)
{
    for (const TInfLine* Line : Checker.Keys(Section)) {
        TLinkLine Fields;
        if (Line->Value.empty() || !SplitOrReport(Checker, *Line, LinkLines, Fields))
            continue;
        std::string Name = TrimmedBlanks(Fields.Name);
        if (Name.size() > 4 && SameText(Name.substr(Name.size() - 4), ".lnk"))
            Checker.Add(Line->Line, svWarning,
                        "the link name ends in .lnk, and SETUP.EXE appends .LNK all the same: the "
                        "file is named " +
                            FileNamePart(Name) + ".LNK; leave the extension out",
                        "link-line");
        std::string Index = TrimmedBlanks(Fields.IconIndex);
        bool Zero = !Index.empty() && Index.find_first_not_of("+-0") == std::string::npos;
        if (!Index.empty() && !HasReference(Index) && IconIndexOf(Index) == 0 && !Zero)
            Checker.Add(Line->Line, svError,
                        "icon index '" + Fields.IconIndex + "' is no number: the link gets icon 0",
                        "link-line");
    }
}

// The targets of a section's links, which the system's link object wants to exist when the link
// is made (in step Step of the run).
void CheckLinkTargets(TChecker& Checker, const std::string& Section, int Step)
{
    for (const TInfLine* Line : Checker.Keys(Section)) {
        TLinkLine Fields;
        if (Line->Value.empty() || !SplitLinkLine(Line->Value, Fields))
            continue;
        std::string Target = TrimmedBlanks(Fields.Target);
        CheckBareTarget(Checker, *Line, Target);
        if (StartsWithText(Target, "%MyProgramPath%\\"))
            CheckInstalledTarget(Checker, *Line, Section, Target, Step);
    }
}
