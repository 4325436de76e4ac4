#include "Setup/base/Dialogs.h"

#include <gtest/gtest.h>
#include <shellapi.h>
#include <shlobj.h>

#include "Rules/Capacities.h"
#include "Setup/base/Report.h"
#include "Setup/base/RunState.h"
#include "Setup/base/tests/TempDir.h"
#include "Setup/tests/OwnDialogs.h"

namespace {

struct DlgProcTest : ::testing::Test {
    void SetUp() override
    {
        Caption = "SETUP V9.08.0007.0006";
        DlgRec = TDlgRec{};
        ErrorCount = 0;
    }
};

TEST_F(DlgProcTest, LogFileReportShowsItsTextsAndEscapeEndsWith2)
{
    std::string Path = "C:\\Apps\\LOGFILKV.LOG";
    DlgRec.Kind = dkLogFile;
    DlgRec.Text = "Installation successfully!";
    DlgRec.Buf = &Path[0];
    DlgRec.BufSize = int32_t(Path.size() + 1);
    bool FontWhileOpen = false;
    TOwnDialogs Robot({[&](HWND Dlg) {
        FontWhileOpen = LinkFont != nullptr;
        Close(Dlg);
    }});
    EXPECT_EQ(IDCANCEL, ShowDialog("MsgBoxLogFile"));
    EXPECT_EQ(IDCANCEL, DlgRec.Result);
    ASSERT_EQ(1u, Robot.Seen().size());
    TSeenDialog Seen = Robot.Seen()[0];
    EXPECT_EQ("SETUP V9.08.0007.0006", Seen.Title);
    EXPECT_EQ("Installation successfully!", Seen.Texts[idText]);
    EXPECT_EQ(Path, Seen.Texts[idLink]);
    EXPECT_EQ("show Logfile", Seen.Texts[idShowLog]);
    EXPECT_TRUE(Seen.Topmost);
    EXPECT_TRUE(FontWhileOpen);
    EXPECT_EQ(nullptr, LinkFont);   // deleted with the dialog
}

TEST_F(DlgProcTest, ContinueWithoutLinkShowsNoLinkAndMakesNoFont)
{
    DlgRec.Kind = dkContinue;
    DlgRec.Text = "Tool\rContinue Installation?";
    bool FontWhileOpen = true;
    TOwnDialogs Robot({[&](HWND Dlg) {
        FontWhileOpen = LinkFont != nullptr;
        Click(Dlg, IDOK);
    }});
    EXPECT_EQ(IDOK, ShowDialog("MsgBoxContinue"));
    TSeenDialog Seen = Robot.Seen().at(0);
    EXPECT_EQ("Tool\rContinue Installation?", Seen.Texts[idText]);
    EXPECT_EQ("", Seen.Texts[idLink]);
    EXPECT_FALSE(FontWhileOpen);
}

TEST_F(DlgProcTest, AlwaysAndSkipAreKeptForTheNextConflict)
{
    char Backup[BackupDirSize] = "C:\\Backup";
    DlgRec.Kind = dkFileConflict;
    DlgRec.Text = "A newer file exists";
    DlgRec.Buf = Backup;
    DlgRec.BufSize = sizeof Backup;
    TOwnDialogs Robot({[](HWND Dlg) {
                           Click(Dlg, idAlways);
                           Sleep(100);
                           Click(Dlg, IDOK);
                       },
                       [](HWND Dlg) { Click(Dlg, IDOK); }});
    EXPECT_EQ(IDOK, ShowDialog("MsgBoxSOC"));
    EXPECT_TRUE(DlgRec.Always);
    EXPECT_EQ(IDOK, DlgRec.Result);
    EXPECT_EQ(IDOK, ShowDialog("MsgBoxSOC"));
    auto Seen = Robot.Seen();
    ASSERT_EQ(2u, Seen.size());
    EXPECT_EQ(BST_UNCHECKED, Seen[0].Checked[idAlways]);
    EXPECT_EQ(BST_CHECKED, Seen[1].Checked[idAlways]);
    // Without a backup the backup target can't be edited.
    EXPECT_FALSE(Seen[0].Enabled[idBuf]);
    EXPECT_FALSE(Seen[0].Enabled[idBrowse]);
    EXPECT_EQ("C:\\Backup", Seen[0].Texts[idBuf]);
}

TEST_F(DlgProcTest, OverwriteWithBackupNeedsADirectoryItCanMake)
{
    TTempDir Temp("DlgProcTest");
    std::string Missing = Temp.Path + "\\no\\such";
    std::string Good = Temp.Path + "\\backup";
    char Backup[BackupDirSize];
    snprintf(Backup, sizeof Backup, "%s", Missing.c_str());
    DlgRec.Kind = dkFileConflict;
    DlgRec.Buf = Backup;
    DlgRec.BufSize = sizeof Backup;
    DlgRec.Backup = true;
    HWND Conflict = nullptr;
    TOwnDialogs Robot({[&](HWND Dlg) {
                           Conflict = Dlg;
                           Click(Dlg, idOverwrite);
                       },
                       [&](HWND Box) {
                           Click(Box, IDOK);
                           Sleep(100);
                           Type(Conflict, idBuf, Good);
                           Click(Conflict, idOverwrite);
                       }});
    EXPECT_EQ(idOverwrite, ShowDialog("MsgBoxSOC"));
    auto Seen = Robot.Seen();
    ASSERT_EQ(2u, Seen.size());
    EXPECT_EQ("Error: Could not find/create Directory!", Seen[1].Texts[0xFFFF]);
    EXPECT_EQ(Caption, Seen[1].Title);
    EXPECT_EQ(Good, Backup);
    EXPECT_TRUE(DlgRec.Backup);
    EXPECT_EQ(idOverwrite, DlgRec.Result);
    DWORD Attr = GetFileAttributesA(Good.c_str());
    EXPECT_TRUE(Attr != INVALID_FILE_ATTRIBUTES && (Attr & FILE_ATTRIBUTE_DIRECTORY));
}

TEST_F(DlgProcTest, PathOkReadsBackNoMoreThanTheBufferHolds)
{
    char Path[8] = "C:\\A";
    DlgRec.Kind = dkInstallPath;
    DlgRec.Text = "The Programm will be installed to";
    DlgRec.Buf = Path;
    DlgRec.BufSize = sizeof Path;
    TOwnDialogs Robot({[](HWND Dlg) {
        Type(Dlg, idBuf, "C:\\Program Files\\Tool");
        Click(Dlg, IDOK);
    }});
    EXPECT_EQ(IDOK, ShowDialog("PathSel"));
    EXPECT_STREQ("C:\\Prog", Path);
    EXPECT_EQ("C:\\A", Robot.Seen().at(0).Texts[idBuf]);
}

TEST_F(DlgProcTest, CancelledFolderBrowserChangesNothing)
{
    char Path[PathBufSize] = "C:\\windows";
    DlgRec.Kind = dkInstallPath;
    DlgRec.Buf = Path;
    DlgRec.BufSize = sizeof Path;
    DlgRec.NamePart = "windows";
    HWND PathDlg = nullptr;
    TOwnDialogs Robot({[&](HWND Dlg) {
                           PathDlg = Dlg;
                           Click(Dlg, idBrowse);
                       },
                       [&](HWND Browser) {
                           Close(Browser);
                           Sleep(200);
                           Click(PathDlg, IDOK);
                       }});
    EXPECT_EQ(IDOK, ShowDialog("PathSel"));
    EXPECT_EQ(0, ErrorCount);   // cancelling is no failure of the run
    EXPECT_STREQ("C:\\windows", Path);
    auto Seen = Robot.Seen();
    ASSERT_EQ(2u, Seen.size());
    bool TitleShown = false;
    for (auto& Text : Seen[1].Texts)
        TitleShown |= Text.second == "Select Destination Folder for Installation";
    EXPECT_TRUE(TitleShown);
}

TEST_F(DlgProcTest, BrowsedFolderGetsTheProposedLastName)
{
    char Path[PathBufSize] = "C:\\Program Files\\Tool";
    DlgRec.Kind = dkInstallPath;
    DlgRec.Buf = Path;
    DlgRec.BufSize = sizeof Path;
    DlgRec.NamePart = "Tool";
    HWND PathDlg = nullptr;
    TOwnDialogs Robot({[&](HWND Dlg) {
                           PathDlg = Dlg;
                           Click(Dlg, idBrowse);
                       },
                       [&](HWND Browser) {
                           SendMessageA(Browser, BFFM_SETSELECTIONA, TRUE, LPARAM("C:\\windows"));
                           Sleep(100);
                           Click(Browser, IDOK);
                           Sleep(200);
                           Click(PathDlg, IDOK);
                       }});
    EXPECT_EQ(IDOK, ShowDialog("PathSel"));
    EXPECT_STREQ("C:\\windows\\Tool", Path);
    EXPECT_EQ(0, ErrorCount);
}

}   // namespace
