// The folders above the installation folder that the run makes and the uninstallation leaves.
#include "Tools/infcheck/CheckerCore.h"

#include "Rules/CaseText.h"
#include "Rules/EngineText.h"

// A MyProgramPath such as %ProgramFiles%\Vendor\Product makes %ProgramFiles%\Vendor as well; the
// INF engine removes only the folders that the uninstall section names, so a section whose
// commands never name that folder leaves it, empty, behind.
void CheckVendorFolder(TChecker& Checker)
{
    const TInfLine* Path = Checker.Key("Strings", "MyProgramPath");
    const std::string& Uninstall = Checker.UninstallSection;
    if (!Path || Uninstall.empty() || !Checker.Find(Uninstall) || Path->Value.size() < 3 ||
        Path->Value[0] != '%')
        return;
    size_t Root = Path->Value.find("%\\", 1);
    size_t Last = Path->Value.find_last_of('\\');
    if (Root == std::string::npos || Last <= Root + 1 || Last + 1 == Path->Value.size())
        return;
    std::string Parent = Path->Value.substr(0, Last);
    std::string Commands;
    for (const TInfLine* Line : Checker.Keys(Uninstall))
        if (SameText(Line->Key, "RunPostSetupCommands"))
            for (const std::string& List : NameList(Line->Value))
                if (const TSectionIndex* Index = Checker.Find(List))
                    for (const TInfLine& Command : Index->Section->Lines)
                        Commands += FoldedText(Command.Key + "=" + Command.Value) + "\n";
    if (Commands.find(FoldedText(Parent)) == std::string::npos)
        Checker.Add(Path->Line, svNote,
                    "MyProgramPath makes the folder " + Parent + " too, which [" + Uninstall +
                        "] leaves behind: remove it with an rd after the installation folder's "
                        "(rd removes it only when it is empty)",
                    "uninstall-incomplete");
}
