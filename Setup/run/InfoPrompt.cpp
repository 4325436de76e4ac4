#include "Setup/run/InfoPrompt.h"

#include <cstring>

#include "Rules/ReportText.h"
#include "Setup/base/Dialogs.h"
#include "Setup/base/Report.h"
#include "Setup/base/RunState.h"
#include "Setup/base/UserDoor.h"
#include "Setup/base/WinText.h"

// The link stays in DlgRec after the prompt, so its text must outlive the call.
static std::string InfoUrl;

int InfoPrompt(const char* Key, const std::string& InfPath, DWORD WaitMs,
               PROCESS_INFORMATION& Process)
{
    Process = PROCESS_INFORMATION{};
    std::string File = ReadProfile("Info", Key, InfPath);
    if (!File.empty() && !User().ShowText(File, &Process)) {
        int Answer = MessageOrDefault("Error to show Info with Notepad.EXE, Continue?",
                                      Caption.c_str(), MB_YESNO);
        if (Answer == IDNO) {
            ++ErrorCount;
            RunEnd = reCancelled;
            return IDCANCEL;
        }
    }
    if (Process.hProcess != nullptr && WaitMs >= 1)
        Sleep(WaitMs);   // let Notepad's window come up before the prompt

    std::string Headline = ReadProfile("Info", (std::string(Key) + "Title").c_str(), InfPath);
    if (Headline.empty() && std::strcmp(Key, "DifferentDir") == 0)
        Headline = "Installation to a different Directory than previous Installation!";
    DlgRec.Text = ContinueMessage(Headline);

    // Without a URL the link keeps the caller's text (the folder just typed), shown, not opened.
    std::string Url = ReadProfile("Info", "URL", InfPath);
    DlgRec.WebLink = !Url.empty();
    if (!Url.empty()) {
        InfoUrl = Url;
        DlgRec.Buf = &InfoUrl[0];
        DlgRec.BufSize = int32_t(InfoUrl.size() + 1);
    }
    DlgRec.Kind = dkContinue;
    return ShowDialog("MsgBoxContinue");
}
