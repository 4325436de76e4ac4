// Whole runs of file installation: where each [Files] entry puts its files, how a file already on
// the system is weighed against the new one (by version, else by date), what the user is asked
// and what the log says about every file.
#include <windows.h>

#include <algorithm>

#include "Scenario.h"
#include "Setup/base/DlgIds.h"

namespace {

const std::string Continue = "click 1";   // "Continue Installation?"
const std::string TakePath = "click 1";   // PATHSEL with the script's proposal
const std::string Close = "click 1";      // the report
const std::string Skip = "click 1";
const std::string Overwrite = "click 4";
const std::string CancelInstall = "click 2";
const std::string Lang = "04E40409";      // the fixtures' translation: US English, Latin-1

// A DLL of the fixtures folder, built beside SETUP.EXE: Version1_2_0_0.dll and so on.
std::string Fixture(const std::string& Version)
{
    return FixturesDir() + "\\Version" + Version + ".dll";
}

void SetWritten(const std::string& Path, WORD Year) { SetLastWriteTime(Path, June1(Year)); }

// The exact last-write time of the file at Path; 0 when it can't be read.
uint64_t WrittenAt(const std::string& Path)
{
    WIN32_FILE_ATTRIBUTE_DATA Data;
    if (!GetFileAttributesExA(Path.c_str(), GetFileExInfoStandard, &Data))
        return 0;
    return (uint64_t(Data.ftLastWriteTime.dwHighDateTime) << 32) |
           Data.ftLastWriteTime.dwLowDateTime;
}

// A medium whose script installs into App inside it.
struct FilesRun : ::testing::Test {
    TScenario Medium;
    TInstalledInf Inf{"Files"};
    std::string App = Medium.Path("App");
    std::string Log = App + "\\LOGFILKV.LOG";

    // Between runs of one test, so that none takes the one before for an earlier installation.
    void RemoveInfCopy() const { DeleteFileA(Inf.Installed.c_str()); }

    void WriteInf(std::initializer_list<std::string> Files) const
    {
        std::string Text = Lines({"[Version]", "FormKv=KELVOR", "[Strings]",
                                  "MyProgramPath=" + App, "[Files]"});
        for (const std::string& Line : Files)
            Text += Line + "\r\n";
        Medium.WriteText(Inf.Name, Text);
    }

    // Continue, take the proposed path, answer the file dialogs, close the report.
    TRunResult Install(std::vector<std::string> FileAnswers = {}) const
    {
        FileAnswers.insert(FileAnswers.begin(), {Continue, TakePath});
        FileAnswers.push_back(Close);
        return Medium.Run(Inf.Name, FileAnswers);
    }

    void PutFixture(const std::string& Version, const std::string& Name) const
    {
        std::string Path = Medium.Path(Name);
        size_t Slash = Path.rfind('\\');
        Medium.MakeDir(Path.substr(0, Slash));
        if (!CopyFileA(Fixture(Version).c_str(), Path.c_str(), FALSE))
            ADD_FAILURE() << "can't copy fixture " << Fixture(Version) << ": " << GetLastError();
    }

    // A text file written in June of Year.
    void PutText(const std::string& Name, const std::string& Text, WORD Year) const
    {
        Medium.WriteText(Name, Text);
        SetWritten(Medium.Path(Name), Year);
    }

    // The log's line about the installed file Name (in App), without its line end.
    std::string LineAbout(const std::string& Name) const
    {
        std::string Text = Medium.ReadText(Log).value_or("");
        std::string Head = "\r\n" + App + "\\" + Name + "\t";
        size_t At = Text.find(Head);
        if (At == std::string::npos)
            return "<no line about " + Name + ">";
        At += 2;
        return Text.substr(At, Text.find("\r\n", At) - At);
    }

    std::string Line(const std::string& Name, const std::string& Tail) const
    {
        return App + "\\" + Name + "\t" + Tail;
    }

