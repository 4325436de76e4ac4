// The plan's side (/plan): it takes the quiet answers and says what the run it describes would
// ask and show; where a quiet run logs a box's text, so does its plan. At the end it writes the
// plan's file instead of a log.
#include "Rules/FilesText.h"
#include "Rules/MessageText.h"
#include "Rules/PathParts.h"
#include "Rules/SwitchText.h"
#include "Setup/base/LogLines.h"
#include "Setup/base/Plan.h"
#include "Setup/base/PlanBooks.h"
#include "Setup/base/UserDoor.h"

namespace {

class TPlannedUser : public TUserDoor {
public:
    explicit TPlannedUser(bool Shown) : Shown(Shown) {}

    int Ask(const char*) override
    {
        int Answer = QuietAnswer();
        PlanQuestion(Answer, Shown);
        return Answer;
    }

    int Box(const std::string& Text, const char*, UINT Type) override
    {
        if (Shown)
            PlanLine("would show the box \"" + OneLine(Text) + "\"");
        else
            QuietLine(Text);
        return DefaultButton(Type);
    }

    bool ShowText(const std::string& File, PROCESS_INFORMATION*) override;
    void Tell(const std::string& Line) override { PlanLine(Line); }
    void IntoProfile(const std::string& What, const std::string& Path) override
    {
        PlanSystemProfile(What, Path);
    }
    void VariablesSet(const std::string& InfPath) override { PlanVariables(InfPath); }

    TOwnOpen OpenLog(const std::string& Path, bool, HANDLE& File, bool& Existed,
                     std::string& Beside) override;

    bool KeepsLog(const std::string& Path) override
    {
        PlanLine("the log would be " + Path);
        return false;
    }

    void Conclude(const std::string& Report, UINT ExitCode, const std::string& LogPath) override;

private:
    bool Shown;
};

bool TPlannedUser::ShowText(const std::string& File, PROCESS_INFORMATION* Process)
{
    // Without a process of the run's own, the text stays open after the run.
    if (Shown)
        PlanLine("would show " + File + " in Notepad" + (Process != nullptr ? "" : " at the end"));
    return true;
}

// A file that is not there would be made where the run may add one to its folder (or the plan
// has made that), and so would the one beside someone else's file, whose name has the run's
// process id in it, which a plan can't know.
TOwnOpen TPlannedUser::OpenLog(const std::string& Path, bool, HANDLE& File, bool& Existed,
                               std::string& Beside)
{
    File = INVALID_HANDLE_VALUE;
    TOwnOpen Found = LookOwnFile(Path);
    Existed = Found != ooFailed;
    DWORD Error = GetLastError();
    if (Found == ooFailed && (Error == ERROR_FILE_NOT_FOUND || Error == ERROR_PATH_NOT_FOUND))
        return MayWriteFile(Path) ? ooOpened : ooFailed;
    std::string Dir = DirectoryPart(Path), Name = FileNamePart(Path);
    if (Found == ooForeign && MayWriteFile(Dir + NumberedName(Name, GetCurrentProcessId(), 0)))
        Beside = Dir + BeforeExtension(Name, "-<process id>");
    return Found;
}

// The log in the temporary folder that the run would have to take (as it would name it there),
// the report of a shown run, and the plan file written; its exit code says whether it was.
void TPlannedUser::Conclude(const std::string& Report, UINT ExitCode, const std::string& LogPath)
{
    if (!Shown)
        QuietReport(Report, ExitCode);
    std::string TempLog;
    bool InTemp = LogPath.empty() && TempLogPath(TempLog);
    if (InTemp)
        LogLine("Logfile: " + TempLog);
    if (Shown) {   // its report would be a dialog
        EndLogPart();
        PlanLine("would end with the report \"" + Report + "\", exit code " +
                 std::to_string(ExitCode) + " with switches");
    }
    if (InTemp)
        PlanLine("the log would be " + TempLog);
    ExitProcess(WritePlan(Report, int(ExitCode), Shown) ? ecSuccess : ecFailed);
}

}   // namespace

TUserDoor& PlannedUser(bool Shown)
{
    static TPlannedUser ShownSide(true), QuietSide(false);
    return Shown ? ShownSide : QuietSide;
}
