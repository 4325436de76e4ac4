// The settings sections' decisions over a machine of the test's own (FakeSettings.h); then the
// plan's door against the real one on the registry itself, where the two must part nowhere.
#include <windows.h>

#include <sddl.h>

#include <fstream>
#include <gtest/gtest.h>

#include "Rules/RegWriteText.h"
#include "Setup/base/Report.h"
#include "Setup/base/RunState.h"
#include "Setup/base/UserDoor.h"
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
    ~TTestInf() { ReleaseProfile(Path), DeleteFileA(Path.c_str()); }
};

// Each test runs quiet, from an empty log and no errors, on the fake machine; the tests after it
// find the run as it was.
class SettingsSections : public testing::Test {
protected:
    TFakeSettings Machine;
    TSwitches Before = Switches;
    void SetUp() override
    {
        UseSettingsDoor(Machine);
        Switches.Quiet = true;
        ChooseUserDoor(false);   // boxes are logged, not shown
        LogText.clear();
        ErrorCount = 0;
    }
    void TearDown() override
    {
        ChooseSettingsDoor(false);
        Switches = Before;
        ChooseUserDoor(false);
        LogText.clear();
        ErrorCount = 0;
    }
};

}   // namespace

TEST_F(SettingsSections, RegWriteWordsEachValueByWhatTheKeyHolds)
{
    const std::string Key = "HKCU\\Software\\T", Long(2601, 'x');
    enum { Missing, There, ReadOnly };
    const struct {
        const char* Line;   // name, type and value
        int KeyState;
        DWORD Type;   // of the value there; REG_NONE: none
        std::string Data;
        const char* Log;   // how the log starts, after "HKCU\Software\T<TAB>"
        int Result;
    } Cases[] = {
        {"N,Reg_SZ,new", Missing, REG_NONE, "", "created\r\nHKCU\\Software\\T\tN created\r\n", 0},
        {"N,Reg_SZ,new", There, REG_NONE, "", "N created\r\n", 0},
        {",Reg_SZ,new", There, REG_NONE, "", "<default> created\r\n", 0},
        {"N,Reg_SZ,new", There, REG_SZ, {"new", 4}, "N refreshed\r\n", 0},
        {"N,Reg_SZ,NEW", There, REG_SZ, {"new", 4}, "N changed\r\n", 0},
        {"N,Reg_SZ,new", There, REG_DWORD, DWordData(1), "N set\r\n", 0},
        {"N,Reg_SZ,new", There, REG_SZ, Long, "N set\r\n", 0},   // too long to compare
        {"N,Reg_DWORD, 1a", There, REG_DWORD, DWordData(26), "N refreshed\r\n", 0},
        // Without the right to write, a value as wanted already is no failure worth a box.
        {"N,Reg_SZ,new", ReadOnly, REG_SZ, {"new", 4}, "N already ok\r\n", 1},
        {"N,Reg_SZ,new",
         ReadOnly,
         REG_SZ,
         {"old", 4},
         "N changed: failed!\r\nError 5 at SetValue of HKCU\\Software\\T",
         1},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Line);
        Machine = TFakeSettings();
        if (Case.KeyState != Missing)
            Machine.Keys.insert(Key);
        if (Case.KeyState == ReadOnly)
            Machine.ReadOnly.insert(Key);
        if (Case.Type != REG_NONE)
            Machine.Values[Key + "\\\\N"] = {Case.Type, Case.Data};
        LogText.clear();
        TTestInf Inf("[RegWrite]\r\nA=HKCU,Software\\T," + std::string(Case.Line) + "\r\n");
        EXPECT_EQ(Case.Result, RegWriteSection("RegWrite", Inf.Path, wmRegistry));
        EXPECT_EQ(0u, LogText.rfind(Key + "\t" + Case.Log, 0)) << LogText;
    }
}

