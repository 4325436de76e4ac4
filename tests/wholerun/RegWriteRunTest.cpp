// Whole runs of [RegWrite] and [RegWriteUninstall]: values written and reported, lines refused,
// the uninstall entry that a later run finds again, and links standing in for a key that can't
// be written.
#include <windows.h>

#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>

#include "Scenario.h"
#include "Setup/base/DlgIds.h"

namespace {

// A value as the registry holds it: its type and its bytes; Type REG_NONE when it is missing.
struct TStored {
    DWORD Type = REG_NONE;
    std::string Data;
};

TStored ReadValue(HKEY Root, const std::string& SubKey, const std::string& Name)
{
    TStored Value;
    HKEY Key;
    if (RegOpenKeyExA(Root, SubKey.c_str(), 0, KEY_QUERY_VALUE, &Key) != ERROR_SUCCESS)
        return Value;
    DWORD Size = 0;
    if (RegQueryValueExA(Key, Name.c_str(), nullptr, &Value.Type, nullptr, &Size) ==
        ERROR_SUCCESS) {
        Value.Data.assign(Size, '\0');
        RegQueryValueExA(Key, Name.c_str(), nullptr, &Value.Type,
                         reinterpret_cast<BYTE*>(&Value.Data[0]), &Size);
    } else {
        Value.Type = REG_NONE;
    }
    RegCloseKey(Key);
    return Value;
}

// REG_SZ data as written: the text and its NUL.
std::string StringData(const std::string& Text) { return Text + '\0'; }

std::string DWordData(uint32_t Number) { return std::string(reinterpret_cast<char*>(&Number), 4); }

void SetExpandString(const std::string& SubKey, const std::string& Name, const std::string& Text)
{
    HKEY Key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_CURRENT_USER, SubKey.c_str(), &Key));
    RegSetValueExA(Key, Name.c_str(), 0, REG_EXPAND_SZ,
                   reinterpret_cast<const BYTE*>(Text.c_str()), DWORD(Text.size() + 1));
    RegCloseKey(Key);
}

// A medium with a signed INF of the test's own, without [Files], so no path dialog comes; the
// log goes to the medium's tmp folder.
struct RegWriteRun : ::testing::Test {
    TScenario Medium;
    TTestKey Key;
    TInstalledInf Inf{"SetupTest.RegWrite."};

    TRunResult RunWith(const std::string& Sections, const std::vector<std::string>& Answers)
    {
        Medium.WriteText(Inf.Name, Lines({"[Version]", "FormKv=KELVOR", "[Strings]",
                                          "MyProgramPath=" + Medium.Path("App")}) +
                                       Sections);
        return Medium.Run(Inf.Name, Answers);
    }
    std::string Log() const { return Medium.Path("tmp\\LOGFILKV.LOG"); }
    TStored Value(const std::string& Name, const std::string& Below = "") const
    {
        return ReadValue(HKEY_CURRENT_USER, Below.empty() ? Key.SubKey : Key.SubKey + "\\" + Below,
                         Name);
    }
};