    // The file at Path has the bytes of the file at Original.
    ::testing::AssertionResult SameFile(const std::string& Path, const std::string& Original) const
    {
        return FileHolds(Path, Medium.ReadText(Original).value_or("<unreadable " + Original + ">"));
    }
};

TEST_F(FilesRun, EntriesLandWhereKeyAndValueSay)
{
    WriteInf({"readme.txt=", "bin\\*.dll=%MyProgramPath%\\bin",
              "lib\\*.dll=%MyProgramPath%\\deep\\lib", "data\\*.*=%MyProgramPath%\\data",
              "\\setup.ini=%MyProgramPath%\\conf", "tools\\*.exe/S=%MyProgramPath%\\tools"});
    PutText("readme.txt", "Read me\r\n", 2020);
    PutText("bin\\one.dll", "one", 2020);
    PutText("bin\\two.dll", "two", 2020);
    PutText("bin\\notes.txt", "not a dll", 2020);
    PutText("bin\\sub\\three.dll", "below bin", 2020);
    PutText("lib\\four.dll", "four", 2020);
    PutText("data\\top.dat", "top", 2020);
    PutText("data\\level1\\mid.dat", "mid", 2020);
    PutText("data\\level1\\level2\\low.dat", "low", 2020);
    PutText("setup.ini", "[x]\r\n", 2020);
    PutText("tools\\run.exe", "run", 2020);
    PutText("tools\\sub\\more.exe", "more", 2020);
    PutText("tools\\sub\\notes.txt", "not an exe", 2020);
    // A hidden directory that exists already is entered, not made again.
    Medium.MakeDir("App\\data\\level1");
    SetFileAttributesA((App + "\\data\\level1").c_str(), FILE_ATTRIBUTE_HIDDEN);

    TRunResult Run = Install();

    ASSERT_TRUE(RanAsAnswered(Run));
    EXPECT_TRUE(ShowsTemplate(Run, 2, "Installation successfully!"));
    EXPECT_TRUE(FileHolds(App + "\\readme.txt", "Read me\r\n"));
    EXPECT_TRUE(FileHolds(App + "\\bin\\one.dll", "one"));
    EXPECT_TRUE(FileHolds(App + "\\bin\\two.dll", "two"));
    EXPECT_TRUE(NothingAt(App + "\\bin\\notes.txt"));
    EXPECT_TRUE(NothingAt(App + "\\bin\\sub"));   // unmarked: *.dll names no subdirectory
    EXPECT_TRUE(FileHolds(App + "\\deep\\lib\\four.dll", "four"));
    EXPECT_TRUE(FileHolds(App + "\\data\\top.dat", "top"));
    EXPECT_TRUE(FileHolds(App + "\\data\\level1\\mid.dat", "mid"));
    EXPECT_TRUE(FileHolds(App + "\\data\\level1\\level2\\low.dat", "low"));
    EXPECT_TRUE(FileHolds(App + "\\conf\\setup.ini", "[x]\r\n"));
    EXPECT_TRUE(FileHolds(App + "\\tools\\run.exe", "run"));
    EXPECT_TRUE(FileHolds(App + "\\tools\\sub\\more.exe", "more"));   // marked: every subdirectory
    EXPECT_TRUE(NothingAt(App + "\\tools\\sub\\notes.txt"));          // but only matching files

    std::string Date = DateText(2020);
    EXPECT_EQ(Line("readme.txt", Date + "  created"), LineAbout("readme.txt"));
    EXPECT_EQ(Line("bin\\one.dll", Date + "  created"), LineAbout("bin\\one.dll"));
    EXPECT_EQ(Line("data\\level1\\level2\\low.dat", Date + "  created"),
              LineAbout("data\\level1\\level2\\low.dat"));
    // A single new level is made without a line; more levels are each logged, with an empty
    // line after them, before the entry's files.
    EXPECT_FALSE(FileContains(Log, App + "\\bin\t created"));
    EXPECT_TRUE(FileContains(Log, App + "\\deep\t created\r\n" + App + "\\deep\\lib\t created\r\n"
                                      "\r\n" + App + "\\deep\\lib\\four.dll\t"));
}

// Many keys that each name one file of the same folder: every name is found as a search for it
// alone would find it, in the medium's own spelling, also by its short name, and also when the
// run itself has put it into the folder after the first keys.
TEST_F(FilesRun, KeysThatEachNameOneFileFindWhatASearchWouldFind)
{
    // A killed run's temporary file and folder on the medium are never installed.
    for (const char* Name : {"set\\a.txt", "set\\Mixed.TXT", "set\\Long File Name.txt",
                             "set\\~setupkv00000001.tmp", "set\\~setupkv00020000.tmp\\x",
                             "set\\folder\\folder", "later\\late.txt"})
        PutText(Name, Name, 2020);
    char Short[MAX_PATH] = "";
    ASSERT_NE(0u, GetShortPathNameA(Medium.Path("set\\Long File Name.txt").c_str(), Short,
                                    MAX_PATH));
    std::string ShortName = std::string(Short).substr(std::string(Short).rfind('\\') + 1);
    WriteInf({"set\\a.txt=", "set\\MIXED.txt=", "set\\missing.txt=", "set\\" + ShortName + "=",
              "set\\~setupkv00000001.tmp=", "set\\~setupkv00020000.tmp=", "set\\folder=", "later\\late.txt=" + Medium.Path("set"),
              "set\\late.txt="});

    TRunResult Run = Install();

    ASSERT_TRUE(RanAsAnswered(Run));
    EXPECT_TRUE(ShowsTemplate(Run, 2, "Installation successfully!"));
    // Nothing else: no temporary folder of the run's own is left either.
    std::vector<std::string> Names = NamesIn(App + "\\*");
    std::sort(Names.begin(), Names.end());
    EXPECT_EQ((std::vector<std::string>{"LOGFILKV.LOG", "Long File Name.txt", "Mixed.TXT",
                                        "a.txt", "folder", "late.txt"}),
              Names);
    EXPECT_TRUE(FileHolds(App + "\\folder\\folder", "set\\folder\\folder"));
}

// A file of the same date already installed is refreshed: afterwards it holds the new file's
// bytes and attributes, whatever differed, and the log says "refreshed" each time.
TEST_F(FilesRun, RefreshedFilesEndAsTheNewOnesWhateverDiffered)
{
    const struct {
        const char* Name;
        const char* Installed;   // the bytes of the file on the system, dated as the new one
        DWORD Attributes;        // and its attributes
    } Cases[] = {
        {"same.txt", "new bytes", FILE_ATTRIBUTE_ARCHIVE},
        {"bytes.txt", "old bytes", FILE_ATTRIBUTE_ARCHIVE},   // same size and date
        {"longer.txt", "new bytes and more", FILE_ATTRIBUTE_ARCHIVE},
        {"hidden.txt", "new bytes", FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN},
        {"archived.txt", "new bytes", FILE_ATTRIBUTE_NORMAL},
    };
    std::vector<std::string> Keys;
    for (const auto& Case : Cases) {
        PutText(Case.Name, "new bytes", 2020);
        std::string Installed = App + "\\" + Case.Name;
        Medium.MakeDir("App");
        Medium.WriteText(Installed, Case.Installed);
        SetWritten(Installed, 2020);
        SetFileAttributesA(Installed.c_str(), Case.Attributes);
        Keys.push_back(std::string(Case.Name) + "=");
    }
    WriteInf({Keys[0], Keys[1], Keys[2], Keys[3], Keys[4]});
    ASSERT_TRUE(RanAsAnswered(Install()));
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Name);
        std::string Installed = App + "\\" + Case.Name;
        EXPECT_TRUE(FileHolds(Installed, "new bytes"));
        DWORD Attributes = GetFileAttributesA(Installed.c_str());
        EXPECT_EQ(DWORD(FILE_ATTRIBUTE_ARCHIVE), Attributes & (FILE_ATTRIBUTE_ARCHIVE |
                                                                FILE_ATTRIBUTE_HIDDEN));
        EXPECT_EQ(Line(Case.Name, DateText(2020) + "  refreshed"), LineAbout(Case.Name));
    }
}

