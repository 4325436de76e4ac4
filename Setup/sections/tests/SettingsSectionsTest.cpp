// The decisions of the settings sections, made over a machine of the test's own (FakeSettings.h):
// what a line finds decides the log's word, and a key that can't be made falls back. Then the
// plan's door against the real one on the registry itself, where they must part nowhere.
#include <windows.h>

#include <sddl.h>

#include <fstream>
#include <gtest/gtest.h>

#include "Rules/RegWriteText.h"
#include "Setup/base/Report.h"
#include "Setup/base/RunState.h"
#include "Setup/base/WinText.h"
#include "Setup/base/tests/FakeSettings.h"
#include "Setup/sections/IniWrite.h"
#include "Setup/sections/RegWrite.h"
#include "Setup/sections/StartMenu.h"

namespace {

// An INF file of the test's own, a new name each time: the system keeps the last file it read.
struct TTestInf {
    std::string Path;
    explicit TTestInf(const std::string& Text)
    {
        static int Count = 0;
        char Dir[MAX_PATH] = "";
        GetTempPathA(sizeof Dir, Dir);
        Path = std::string(Dir) + "SettingsTest." + std::to_string(GetCurrentProcessId()) + "." +
               std::to_string(++Count) + ".inf";
        std::ofstream(Path, std::ios::binary) << Text;
    }
    ~TTestInf()
    {
        ReleaseProfile(Path);
        DeleteFileA(Path.c_str());
    }
};

// Each test starts quiet, with an empty log and no errors, on the fake machine.
class SettingsSections : public testing::Test {
protected:
    TFakeSettings Machine;
    void SetUp() override
    {
        UseSettingsDoor(Machine);
        Switches.Quiet = true;
        LogText.clear();
        ErrorCount = 0;
    }
    void TearDown() override { ChooseSettingsDoor(false); }
};

const char* const Key = "HKCU\\Software\\T";

}   // namespace

TEST_F(SettingsSections, RegWriteWordsEachValueByWhatTheKeyHolds)
{
    const std::string Long(2601, 'x');
    const struct {
        const char* Name;   // of the value
        const char* Line;   // its type and value
        bool KeyThere, ReadOnly;
        DWORD Type;         // of the value there; REG_NONE: none
        std::string Data;   // its bytes
        const char* Log;    // how the log starts
        int Result;
    } Cases[] = {
        {"Name", "Reg_SZ,new", false, false, REG_NONE, "",
         "HKCU\\Software\\T\tcreated\r\nHKCU\\Software\\T\tName created\r\n", 0},
        {"Name", "Reg_SZ,new", true, false, REG_NONE, "", "HKCU\\Software\\T\tName created\r\n", 0},
        {"Name",
         "Reg_SZ,new",
         true,
         false,
         REG_SZ,
         {"new", 4},
         "HKCU\\Software\\T\tName refreshed",
         0},
        {"Name",
         "Reg_SZ,NEW",
         true,
         false,
         REG_SZ,
         {"new", 4},
         "HKCU\\Software\\T\tName changed",
         0},
        {"Name", "Reg_SZ,new", true, false, REG_DWORD, DWordData(1), "HKCU\\Software\\T\tName set",
         0},
        {"Name", "Reg_SZ,new", true, false, REG_SZ, Long, "HKCU\\Software\\T\tName set", 0},
        {"N", "Reg_DWORD, 1a", true, false, REG_DWORD, DWordData(26),
         "HKCU\\Software\\T\tN refreshed", 0},
        {"", "Reg_SZ,new", true, false, REG_NONE, "", "HKCU\\Software\\T\t<default> created", 0},
        // Without the right to write, a value as wanted already is no failure worth a box.
        {"Name",
         "Reg_SZ,new",
         true,
         true,
         REG_SZ,
         {"new", 4},
         "HKCU\\Software\\T\tName already ok\r\n",
         1},
        {"Name",
         "Reg_SZ,new",
         true,
         true,
         REG_SZ,
         {"old", 4},
         "HKCU\\Software\\T\tName changed: failed!\r\nError 5 at SetValue of HKCU\\Software\\T",
         1},
    };
    for (const auto& Case : Cases) {
        std::string Line = "A=HKCU,Software\\T," + std::string(Case.Name) + "," + Case.Line;
        SCOPED_TRACE(Line);
        Machine = TFakeSettings();
        if (Case.KeyThere)
            Machine.Keys.insert(Key);
        if (Case.ReadOnly)
            Machine.ReadOnly.insert(Key);
        if (Case.Type != REG_NONE)
            Machine.Values[std::string(Key) + "\\\\" + Case.Name] = {Case.Type, Case.Data};
        LogText.clear();
        TTestInf Inf("[RegWrite]\r\n" + Line + "\r\n");
        EXPECT_EQ(Case.Result, RegWriteSection("RegWrite", Inf.Path, wmRegistry));
        EXPECT_EQ(0u, LogText.rfind(Case.Log, 0)) << LogText;
    }
}