TEST_F(RegWriteRun, ValuesAreCreatedThenRefreshedThenChanged)
{
    const std::string& K = Key.SubKey;
    auto Section = [&](const std::string& Text, const std::string& Number) {
        return Lines({"[RegWrite]", "Str=HKCU," + K + ",Text," + "Reg_SZ," + Text,
                      "Num=HKCU," + K + ",Number,Reg_DWORD, " + Number + " ",
                      "Def=HKCU," + K + "\\Sub,,reg_sz,default " + Text,
                      "Comma=hkcu," + K + ",Commas,????,\"a, b,\"\"" + Text + "\"\"\" ignored"});
    };

    TRunResult Run = RunWith(Section("one", "1F"), {"click 1", "click 1"});
    ASSERT_TRUE(RanAsAnswered(Run));
    EXPECT_TRUE(ShowsTemplate(Run, 1, "Installation successfully!"));
    EXPECT_EQ(StringData("one"), Value("Text").Data);
    EXPECT_EQ(REG_DWORD, Value("Number").Type);
    EXPECT_EQ(DWordData(31), Value("Number").Data);
    EXPECT_EQ(StringData("default one"), Value("", "Sub").Data);
    EXPECT_EQ(REG_SZ, Value("Commas").Type);
    EXPECT_EQ(StringData("a, b,\"one\""), Value("Commas").Data);
    EXPECT_TRUE(FileContains(Log(), "HKCU\\" + K + "\tcreated\r\n"
                                    "HKCU\\" + K + "\tText created\r\n"
                                    "HKCU\\" + K + "\tNumber created\r\n"
                                    "HKCU\\" + K + "\\Sub\tcreated\r\n"
                                    "HKCU\\" + K + "\\Sub\t<default> created\r\n"
                                    "hkcu\\" + K + "\tCommas created\r\n"));

    // The same values again: written, and logged as refreshed; no key is created.
    DeleteFileA(Log().c_str());
    Run = RunWith(Section("one", "0000001f"), {"click 1", "click 1"});
    ASSERT_TRUE(RanAsAnswered(Run));
    EXPECT_TRUE(ShowsTemplate(Run, 1, "Installation successfully!"));
    EXPECT_TRUE(FileContains(Log(), "HKCU\\" + K + "\tText refreshed\r\n"
                                    "HKCU\\" + K + "\tNumber refreshed\r\n"
                                    "HKCU\\" + K + "\\Sub\t<default> refreshed\r\n"
                                    "hkcu\\" + K + "\tCommas refreshed\r\n"));
    EXPECT_FALSE(FileContains(Log(), "\tcreated"));

    // Other values, also one that differs in letter case only.
    DeleteFileA(Log().c_str());
    Run = RunWith(Section("One", "a0"), {"click 1", "click 1"});
    ASSERT_TRUE(RanAsAnswered(Run));
    EXPECT_TRUE(FileContains(Log(), "HKCU\\" + K + "\tText changed\r\n"
                                    "HKCU\\" + K + "\tNumber changed\r\n"
                                    "HKCU\\" + K + "\\Sub\t<default> changed\r\n"
                                    "hkcu\\" + K + "\tCommas changed\r\n"));
    EXPECT_EQ(StringData("One"), Value("Text").Data);
    EXPECT_EQ(DWordData(160), Value("Number").Data);
    EXPECT_EQ(StringData("a, b,\"One\""), Value("Commas").Data);
}

// Lines that name the same key one after another, and lines between them that name another key
// or the same path under another root: each value lands in the key its own line names.
TEST_F(RegWriteRun, EachValueLandsInTheKeyOfItsOwnLine)
{
    const std::string& K = Key.SubKey;
    struct TCleanHklm {
        std::string SubKey;
        ~TCleanHklm() { RegDeleteTreeA(HKEY_LOCAL_MACHINE, SubKey.c_str()); }
    } Hklm{K};
    TRunResult Run = RunWith(Lines({"[RegWrite]", "A=HKCU," + K + ",A,Reg_SZ,a",
                                    "B=HKCU," + K + ",B,Reg_SZ,b", "C=HKLM," + K + ",C,Reg_SZ,c",
                                    "D=HKCU," + K + "\\Sub,D,Reg_SZ,d",
                                    "E=HKCU," + K + ",E,Reg_SZ,e"}),
                             {"click 1", "click 1"});
    ASSERT_TRUE(RanAsAnswered(Run));
    const struct {
        HKEY Root;
        const char* Below;
        const char* Name;
        const char* Data;   // nullptr: no such value
    } Cases[] = {
        {HKEY_CURRENT_USER, "", "A", "a"},     {HKEY_CURRENT_USER, "", "B", "b"},
        {HKEY_LOCAL_MACHINE, "", "C", "c"},    {HKEY_CURRENT_USER, "", "C", nullptr},
        {HKEY_CURRENT_USER, "Sub", "D", "d"},  {HKEY_CURRENT_USER, "", "D", nullptr},
        {HKEY_CURRENT_USER, "", "E", "e"},     {HKEY_LOCAL_MACHINE, "", "E", nullptr},
    };
    for (const auto& Case : Cases) {
        std::string Path = *Case.Below ? K + "\\" + Case.Below : K;
        TStored Stored = ReadValue(Case.Root, Path, Case.Name);
        EXPECT_EQ(Case.Data ? StringData(Case.Data) : "", Stored.Data) << Path << " " << Case.Name;
    }
}