// The system's DLL is newer: the version message, then each of the four answers.
TEST_F(FilesRun, NewerInstalledVersionAsksAndEachAnswerIsFollowed)
{
    const struct {
        const char* What;
        std::string Answer;
        const char* Kept;   // fixture version found at App\lib.dll afterwards
        std::string Logged;
    } Cases[] = {
        {"skip", Skip, "1_3_0_0",
         "1.03.0000.0000 " + Lang + " not replaced by 1.02.0000.0000 " + Lang},
        {"overwrite", Overwrite, "1_2_0_0",
         "1.03.0000.0000 " + Lang + " replaced by 1.02.0000.0000 " + Lang},
        {"overwrite with backup", "check 104; click 4", "1_2_0_0",
         "1.02.0000.0000 " + Lang + " backed up to " + App + "\\old"},
        {"cancel", CancelInstall, "1_3_0_0", ""},
    };
    WriteInf({"lib.dll=", "later.txt="});
    PutFixture("1_2_0_0", "lib.dll");
    PutText("later.txt", "after the conflict", 2020);
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.What);
        PutFixture("1_3_0_0", "App\\lib.dll");
        for (const char* Left : {"\\later.txt", "\\old\\lib.dll", "\\LOGFILKV.LOG"})
            DeleteFileA((App + Left).c_str());
        RemoveInfCopy();

        TRunResult Run = Install({Case.Answer});

        ASSERT_TRUE(RanAsAnswered(Run));
        EXPECT_TRUE(ShowsTemplate(Run, 2, "The file \"" + App + "\\lib.dll\" in your system has "
                                          "the version 1.03.0000.0000 and you tried to install "
                                          "version 1.02.0000.0000, you should skip!"));
        EXPECT_TRUE(SameFile(App + "\\lib.dll", Fixture(Case.Kept)));
        if (Case.Answer == CancelInstall) {
            EXPECT_FALSE(FileContains(Log, Line("lib.dll", "")));
            EXPECT_TRUE(ShowsTemplate(Run, 3, "Installation done without success!"));
            EXPECT_TRUE(NothingAt(App + "\\later.txt"));
            EXPECT_TRUE(FileContains(Log, "FileCopy canceled by User\r\nAbnormal Termination!"));
            continue;
        }
        EXPECT_EQ(Line("lib.dll", Case.Logged), LineAbout("lib.dll"));
        EXPECT_TRUE(ShowsTemplate(Run, 3, "Installation successfully!"));
        EXPECT_TRUE(FileHolds(App + "\\later.txt", "after the conflict"));
        if (Case.Answer != Overwrite && Case.Answer != Skip) {
            // The old file is in the backup, and the replacement is logged after the backup.
            EXPECT_TRUE(SameFile(App + "\\old\\lib.dll", Fixture("1_3_0_0")));
            EXPECT_TRUE(FileContains(Log, Line("lib.dll", Case.Logged) + "\r\n" +
                                              Line("lib.dll", "1.03.0000.0000 " + Lang +
                                                              " replaced by 1.02.0000.0000 " +
                                                              Lang) + "\r\n"));
        }
    }
}