// A key below one that may be read but not given subkeys (HKLM\Software for a standard user):
// the section falls back, to the links of ErrSection where it names one.
TEST_F(SettingsSections, RegWriteFallsBackWhereTheKeyCantBeMade)
{
    Machine.Keys = {"HKLM\\Software"};
    Machine.Closed = {"HKLM\\Software"};
    TTestInf Inf("[RegWrite]\r\nA=HKLM,Software\\Vendor\\Product,Name,Reg_SZ,x\r\n"
                 "[RegWriteUninstall]\r\nErrSection=Links\r\n"
                 "A=HKLM,Software\\Vendor\\Product,Name,Reg_SZ,x\r\n"
                 "[Links]\r\nGone=C:\\App\\Uninstall,C:\\App\\b.txt\r\n");
    EXPECT_EQ(101, RegWriteSection("RegWrite", Inf.Path, wmRegistry));
    EXPECT_EQ(FallbackHeadText(false, wmRegistry) + NoErrSectionText("RegWrite"), LogText);
    LogText.clear();
    EXPECT_EQ(1, RegWriteSection("RegWriteUninstall", Inf.Path, wmUninstall));
    EXPECT_EQ(FallbackHeadText(true, wmUninstall) + "C:\\App\\Uninstall.LNK\tcreated\r\n" +
                  "Alternate Uninstall via Link sucessfully set\r\n",
              LogText);
    EXPECT_EQ(1u, Machine.Links.count("C:\\App\\Uninstall.LNK"));
    EXPECT_EQ(std::set<std::string>{"HKLM\\Software"}, Machine.Keys);
    EXPECT_TRUE(Machine.Values.empty());
}

// The start-menu folder takes LnkName as the INF holds it when the run reads it (the expanded
// value that [Strings] put there), and records MenuPath in it.
TEST_F(SettingsSections, LocateProgramsMenuReadsLnkNameThroughTheDoor)
{
    TTestInf Inf("[Strings]\r\nLnkName=%Product% Tools\r\n");
    Machine.Entries[Inf.Path + " [Strings] LnkName"] = "Acme Tools";
    std::string Folder;
    ASSERT_EQ(0, LocateProgramsMenu(Folder, Inf.Path));
    EXPECT_EQ("\\Acme Tools", Folder.substr(Folder.rfind('\\')));
    EXPECT_EQ(Folder, Machine.Entries[Inf.Path + " [Strings] MenuPath"]);
}

TEST_F(SettingsSections, IniWriteWritesEachLineAndShowsTheOneThatFails)
{
    TTestInf Inf("[IniWrite]\r\nA=S,K,v,C:\\Denied.ini\r\nB=S,K,w,C:\\App\\app.ini\r\n");
    Machine.Unwritable = {"C:\\Denied.ini"};
    IniWriteSection(Inf.Path);
    EXPECT_EQ("w", Machine.Entries["C:\\App\\app.ini [S] K"]);
    EXPECT_NE(std::string::npos, LogText.find(") at IniWriteS")) << LogText;
    EXPECT_GE(ErrorCount, 100);
}