TEST_F(RegWriteRun, ValueOfAnotherTypeIsSetAndTakesTheLinesType)
{
    const std::string& K = Key.SubKey;
    SetExpandString(K, "Path", "same text");
    Key.SetString("", "Count", "12");
    TRunResult Run = RunWith(Lines({"[RegWrite]", "Path=HKCU," + K + ",Path,Reg_SZ,same text",
                                    "Count=HKCU," + K + ",Count,Reg_DWORD,12"}),
                             {"click 1", "click 1"});
    ASSERT_TRUE(RanAsAnswered(Run));
    EXPECT_TRUE(ShowsTemplate(Run, 1, "Installation successfully!"));
    EXPECT_TRUE(FileContains(Log(), "HKCU\\" + K + "\tPath set\r\n"
                                    "HKCU\\" + K + "\tCount set\r\n"));
    EXPECT_EQ(REG_SZ, Value("Path").Type);
    EXPECT_EQ(REG_DWORD, Value("Count").Type);
    EXPECT_EQ(DWordData(0x12), Value("Count").Data);
}

// Lines are read and expanded whole: a value far beyond 2600 characters is written as it
// stands. Stored data that long is not read back, so a second run logs it as set.
TEST_F(RegWriteRun, LongValueIsWrittenWhole)
{
    const std::string& K = Key.SubKey;
    std::string Section =
        Lines({"[RegWrite]", "Long=HKCU," + K + ",Long,Reg_SZ,%windir%" + std::string(3000, 'v')});
    char WinDir[MAX_PATH + 1] = "";
    GetEnvironmentVariableA("windir", WinDir, sizeof WinDir);
    std::string Expected = WinDir + std::string(3000, 'v');
    TRunResult Run = RunWith(Section, {"click 1", "click 1"});
    ASSERT_TRUE(RanAsAnswered(Run));
    EXPECT_TRUE(ShowsTemplate(Run, 1, "Installation successfully!"));
    EXPECT_EQ(StringData(Expected), Value("Long").Data);
    EXPECT_TRUE(FileContains(Log(), "HKCU\\" + K + "\tLong created\r\n"));

    DeleteFileA(Log().c_str());
    Run = RunWith(Section, {"click 1", "click 1"});
    ASSERT_TRUE(RanAsAnswered(Run));
    EXPECT_TRUE(FileContains(Log(), "HKCU\\" + K + "\tLong set\r\n"));
}

TEST_F(RegWriteRun, LineWithFourFieldsEndsTheSectionWithAWarning)
{
    const std::string& K = Key.SubKey;
    TRunResult Run = RunWith(Lines({"[RegWrite]", "First=HKCU," + K + ",First,Reg_SZ,written",
                                    "Short=HKCU," + K + ",Short,Reg_SZ",
                                    "Later=HKCU," + K + ",Later,Reg_SZ,never"}),
                             {"click 1", "click 1", "click 1"});
    ASSERT_TRUE(RanAsAnswered(Run));
    EXPECT_TRUE(ShowsMessageBox(Run, 1, "Error in the Line \"HKCU\", too less parameters"));
    EXPECT_TRUE(ShowsTemplate(Run, 2, "Installation done with warnings!"));
    EXPECT_EQ(StringData("written"), Value("First").Data);
    EXPECT_EQ(REG_NONE, Value("Short").Type);
    EXPECT_EQ(REG_NONE, Value("Later").Type);
}

TEST_F(RegWriteRun, UnknownTypeIsWrittenAsAStringAndFailsTheRun)
{
    const std::string& K = Key.SubKey;
    TRunResult Run = RunWith(Lines({"[RegWrite]", "Bin=HKCU," + K + ",Bin,Reg_BINARY,0102",
                                    "After=HKCU," + K + ",After,Reg_SZ,still written"}),
                             {"click 1", "click 1", "click 1"});
    ASSERT_TRUE(RanAsAnswered(Run));
    EXPECT_TRUE(ShowsMessageBox(Run, 1, "Error RegWrite: Type not implemented: Reg_BINARY"));
    EXPECT_TRUE(ShowsTemplate(Run, 2, "Installation done without success!"));
    EXPECT_EQ(REG_SZ, Value("Bin").Type);
    EXPECT_EQ(StringData("0102"), Value("Bin").Data);
    EXPECT_EQ(StringData("still written"), Value("After").Data);
    EXPECT_TRUE(FileContains(Log(), "HKCU\\" + K + "\tBin created\r\n"));
}