// A key below one that may be read but not given subkeys (HKLM\Software for a standard user):
// the section falls back, to the links of ErrSection where it names one, and makes no key.
TEST_F(SettingsSections, RegWriteFallsBackWhereTheKeyCantBeMade)
{
    Machine.Keys = Machine.Closed = {"HKLM\\Software"};
    const std::string Line = "A=HKLM,Software\\Vendor\\Product,Name,Reg_SZ,x\r\n";
    TTestInf Inf("[RegWrite]\r\n" + Line + "[RegWriteUninstall]\r\nErrSection=Links\r\n" + Line +
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
}

TEST_F(SettingsSections, IniWriteShowsTheLineThatFailsAndWritesTheNext)
{
    TTestInf Inf("[IniWrite]\r\nA=S,K,v,C:\\Denied.ini\r\nB=S,K,w,C:\\App\\app.ini\r\n");
    Machine.Unwritable = {"C:\\Denied.ini"};
    IniWriteSection(Inf.Path);
    EXPECT_EQ("w", Machine.Entries["C:\\App\\app.ini [S] K"]);
    EXPECT_NE(std::string::npos, LogText.find(") at IniWriteS")) << LogText;
    EXPECT_GE(ErrorCount, 100);
}

namespace {

bool SetKeySecurity(HKEY Key, const char* Text)
{
    PSECURITY_DESCRIPTOR Sd;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(Text, SDDL_REVISION_1, &Sd, nullptr))
        return false;
    LONG Code = RegSetKeySecurity(Key, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, Sd);
    LocalFree(Sd);
    return Code == ERROR_SUCCESS;
}

}   // namespace

// A key that may be read but given neither subkeys nor values, as HKLM\Software is to a standard
// user: the plan's door gives each section the log that the real door then gives, for a value
// below a missing subkey of it, a value as wanted in it, and another.
TEST_F(SettingsSections, PlanAndRunPartNowhereOnAClosedKey)
{
    const std::string SubKey =
        "Software\\SetupTest\\Closed" + std::to_string(GetCurrentProcessId());
    HKEY Key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, SubKey.c_str(), 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, &Key, nullptr));
    RegSetValueExA(Key, "Name", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2);
    EXPECT_TRUE(SetKeySecurity(Key, "O:SYD:P(A;;KR;;;WD)"));
    const std::string Where = "A=HKCU," + SubKey;
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
        EXPECT_EQ(Logs[1], Logs[0]);
        EXPECT_EQ(Results[1], Results[0]);
        if (Section[0] == 'M') {   // both fall back
            EXPECT_EQ(FallbackHeadText(false, wmRegistry) + NoErrSectionText(Section), Logs[0]);
        }
    }
    SetKeySecurity(Key, "O:BAD:(A;;KA;;;WD)");
    RegCloseKey(Key);
    RegDeleteTreeA(HKEY_CURRENT_USER, SubKey.c_str());
}

// A link is "created" where there was none, replaced (with the old one's date) where there was,
// and one that can't be written ends the section with its line and the box's text in the log.
TEST_F(SettingsSections, LinksAreWordedByWhatWasThereAndAFailureEndsTheSection)
{
    Machine.Links["C:\\App\\Old.LNK"] = {};
    Machine.Unwritable = {"C:\\App\\Denied.LNK"};
    TTestInf Inf("[Links]\r\nA=C:\\App\\New,C:\\App\\b.txt\r\nB=C:\\App\\Old,C:\\App\\b.txt,-x\r\n"
                 "C=C:\\App\\Denied,C:\\App\\b.txt\r\nD=C:\\App\\Later,C:\\App\\b.txt\r\n");
    EXPECT_EQ(1, CreateSectionLinks("Links", "", Inf.Path));
    EXPECT_EQ("C:\\App\\New.LNK\tcreated\r\nC:\\App\\Old.LNK\t06/01/2020 12:00:00 replaced\r\n"
              "Error: can't create Link\r\nError: can't create Link C:\\App\\Denied.LNK\r\n",
              LogText);
    EXPECT_EQ("-x", Machine.Links["C:\\App\\Old.LNK"].Arguments);
    EXPECT_EQ(0u, Machine.Links.count("C:\\App\\Later.LNK"));
}
