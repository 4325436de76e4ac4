// The quiet side (/quiet): nothing shows; each question takes the answer that the user could
// have given without a change, each box's text is a log line, and the report is the log's last.
#include "Setup/base/DlgRec.h"
#include "Setup/base/LogLines.h"
#include "Setup/base/UserDoor.h"

int QuietAnswer()
{
    static int PathAsked = 0;
    int Answer = IDOK;
    // A folder that can't be made is given up: no user is there to type another.
    if (DlgRec.Kind == dkInstallPath && ++PathAsked > 1)
        Answer = IDABORT;
    else if ((DlgRec.Kind == dkFileConflict || DlgRec.Kind == dkInUse) && DlgRec.Preset != 0)
        Answer = DlgRec.Preset;
    else if (DlgRec.Kind == dkInUse)
        Answer = idAtRestart;   // nobody can close the program: a retry would find it in use again
    DlgRec.Result = Answer;
    return Answer;
}

int DefaultButton(UINT Type)
{
    switch (Type & MB_TYPEMASK) {
    case MB_YESNO:
    case MB_YESNOCANCEL:
        return IDYES;
    case MB_RETRYCANCEL:
        return IDRETRY;
    default:
        return IDOK;
    }
}

void QuietReport(const std::string& Report, UINT ExitCode)
{
    LogPart("\r\n");   // the line before may be the unended "Abnormal Termination!"
    LogLine(Report + " Exit code " + std::to_string(ExitCode));
}

namespace {

class TQuietUser : public TActingUser {
public:
    int Ask(const char*) override { return QuietAnswer(); }

    int Box(const std::string& Text, const char*, UINT Type) override
    {
        QuietLine(Text);
        return DefaultButton(Type);
    }

    bool ShowText(const std::string&, PROCESS_INFORMATION*) override { return true; }

    void Conclude(const std::string& Report, UINT ExitCode, const std::string&) override
    {
        QuietReport(Report, ExitCode);
    }
};

}   // namespace

TUserDoor& QuietUser()
{
    static TQuietUser Side;
    return Side;
}