TEST_F(RegWriteRun, DWordTextsThatAreNoNumberEndTheirSections)
{
    const std::string& K = Key.SubKey;
    TRunResult Run = RunWith(Lines({"[RegWrite]", "Long=HKCU," + K + ",Long,Reg_DWORD,123456789",
                                    "Next=HKCU," + K + ",Next,Reg_SZ,never",
                                    "[RegWriteUninstall]",
                                    "Prefixed=HKCU," + K + ",Prefixed,Reg_DWORD,0x10"}),
                             {"click 1", "click 1", "click 1", "click 1"});
    ASSERT_TRUE(RanAsAnswered(Run));
    EXPECT_TRUE(ShowsMessageBox(Run, 1, "max. 8 digit!"));
    EXPECT_TRUE(ShowsMessageBox(Run, 2, "String can't be converted to DWord"));
    EXPECT_TRUE(ShowsTemplate(Run, 3, "Installation done without success!"));
    EXPECT_FALSE(Key.Exists(""));   // nothing of either section was written
}

// The uninstall entry of the software list, below HKEY_LOCAL_MACHINE, removed at the end.
struct TUninstallKey {
    std::string SubKey;
    explicit TUninstallKey(const TScenario& Medium)
        : SubKey("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\SetupTest." + Medium.Id)
    {
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, SubKey.c_str());
    }
    ~TUninstallKey() { RegDeleteTreeA(HKEY_LOCAL_MACHINE, SubKey.c_str()); }
};

TEST(RegWriteUninstall, EntryNamesTheInstalledInfWhichTheNextRunFinds)
{
    TScenario Medium;
    TInstalledInf Inf{"SetupTest.RegWrite."};
    TUninstallKey Entry(Medium);
    std::string Chosen = Medium.Path("Chosen App");
    Medium.WriteText("readme.txt", "Read me\r\n");
    Medium.WriteText(Inf.Name,
                     Lines({"[Version]", "FormKv=KELVOR", "[Strings]",
                            "MyProgramPath=" + Medium.Path("Default App"), "[Files]",
                            "readme.txt=", "[RegWriteUninstall]",
                            "Name=HKLM," + Entry.SubKey + ",DisplayName,Reg_SZ,Setup test",
                            "Command=HKLM," + Entry.SubKey +
                                ",UninstallString,Reg_SZ,%rundll% %setupx%.dll,InstallHinfSection"
                                " DefaultUninstall 132 %InfPath%\\" + Inf.Name}));

    TRunResult Run =
        Medium.Run(Inf.Name, {"click 1", "type 102 " + Chosen + "; click 1", "click 1"});
    ASSERT_TRUE(RanAsAnswered(Run));
    EXPECT_TRUE(ShowsTemplate(Run, 2, "Installation successfully!"));
    std::string Command =
        "rundll32 setupAPI.dll,InstallHinfSection DefaultUninstall 132 " + Inf.Installed;
    EXPECT_EQ(StringData(Command),
              ReadValue(HKEY_LOCAL_MACHINE, Entry.SubKey, "UninstallString").Data);
    EXPECT_EQ(StringData("Setup test"),
              ReadValue(HKEY_LOCAL_MACHINE, Entry.SubKey, "DisplayName").Data);
    std::string Log = Chosen + "\\LOGFILKV.LOG";
    EXPECT_TRUE(FileContains(Log, "HKLM\\" + Entry.SubKey + "\tcreated\r\n"
                                  "HKLM\\" + Entry.SubKey + "\tDisplayName created\r\n"
                                  "HKLM\\" + Entry.SubKey + "\tUninstallString created\r\n"));

    Run = Medium.Run(Inf.Name, {"click 1", "click 1", "click 1"});
    ASSERT_TRUE(RanAsAnswered(Run));
    EXPECT_TRUE(ShowsTemplate(Run, 1, "The Programm will be installed to"));
    EXPECT_EQ(Chosen, Run.Dialogs.at(1).TextOf(idBuf));   // the earlier directory, not the default
    EXPECT_TRUE(ShowsTemplate(Run, 2, "Installation successfully!"));
    EXPECT_TRUE(FileContains(Log, "In Registry-Uninstall reference to previous INF found: " +
                                      Inf.Installed + "\r\n"));
    EXPECT_TRUE(FileContains(Log, "HKLM\\" + Entry.SubKey + "\tDisplayName refreshed\r\n"
                                  "HKLM\\" + Entry.SubKey + "\tUninstallString refreshed\r\n"));
}

