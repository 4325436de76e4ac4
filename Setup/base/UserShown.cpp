// The shown side: every question and box on screen, Notepad where the script has a text.
#include "Setup/base/Dialogs.h"
#include "Setup/base/Progress.h"
#include "Setup/base/SysProgram.h"
#include "Setup/base/UserDoor.h"

namespace {

class TShownUser : public TActingUser {
public:
    int Ask(const char* Template) override
    {
        ProgressQuestion(true);
        int Answer = int(DialogBoxParamA(GetModuleHandleA(nullptr), Template, nullptr, DlgProc, 0));
        ProgressQuestion(false);
        return Answer;
    }

    int Box(const std::string& Text, const char* Title, UINT Type) override
    {
        ProgressQuestion(true);
        int Answer = MessageBoxA(nullptr, Text.c_str(), Title, Type);
        ProgressQuestion(false);
        return Answer;
    }

    bool ShowText(const std::string& File, PROCESS_INFORMATION* Process) override
    {
        return Process != nullptr ? StartSystemProgram("notepad.exe", File, *Process)
                                  : OpenWithSystemProgram("notepad.exe", File);
    }

    // Its report is the log file's dialog, after the log is closed.
    void Conclude(const std::string&, UINT, const std::string&) override {}
};

}   // namespace

TUserDoor& ShownUser()
{
    static TShownUser Side;
    return Side;
}
