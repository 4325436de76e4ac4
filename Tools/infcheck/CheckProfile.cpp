// What lands in the profile of the user who runs SETUP.EXE: the HKCU values and the links of the
// Programs menu. A deployment tool (Intune, Configuration Manager) runs it as SYSTEM, and then
// they go into SYSTEM's own profile, where no user sees them. Only a note: the same script is
// right for a user who installs for himself.
#include "Tools/infcheck/CheckerCore.h"

#include "Rules/CaseText.h"
#include "Rules/LinkText.h"
#include "Rules/ReferenceText.h"
#include "Rules/RegReadText.h"
#include "Rules/RegSyntax.h"
#include "Rules/RegWriteText.h"

namespace {

const char* const AsSystem = "installed as SYSTEM by a deployment tool (Intune, Configuration "
                             "Manager), ";

// The first HKCU line of the registry sections, and how many there are.
void NoteUserValues(TChecker& Checker)
{
    const TInfLine* First = nullptr;
    int Count = 0;
    for (const char* Section : {"RegWrite", "RegWriteUninstall"})
        for (const TInfLine* Line : Checker.Keys(Section)) {
            TRegWriteLine Fields;
            if (SplitRegWriteLine(Line->Value, Fields) &&
                ScanRootKey(Fields.Root.c_str()) == rkHKCU && Count++ == 0)
                First = Line;
        }
    if (First)
        Checker.Add(First->Line, svNote,
                    "HKCU is the profile of the user who runs SETUP.EXE: " + std::string(AsSystem) +
                        (Count > 1 ? "this value and " + std::to_string(Count - 1) + " more go"
                                   : std::string("this value goes")) +
                        " into SYSTEM's own profile, out of every user's sight; write what "
                        "every user needs below HKLM",
                    "system-profile");
}

// Whether MyStartMenu is taken from a [RegRead] variable of HKLM: the all-users menu.
bool AllUsersMenu(const TChecker& Checker)
{
    const TInfLine* Menu = Checker.Key("Strings", "MyStartMenu");
    if (!Menu)
        return false;
    for (const std::string& Name : ReferencedNames(Menu->Value)) {
        const TInfLine* Read = Checker.Key("RegRead", Name);
        TRegReadLine Fields;
        if (Read && SplitRegReadLine(Read->Value, Fields) &&
            ScanRootKey(Fields.Root.c_str()) == rkHKLM)
            return true;
    }
    return false;
}

}   // namespace

void CheckSystemProfile(TChecker& Checker)
{
    NoteUserValues(Checker);
    if (AllUsersMenu(Checker))
        return;
    for (const TInfLine* Line : Checker.Keys("SetMnuLNK")) {
        TLinkLine Fields;
        std::string Path;
        if (SplitLinkLine(Line->Value, Fields))
            Path = LinkFilePath(Fields.Name, "%MyStartMenu%");
        if (!StartsWithText(Path, "%MyStartMenu%") && !StartsWithText(Path, "%MenuPath%"))
            continue;
        Checker.Add(Line->Line, svNote,
                    "the links go into the Programs menu of the user who runs SETUP.EXE: " +
                        std::string(AsSystem) +
                        "into SYSTEM's own menu, where no user sees them; for every user, "
                        "read the all-users menu in [RegRead] (AllPrograms=HKLM,SOFTWARE\\"
                        "Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders,Common "
                        "Programs) and give MyStartMenu=%AllPrograms%\\<folder>",
                    "system-profile");
        return;
    }
}
