#include "Setup/base/UserDoor.h"

#include <functional>

#include <gtest/gtest.h>

#include "Setup/base/DlgRec.h"
#include "Setup/base/LogLines.h"
#include "Setup/base/OwnFile.h"
#include "Setup/base/tests/TempDir.h"

namespace {

using TPut = std::function<int(TUserDoor&)>;

// A question as a step puts it: DlgRec filled, then the side asked.
TPut Question(int32_t Kind, const char* Text, int32_t Preset = 0)
{
    return [=](TUserDoor& Side) {
        DlgRec = TDlgRec{};
        DlgRec.Kind = Kind;
        DlgRec.Text = Text;
        DlgRec.Preset = Preset;
        return Side.Ask("");
    };
}

TPut Box(const char* Text, UINT Type)
{
    return [=](TUserDoor& Side) { return Side.Box(Text, "", Type); };
}

}   // namespace

// What a quiet run, the plan of a quiet run and the plan of a shown run answer and log for each
// kind of question, box and Notepad text: the same answers, which the run then goes on with; the
// plans say what was asked and taken, the plan of a shown run names what the run would show
// where the quiet ones log a box's text.
TEST(UserDoor, QuietAndPlannedSidesAnswerAlikeAndSayWhatWouldShow)
{
    const std::string Ask = "Plan: would ask \"", Take = "Plan: would take the answer to \"";
    const std::string Continue = "Go on?\": Continue goes on, Cancel ends the run with nothing "
                                 "installed\r\nPlan: taking the default: Continue\r\n";
    const std::string InUse = "a.dll is in use\": Retry weighs the file again, Replace at "
                              "restart replaces it when Windows starts next, Cancel ends the "
                              "run\r\nPlan: taking the default: Replace at restart\r\n";
    const std::string Conflict = "a.dll is newer\": Skip keeps the installed file, Overwrite "
                                 "replaces it, Cancel ends the run\r\nPlan: taking the recorded "
                                 "answer: Overwrite\r\n";
    const std::string Failed = "Error to show Info with Notepad.EXE, Continue?";
    const struct {
        const char* What;
        TPut Put;
        int Answer, PlanAnswer;
        std::string Quiet, PlannedQuiet, PlannedShown;
    } Cases[] = {
        {"continue prompt", Question(dkContinue, "Go on?"), IDOK, IDOK, "", Take + Continue,
         Ask + Continue},
        {"file in use: nobody can close it", Question(dkInUse, "a.dll is in use"), idAtRestart,
         idAtRestart, "", Take + InUse, Ask + InUse},
        {"file conflict, answer recorded", Question(dkFileConflict, "a.dll is newer", idOverwrite),
         idOverwrite, idOverwrite, "", Take + Conflict, Ask + Conflict},
        {"yes/no box", Box(Failed.c_str(), MB_YESNO), IDYES, IDYES, Failed + "\r\n",
         Failed + "\r\n", "Plan: would show the box \"" + Failed + "\"\r\n"},
        {"retry box on two lines", Box("Disk full\rRetry?", MB_RETRYCANCEL), IDRETRY, IDRETRY,
         "Disk full Retry?\r\n", "Disk full Retry?\r\n",
         "Plan: would show the box \"Disk full Retry?\"\r\n"},
        {"error box", Box("Error: no", MB_OK | MB_ICONERROR), IDOK, IDOK, "Error: no\r\n",
         "Error: no\r\n", "Plan: would show the box \"Error: no\"\r\n"},
        {"text beside a prompt",
         [](TUserDoor& Side) {
             PROCESS_INFORMATION Process = {};
             return int(Side.ShowText("a.txt", &Process) && Process.hProcess == nullptr);
         },
         1, 1, "", "", "Plan: would show a.txt in Notepad\r\n"},
        {"text after the run", [](TUserDoor& Side) { return int(Side.ShowText("b.txt", nullptr)); },
         1, 1, "", "", "Plan: would show b.txt in Notepad at the end\r\n"},
        {"log file", [](TUserDoor& Side) { return int(Side.KeepsLog("C:\\A\\LOG")); }, 1, 0, "",
         "Plan: the log would be C:\\A\\LOG\r\n", "Plan: the log would be C:\\A\\LOG\r\n"},
        {"a line for the plan",
         [](TUserDoor& Side) {
             Side.Tell("folder x");
             return 0;
         },
         0, 0, "", "Plan: folder x\r\n", "Plan: folder x\r\n"},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.What);
        const struct {
            TUserDoor& Side;
            int Answer;
            const std::string& Log;
        } Sides[] = {{QuietUser(), Case.Answer, Case.Quiet},
                     {PlannedUser(false), Case.PlanAnswer, Case.PlannedQuiet},
                     {PlannedUser(true), Case.PlanAnswer, Case.PlannedShown}};
        for (const auto& Side : Sides) {
            LogText.clear();
            EXPECT_EQ(Side.Answer, Case.Put(Side.Side));
            EXPECT_EQ(Side.Log, LogText);
        }
    }
}

