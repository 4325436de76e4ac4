// Whole runs on a medium that holds more than the installer brought, where an elevated run must
// start nothing of it: a program under Notepad's name, a program's path typed as the folder; and
// Enter in the file-conflict dialog, which keeps the newer file.
#include <windows.h>

#include "Scenario.h"
#include "Setup/base/DlgIds.h"

namespace {

// Copies the planted program, which leaves <its path>.ran when started, to To.
void Plant(const std::string& To)
{
    std::string From = FixturesDir() + "\\PlantedProgram.exe";
    ASSERT_TRUE(CopyFileA(From.c_str(), To.c_str(), FALSE)) << From << " -> " << To;
}

// A visible dialog of any process whose control Id holds Part (the test's own path); nullptr if
// none.
HWND DialogWith(int Id, const std::string& Part)
{
    for (HWND Wnd = FindWindowExA(nullptr, nullptr, "#32770", nullptr); Wnd;
         Wnd = FindWindowExA(nullptr, Wnd, "#32770", nullptr)) {
        char Text[1024] = "";
        DWORD_PTR Got = 0;
        HWND Control = GetDlgItem(Wnd, Id);
        if (IsWindowVisible(Wnd) && Control &&
            SendMessageTimeoutA(Control, WM_GETTEXT, sizeof Text, LPARAM(Text), SMTO_ABORTIFHUNG,
                                2000, &Got) &&
            std::string(Text).find(Part) != std::string::npos)
            return Wnd;
    }
    return nullptr;
}

TEST(Planted, NotepadBesideSetupOrInTheCurrentFolderNeverStarts)
{
    const struct {
        const char* Case;
        const char* Folder;    // of the script, the run's current folder; "" for SETUP.EXE's own
        const char* Planted;   // where notepad.exe is put
    } Cases[] = {
        {"beside SETUP.EXE", "", ""},
        {"in the current folder", "Disk1\\", "Disk1\\"},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Case);
        TScenario Medium;
        TInstalledInf Inf("Planted");
        std::string Planted = Medium.Path(std::string(Case.Planted) + "notepad.exe");
        std::string Script = Medium.Path(Case.Folder + Inf.Name);
        Medium.WriteText(Script, Lines({"[Version]", "FormKv=KELVOR", "[Info]", "Before=Readme.txt",
                                        "After=Thanks.txt", "[Strings]",
                                        "MyProgramPath=" + Medium.Path("App")}));
        Medium.WriteText(Case.Folder + std::string("Readme.txt"), "Before\r\n");
        Medium.WriteText(Case.Folder + std::string("Thanks.txt"), "After\r\n");
        Plant(Planted);
        // Every Notepad of a run: the Before text, the After text, the log from the report.
        TRunResult Run = Medium.Run("\"" + Script + "\"", {"click 1", "click 106; click 1"});

        EXPECT_TRUE(RanAsAnswered(Run));
        EXPECT_TRUE(NothingAt(Planted + ".ran")) << Medium.ReadText(Planted + ".ran").value_or("");
        std::vector<std::string> Shown;
        for (const TNotepad& Notepad : Run.Notepads)
            Shown.push_back(Notepad.Title.find("LOGFILKV.LOG") != std::string::npos ? "log"
                                                                                    : Notepad.Text);
        EXPECT_EQ((std::vector<std::string>{"Before\r\n", "After\r\n", "log"}), Shown)
            << DescribeRun(Run);
    }
}

// A folder to install into, with a newer a.txt than the medium brings.
struct ConflictEnter : ::testing::Test {
    TScenario Medium;
    TInstalledInf Inf{"Enter"};
    std::string App = Medium.Path("App");
    std::string Record = Medium.Path("answers.ini");

    ConflictEnter()
    {
        Medium.WriteText(Inf.Name, Lines({"[Version]", "FormKv=KELVOR", "[Strings]",
                                          "MyProgramPath=" + App, "[Files]", "a.txt="}));
        Medium.WriteText("a.txt", "older");
        SetLastWriteTime(Medium.Path("a.txt"), June1(2001));
        Medium.WriteText(App + "\\a.txt", "newer");
        SetLastWriteTime(App + "\\a.txt", June1(2030));
    }

