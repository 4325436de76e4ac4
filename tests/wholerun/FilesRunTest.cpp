// Whole runs of file installation that need code: names that only a directory search knows (a
// short name), and a file that another process holds open. The other cases of where files land
// and how an installed file is weighed against the new one are scenarios (scenarios/FilesRun.*).
#include <windows.h>

#include <algorithm>

#include "Scenario.h"

namespace {

const std::string Continue = "click 1";   // "Continue Installation?"
const std::string TakePath = "click 1";   // PATHSEL with the script's proposal
const std::string Close = "click 1";      // the report

// A medium whose script installs into App inside it.
struct FilesRun : ::testing::Test {
    TScenario Medium;
    TInstalledInf Inf{"Files"};
    std::string App = Medium.Path("App");
    std::string Log = App + "\\LOGFILKV.LOG";

    void WriteInf(std::initializer_list<std::string> Files) const
    {
        std::string Text =
            Lines({"[Version]", "FormKv=KELVOR", "[Strings]", "MyProgramPath=" + App, "[Files]"});
        for (const std::string& Line : Files)
            Text += Line + "\r\n";
        Medium.WriteText(Inf.Name, Text);
    }

    // Continue, take the proposed path, answer the file dialogs, close the report.
    TRunResult Install(std::vector<std::string> FileAnswers = {}) const
    {
        FileAnswers.insert(FileAnswers.begin(), {Continue, TakePath});
        FileAnswers.push_back(Close);
        return Medium.PlannedRun(Inf.Name, FileAnswers);
    }

    // A text file written in June of Year.
    void PutText(const std::string& Name, const std::string& Text, int Year) const
    {
        Medium.WriteText(Name, Text);
        SetLastWriteTime(Medium.Path(Name), June1(Year));
    }
};

// Many keys that each name one file of the same folder: every name is found as a search for it
// alone would find it, in the medium's own spelling, also by its short name, and also when the
// run itself has put it into the folder after the first keys.
TEST_F(FilesRun, KeysThatEachNameOneFileFindWhatASearchWouldFind)
{
    // A killed run's temporary file and folder on the medium are never installed.
    for (const char* Name :
         {"set\\a.txt", "set\\Mixed.TXT", "set\\Long File Name.txt", "set\\~setupkv00000001.tmp",
          "set\\~setupkv00020000.tmp\\x", "set\\folder\\folder", "later\\late.txt"})
        PutText(Name, Name, 2020);
    char Short[MAX_PATH] = "";
    ASSERT_NE(0u,
              GetShortPathNameA(Medium.Path("set\\Long File Name.txt").c_str(), Short, MAX_PATH));
    std::string ShortName = std::string(Short).substr(std::string(Short).rfind('\\') + 1);
    WriteInf({"set\\a.txt=", "set\\MIXED.txt=", "set\\missing.txt=", "set\\" + ShortName + "=",
              "set\\~setupkv00000001.tmp=", "set\\~setupkv00020000.tmp=", "set\\folder=",
              "later\\late.txt=" + Medium.Path("set"), "set\\late.txt="});

    TRunResult Run = Install();

    ASSERT_TRUE(RanAsAnswered(Run));
    EXPECT_TRUE(ShowsTemplate(Run, 2, "Installation successfully!"));
    // Nothing else: no temporary folder of the run's own is left either.
    std::vector<std::string> Names = NamesIn(App + "\\*");
    std::sort(Names.begin(), Names.end());
    EXPECT_EQ((std::vector<std::string>{"LOGFILKV.LOG", "Long File Name.txt", "Mixed.TXT", "a.txt",
                                        "folder", "late.txt"}),
              Names);
    EXPECT_TRUE(FileHolds(App + "\\folder\\folder", "set\\folder\\folder"));
}

TEST_F(FilesRun, FileHeldOpenByAnotherProcessStopsAllFurtherCopying)
{
    WriteInf({"first.txt=", "second.txt=%MyProgramPath%\\two"});
    PutText("first.txt", "new", 2021);
    PutText("App\\first.txt", "held", 2019);
    PutText("second.txt", "never copied", 2021);
    std::string Held = App + "\\first.txt";
    HANDLE Holder = CreateFileA(Held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, Holder);

    TRunResult Run = Install({"click 1"});
    CloseHandle(Holder);

    ASSERT_TRUE(RanAsAnswered(Run));
    ASSERT_EQ(4u, Run.Dialogs.size()) << DescribeRun(Run);   // the message once
    EXPECT_TRUE(
        ShowsMessageBox(Run, 2, "Error: can't copy " + Medium.Path("first.txt") + " to " + Held));
    EXPECT_TRUE(ShowsTemplate(Run, 3, "Installation done without success!"));
    EXPECT_TRUE(FileHolds(Held, "held"));
    EXPECT_TRUE(NothingAt(App + "\\two\\second.txt"));
    EXPECT_FALSE(FileContains(Log, Held + "\t"));
}

}   // namespace