// A quiet run takes the proposed folder; when it can't be made, nobody is there to type another:
// the run gives up (IDABORT), which it reports as a failure, not as the user's cancel.
TEST(UserDoor, QuietRunGivesUpOnAFolderThatCantBeMade)
{
    TPut Path = Question(dkInstallPath, "");
    EXPECT_EQ(IDOK, Path(QuietUser()));
    EXPECT_EQ(IDABORT, Path(QuietUser()));
    EXPECT_EQ(IDABORT, DlgRec.Result);
}

namespace {

// Dir's files, each with its size: what a plan must leave as it was.
std::string Listing(const TTempDir& Dir)
{
    std::string Text;
    WIN32_FIND_DATAA Found;
    HANDLE Find = FindFirstFileA((Dir.Path + "\\*").c_str(), &Found);
    for (bool More = Find != INVALID_HANDLE_VALUE; More; More = FindNextFileA(Find, &Found))
        Text += std::string(Found.cFileName) + " " + std::to_string(Found.nFileSizeLow) + "\n";
    FindClose(Find);
    return Text;
}

}   // namespace

// The plans open the log as the run does, asking the system the same question and changing
// nothing: a missing file is made, one held open without sharing or in a missing folder can't
// be had, and where another file's second name is, the log is a new file beside it, which a plan
// names with the run's process id left open.
TEST(UserDoor, PlannedSidesOpenTheLogAsTheRunDoesAndChangeNothing)
{
    TTempDir Dir("UserDoorTest");
    std::string Own = Dir.Path + "\\OWN.LOG", Held = Dir.Path + "\\HELD.LOG",
                Other = Dir.Path + "\\other.txt", Second = Dir.Path + "\\SECOND.LOG";
    ASSERT_TRUE(WriteAtomic("earlier", Own) && WriteAtomic("held", Held) &&
                WriteAtomic("other", Other) &&
                CreateHardLinkA(Second.c_str(), Other.c_str(), nullptr));
    HANDLE Holder = CreateFileA(Held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    const std::string Beside = Dir.Path + "\\SECOND-";
    const struct {
        const char* What;
        std::string Path;
        TOwnOpen Found;
        bool Existed;
    } Cases[] = {
        {"missing file", Dir.Path + "\\NEW.LOG", ooOpened, false},
        {"own file, made anew", Own, ooOpened, true},
        {"held without sharing", Held, ooFailed, false},
        {"missing folder", Dir.Path + "\\none\\NEW.LOG", ooFailed, false},
        {"second name of another file", Second, ooForeign, true},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.What);
        std::string Before = Listing(Dir);
        for (TUserDoor* Side : {&PlannedUser(false), &PlannedUser(true), &QuietUser()}) {
            HANDLE File = INVALID_HANDLE_VALUE;
            bool Existed = false;
            std::string Made;
            EXPECT_EQ(Case.Found, Side->OpenLog(Case.Path, false, File, Existed, Made));
            EXPECT_EQ(Case.Existed, Existed);
            bool Run = Side == &QuietUser();
            EXPECT_EQ(Case.Found == ooForeign
                          ? Beside +
                                (Run ? std::to_string(GetCurrentProcessId()) : "<process id>") +
                                ".LOG"
                          : "",
                      Made);
            EXPECT_EQ(Run && (Case.Found == ooOpened || !Made.empty()),
                      File != INVALID_HANDLE_VALUE);
            if (!Run) {
                EXPECT_EQ(Before, Listing(Dir));
            }
            CloseHandle(File);
        }
    }
    CloseHandle(Holder);
    std::string After = Listing(Dir);   // what the run's side did
    EXPECT_NE(std::string::npos, After.find("NEW.LOG 0\n")) << After;
    EXPECT_NE(std::string::npos, After.find("OWN.LOG 0\n")) << After;
}