namespace {

// A key of the test's own below HKCU\Software\SetupTest that may be read, but neither given
// subkeys nor values: a standard user's HKLM\Software. Removed again.
struct TClosedKey {
    std::string SubKey;
    HKEY Key = nullptr;
    explicit TClosedKey(const std::string& Name) : SubKey("Software\\SetupTest\\" + Name)
    {
        RegCreateKeyExA(HKEY_CURRENT_USER, SubKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &Key, nullptr);
        RegSetValueExA(Key, "Name", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2);
        EXPECT_TRUE(SetSecurity("O:SYD:P(A;;KR;;;WD)"));
    }
    ~TClosedKey()
    {
        SetSecurity("O:BAD:(A;;KA;;;WD)");
        RegCloseKey(Key);
        RegDeleteTreeA(HKEY_CURRENT_USER, SubKey.c_str());
    }
    bool SetSecurity(const char* Text)
    {
        PSECURITY_DESCRIPTOR Sd;
        if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(Text, SDDL_REVISION_1, &Sd,
                                                                  nullptr))
            return false;
        bool Ok = RegSetKeySecurity(Key, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                                    Sd) == ERROR_SUCCESS;
        LocalFree(Sd);
        return Ok;
    }
};

}   // namespace

// The plan's door gives each section the log that the real door then gives: a value below a
// missing subkey of the closed key, a value as wanted in it, and another.
TEST_F(SettingsSections, PlanAndRunPartNowhereOnAClosedKey)
{
    TClosedKey Closed("Closed" + std::to_string(GetCurrentProcessId()));
    const std::string Where = "A=HKCU," + Closed.SubKey;
    TTestInf Inf("[Missing]\r\n" + Where + "\\Missing\\Deeper,Name,Reg_SZ,x\r\n[Same]\r\n" + Where +
                 ",Name,Reg_SZ,x\r\n[Other]\r\n" + Where + ",Name,Reg_SZ,y\r\n");
    for (const char* Section : {"Missing", "Same", "Other"}) {
        SCOPED_TRACE(Section);
        std::string Logs[2];
        int Results[2];
        for (int Plan = 1; Plan >= 0; --Plan) {   // the plan first, as it comes before the run
            ChooseSettingsDoor(Plan != 0);
            LogText.clear();
            Results[Plan] = RegWriteSection(Section, Inf.Path, wmRegistry);
            Logs[Plan] = LogText;
        }
        EXPECT_EQ(Logs[0], Logs[1]);
        EXPECT_EQ(Results[0], Results[1]);
    }
    // Both fall back; neither makes the key.
    ChooseSettingsDoor(true);
    LogText.clear();
    RegWriteSection("Missing", Inf.Path, wmRegistry);
    EXPECT_EQ(FallbackHeadText(false, wmRegistry) + NoErrSectionText("Missing"), LogText);
}

// What the plan would have written into an INF is what it reads there afterwards, as the run
// reads what it wrote: the INF copy's LnkName, expanded by [Strings], not the script's.
TEST(PlanSettingsDoor, ReadsTheEntriesItWouldHaveWritten)
{
    TTestInf Inf("[Strings]\r\nLnkName=%Product% Tools\r\nOther=kept\r\n");
    TSettingsDoor& Plan = PlanSettingsDoor();
    ASSERT_TRUE(Plan.WriteEntry({"Strings", "LnkName", "Acme Tools", Inf.Path, false}));
    EXPECT_EQ("Acme Tools", Plan.ReadEntry("strings", "lnkname", Inf.Path));
    EXPECT_EQ("kept", Plan.ReadEntry("Strings", "Other", Inf.Path));
    EXPECT_EQ("%Product% Tools", ReadProfile("Strings", "LnkName", Inf.Path));
}