TEST_F(FilesRun, VersionsThatAreNotOlderReplaceWithoutAsking)
{
    WriteInf({"*.dll="});
    PutFixture("1_2_0_0", "same.dll");
    PutFixture("1_2_0_0", "App\\same.dll");
    SetWritten(Medium.Path("App\\same.dll"), 2001);   // the same bytes, only older
    PutFixture("1_3_0_0", "newer.dll");
    PutFixture("1_2_0_0", "App\\newer.dll");
    PutFixture("1_2_0_0", "overtext.dll");
    PutText("App\\overtext.dll", "no version resource", 2030);

    TRunResult Run = Install();

    ASSERT_TRUE(RanAsAnswered(Run));
    EXPECT_TRUE(ShowsTemplate(Run, 2, "Installation successfully!"));
    EXPECT_EQ(Line("same.dll", "1.02.0000.0000 " + Lang + " refreshed"), LineAbout("same.dll"));
    EXPECT_EQ(WrittenAt(Medium.Path("same.dll")), WrittenAt(App + "\\same.dll"));
    EXPECT_EQ(Line("newer.dll", "1.02.0000.0000 " + Lang + " replaced by 1.03.0000.0000 " + Lang),
              LineAbout("newer.dll"));
    // A version beats any date: the text file is younger, yet it goes without a question.
    EXPECT_EQ(Line("overtext.dll", "1.02.0000.0000 " + Lang + " created"),
              LineAbout("overtext.dll"));
    EXPECT_TRUE(SameFile(App + "\\newer.dll", Fixture("1_3_0_0")));
    EXPECT_TRUE(SameFile(App + "\\overtext.dll", Fixture("1_2_0_0")));
}