    // Runs with /record, answering the conflict dialog (the third) with Conflict.
    TRunResult Run(const std::string& Conflict) const
    {
        return Medium.Run("/record=" + Record + " " + Inf.Name,
                          {"click 1", "click 1", Conflict, "click 1"});
    }

    void ExpectSkipped(const TRunResult& Run) const
    {
        EXPECT_TRUE(RanAsAnswered(Run));
        ASSERT_LE(3u, Run.Dialogs.size()) << DescribeRun(Run);
        EXPECT_NE(std::string::npos, Run.Dialogs[2].Message().find("you should skip!"));
        EXPECT_TRUE(FileHolds(App + "\\a.txt", "newer"));
        EXPECT_EQ("skip", ProfileValue(Record, "Conflict1", "Answer"));
    }
};

TEST_F(ConflictEnter, TheDefaultButtonSkips)
{
    TRunResult Run = this->Run("default");
    ExpectSkipped(Run);
    EXPECT_EQ("default (click 1)", Run.Dialogs.at(2).Answer);
}

TEST_F(ConflictEnter, TheEnterKeyFromTheFirstFocusSkips)
{
    // Enter goes to the control that has the focus when the dialog comes up; the dialog manager
    // turns it into the default button's command, or the focused button's.
    HWND Dialog = nullptr;
    TWhen PressEnter([&] { return (Dialog = DialogWith(idText, App + "\\a.txt")) != nullptr; },
                     [&] {
                         Sleep(1000);   // the robot has read the dialog and waits
                         GUITHREADINFO Thread = {};
                         Thread.cbSize = sizeof Thread;
                         GetGUIThreadInfo(GetWindowThreadProcessId(Dialog, nullptr), &Thread);
                         HWND Focus = Thread.hwndFocus ? Thread.hwndFocus : Dialog;
                         PostMessageA(Focus, WM_KEYDOWN, VK_RETURN, 0x001C0001);
                         PostMessageA(Focus, WM_KEYUP, VK_RETURN, 0xC01C0001);
                     });
    TRunResult Run = this->Run("wait 3000");
    EXPECT_TRUE(PressEnter.Done());
    ExpectSkipped(Run);
}

TEST(Planted, TypedProgramPathInTheDifferentFolderPromptIsNoLinkToFollow)
{
    TScenario Medium;
    TInstalledInf Inf("TypedLink");
    // An earlier installation in Old, so that another folder brings the prompt, whose link then
    // shows the typed entry: here the path of a program on the medium.
    Medium.WriteText(Inf.Installed, Lines({"[Version]", "FormKv=KELVOR", "[Strings]",
                                           "MyProgramPath=" + Medium.Path("Old")}));
    Medium.WriteText(Inf.Name, Lines({"[Version]", "FormKv=KELVOR", "[Strings]",
                                      "MyProgramPath=" + Medium.Path("Old"), "[Files]", "a.txt="}));
    Medium.WriteText("a.txt", "a");
    std::string Typed = Medium.Path("Tools\\helper.exe");
    Medium.MakeDir("Tools");
    Plant(Typed);
    HWND Dialog = nullptr;
    TWhen ClickLink([&] { return (Dialog = DialogWith(idLink, Typed)) != nullptr; },
                    [&] {
                        Sleep(1000);   // the robot has read the prompt and waits
                        RECT Link;
                        GetWindowRect(GetDlgItem(Dialog, idLink), &Link);
                        POINT At = {(Link.left + Link.right) / 2, (Link.top + Link.bottom) / 2};
                        ScreenToClient(Dialog, &At);
                        PostMessageA(Dialog, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(At.x, At.y));
                        PostMessageA(Dialog, WM_LBUTTONUP, 0, MAKELPARAM(At.x, At.y));
                    });
    TRunResult Run = Medium.Run(
        Inf.Name, {"click 1", "type 102 " + Typed + "; click 1", "wait 3000; click 2", "click 1"});

    EXPECT_TRUE(RanAsAnswered(Run));
    EXPECT_TRUE(ClickLink.Done());
    ASSERT_LE(3u, Run.Dialogs.size()) << DescribeRun(Run);
    EXPECT_EQ(Typed, Run.Dialogs[2].TextOf(idLink));
    EXPECT_TRUE(NothingAt(Typed + ".ran"));
}

}   // namespace