// The registry refuses key names longer than 255 characters: such a key can be neither opened
// nor created, as a key below HKEY_LOCAL_MACHINE for a user without administrator rights.
std::string Unwritable(const TTestKey& Key) { return Key.SubKey + "\\" + std::string(300, 'k'); }

TEST_F(RegWriteRun, UnwritableKeyWithoutErrSectionFailsBothSections)
{
    std::string Bad = Unwritable(Key);
    TRunResult Run = RunWith(Lines({"[RegWrite]", "Bad=HKCU," + Bad + ",V,Reg_SZ,v",
                                    "Never=HKCU," + Key.SubKey + ",Never,Reg_SZ,v",
                                    "[RegWriteUninstall]", "Bad=HKCU," + Bad + ",V,Reg_SZ,v"}),
                             {"click 1", "click 1"});
    ASSERT_TRUE(RanAsAnswered(Run));
    ASSERT_EQ(2u, Run.Dialogs.size()) << DescribeRun(Run);   // no message box of its own
    EXPECT_TRUE(ShowsTemplate(Run, 1, "Installation done without success!"));
    // "Administtrator" is the program's own spelling.
    std::string Rights = "         Actual User does not have Administtrator Rights assumed\r\n";
    EXPECT_TRUE(FileContains(Log(), "Error: Registry-Write failed\r\n" + Rights +
                                        "         and no ErrSection=... set in [RegWrite]\r\n"
                                        "Error: couldn't write Uninstall to Registry for "
                                        "ControlPanel, Software\r\n" + Rights +
                                        "         and no ErrSection=... set in "
                                        "[RegWriteUninstall]\r\n"));
    EXPECT_FALSE(Key.Exists(""));
}

TEST_F(RegWriteRun, UnwritableUninstallKeyWithErrSectionLinksInstead)
{
    std::string Bad = Unwritable(Key);
    Medium.WriteText("App\\tool.exe", "not really a program");
    std::string LinkPath = Medium.Path("Uninstall Tool.LNK");
    TRunResult Run = RunWith(
        Lines({"[RegWriteUninstall]", "ErrSection=Uninstall Links",
               "Bad=HKCU," + Bad + ",UninstallString,Reg_SZ,v",
               "Never=HKCU," + Key.SubKey + ",Never,Reg_SZ,v", "[Uninstall Links]",
               "Remove=" + Medium.Path("Uninstall Tool") + "," + Medium.Path("App\\tool.exe") +
                   ",/remove %InfPath%"}),
        {"click 1", "click 1"});
    ASSERT_TRUE(RanAsAnswered(Run));
    EXPECT_TRUE(ShowsTemplate(Run, 1, "Installation done with warnings!"));
    // "sucessfully" is the program's own spelling.
    EXPECT_TRUE(FileContains(Log(), "Warning: couldn't write Uninstall to Registry for "
                                    "ControlPanel, Software\r\n"
                                    "         Actual User does not have Administtrator Rights "
                                    "assumed\r\n" + LinkPath + "\tcreated\r\n"
                                    "Alternate Uninstall via Link sucessfully set\r\n"));
    TLink Link = ReadLink(LinkPath);
    ASSERT_TRUE(Link.Loaded);
    EXPECT_EQ(Medium.Path("App\\tool.exe"), Link.Target);
    EXPECT_EQ("/remove " + WindowsInfDir(), Link.Arguments);
    EXPECT_FALSE(Key.Exists(""));
}

} // namespace