// Counted as ((Major * 1000 + Minor) * 1000 + Release) * 1000 + Build, 1.0.1000.0 would equal
// 1.1.0.0 and silently replace it.
TEST_F(FilesRun, BuildNumbersOfThousandsDoNotSpillIntoTheNextPart)
{
    WriteInf({"spill.dll="});
    PutFixture("1_0_1000_0", "spill.dll");
    PutFixture("1_1_0_0", "App\\spill.dll");

    TRunResult Run = Install({Skip});

    ASSERT_TRUE(RanAsAnswered(Run));
    EXPECT_TRUE(ShowsTemplate(Run, 2, "The file \"" + App + "\\spill.dll\" in your system has "
                                      "the version 1.01.0000.0000 and you tried to install "
                                      "version 1.00.1000.0000, you should skip!"));
    EXPECT_EQ(Line("spill.dll",
                   "1.01.0000.0000 " + Lang + " not replaced by 1.00.1000.0000 " + Lang),
              LineAbout("spill.dll"));
    EXPECT_TRUE(SameFile(App + "\\spill.dll", Fixture("1_1_0_0")));
}

TEST_F(FilesRun, FilesWithoutVersionAreDecidedByDate)
{
    WriteInf({"older.txt=", "same.txt=", "newer.txt="});
    PutText("older.txt", "from 2019", 2019);
    PutText("App\\older.txt", "kept from 2021", 2021);
    PutText("same.txt", "new 2020", 2020);
    PutText("App\\same.txt", "old 2020", 2020);
    PutText("newer.txt", "from 2021", 2021);
    PutText("App\\newer.txt", "old 2019", 2019);

    TRunResult Run = Install({Skip});

    ASSERT_TRUE(RanAsAnswered(Run));
    ASSERT_EQ(4u, Run.Dialogs.size()) << DescribeRun(Run);   // one question only
    std::string Old = DateText(2019), Mid = DateText(2020), New = DateText(2021);
    EXPECT_TRUE(ShowsTemplate(Run, 2, "The file \"" + App + "\\older.txt\" in your system has "
                                      "the Date " + New + " and you tried to install a file "
                                      "dated " + Old + ", you should skip!"));
    EXPECT_TRUE(FileHolds(App + "\\older.txt", "kept from 2021"));
    EXPECT_TRUE(FileHolds(App + "\\same.txt", "new 2020"));
    EXPECT_TRUE(FileHolds(App + "\\newer.txt", "from 2021"));
    // Dates have no language: two blanks after the first label, one at the end of the line.
    EXPECT_EQ(Line("older.txt", New + "  not replaced by " + Old + " "), LineAbout("older.txt"));
    EXPECT_EQ(Line("same.txt", Mid + "  refreshed"), LineAbout("same.txt"));
    EXPECT_EQ(Line("newer.txt", Old + "  replaced by " + New + " "), LineAbout("newer.txt"));
}

// "always" holds for the rest of the directory where it was ticked; a subdirectory asks again.
TEST_F(FilesRun, AlwaysAnswersTheRestOfADirectoryButNotItsSubdirectories)
{
    WriteInf({"lib\\*.dll/s=%MyProgramPath%\\lib"});
    for (const char* Name : {"a.dll", "b.dll", "sub\\c.dll"}) {
        PutFixture("1_2_0_0", std::string("lib\\") + Name);
        PutFixture("1_3_0_0", std::string("App\\lib\\") + Name);
    }

    TRunResult Run = Install({"check 105; click 1", Overwrite});

    ASSERT_TRUE(RanAsAnswered(Run));
    ASSERT_EQ(5u, Run.Dialogs.size()) << DescribeRun(Run);
    EXPECT_TRUE(ShowsTemplate(Run, 3, "The file \"" + App + "\\lib\\sub\\c.dll\" in your system "
                                      "has the version 1.03.0000.0000 and you tried to install "
                                      "version 1.02.0000.0000, you should skip!"));
    ASSERT_NE(nullptr, Run.Dialogs[3].Find(idAlways));
    EXPECT_EQ(BST_UNCHECKED, Run.Dialogs[3].Find(idAlways)->Checked);
    std::string Kept = "1.03.0000.0000 " + Lang + " not replaced by 1.02.0000.0000 " + Lang;
    EXPECT_EQ(Line("lib\\a.dll", Kept), LineAbout("lib\\a.dll"));
    EXPECT_EQ(Line("lib\\b.dll", Kept), LineAbout("lib\\b.dll"));
    EXPECT_EQ(Line("lib\\sub\\c.dll",
                   "1.03.0000.0000 " + Lang + " replaced by 1.02.0000.0000 " + Lang),
              LineAbout("lib\\sub\\c.dll"));
}

// The backup directory typed with "always" serves every later conflict it answers; the default
// directory was never made, so backups into it would all fail.
TEST_F(FilesRun, AlwaysWithBackupKeepsTheConfirmedDirectory)
{
    // The first conflict only switches the backup on (the check box keeps its state), so that
    // the backup directory can be typed in the second.
    WriteInf({"first.dll=", "lib\\*.dll=%MyProgramPath%\\lib"});
    PutFixture("1_2_0_0", "first.dll");
    PutFixture("1_3_0_0", "App\\first.dll");
    for (const char* Name : {"a.dll", "b.dll"}) {
        PutFixture("1_2_0_0", std::string("lib\\") + Name);
        PutFixture("1_3_0_0", std::string("App\\lib\\") + Name);
    }
    std::string Saved = Medium.Path("Saved");

    TRunResult Run = Install({"check 104; click 1", "type 102 " + Saved + "; check 105; click 4"});

    ASSERT_TRUE(RanAsAnswered(Run));
    ASSERT_EQ(5u, Run.Dialogs.size()) << DescribeRun(Run);
    EXPECT_TRUE(ShowsTemplate(Run, 4, "Installation successfully!"));
    EXPECT_EQ(App + "\\old", Run.Dialogs[3].TextOf(idBuf));   // proposed anew when asked
    for (const char* Name : {"a.dll", "b.dll"}) {
        SCOPED_TRACE(Name);
        EXPECT_TRUE(SameFile(Saved + "\\" + Name, Fixture("1_3_0_0")));
        EXPECT_TRUE(SameFile(App + "\\lib\\" + Name, Fixture("1_2_0_0")));
        EXPECT_TRUE(FileContains(Log, Line(std::string("lib\\") + Name,
                                           "1.02.0000.0000 " + Lang + " backed up to " + Saved)));
    }
    EXPECT_TRUE(NothingAt(App + "\\old"));
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
    EXPECT_TRUE(ShowsMessageBox(Run, 2, "Error: can't copy " + Medium.Path("first.txt") + " to " +
                                            Held));
    EXPECT_TRUE(ShowsTemplate(Run, 3, "Installation done without success!"));
    EXPECT_TRUE(FileHolds(Held, "held"));
    EXPECT_TRUE(NothingAt(App + "\\two\\second.txt"));
    EXPECT_FALSE(FileContains(Log, Held + "\t"));
}

TEST_F(FilesRun, SubdirectoryThatCannotBeMadeStopsCopyingAndFailsTheRun)
{
    WriteInf({"data\\*.*=%MyProgramPath%\\data", "later.txt="});
    PutText("data\\level1\\deep.dat", "deep", 2020);
    PutText("later.txt", "later", 2020);
    PutText("App\\data\\level1", "a file where the directory should go", 2020);

    TRunResult Run = Install({"click 1"});

    ASSERT_TRUE(RanAsAnswered(Run));
    std::string Message = "Error: couldn't create the directory " + App + "\\data\\level1";
    EXPECT_TRUE(ShowsMessageBox(Run, 2, Message));
    EXPECT_TRUE(ShowsTemplate(Run, 3, "Installation done without success!"));
    EXPECT_TRUE(NothingAt(App + "\\later.txt"));
    EXPECT_TRUE(FileContains(Log, Message + "\r\n\r\n"));
}

} // namespace
