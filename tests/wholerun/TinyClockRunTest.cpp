// The example product Tiny Clock (examples/tinyclock) on the road its user walks: installed from
// its medium, listed in the software list, removed by the system's INF engine through the command
// stored there, installed again and upgraded to version 2. The same road for a user who may not
// write HKLM, whose uninstall link stands in for the list's entry.
#include <windows.h>

#include "Scenario.h"
#include "Setup/base/DlgIds.h"

namespace {

const std::string UninstallKeys = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// The example's installation medium of Version (1 or 2), as the build put it together beside
// SETUP.EXE's build folder.
std::string DiskDir(int Version)
{
    std::string Fixtures = FixturesDir();
    return Fixtures.substr(0, Fixtures.rfind("\\tests\\")) + "\\examples\\tinyclock\\disk" +
           std::to_string(Version);
}

std::string MachineValue(const std::string& SubKey, const std::string& Name)
{
    char Value[1024] = "<missing>";
    DWORD Size = sizeof Value;
    RegGetValueA(HKEY_LOCAL_MACHINE, SubKey.c_str(), Name.c_str(), RRF_RT_REG_SZ, nullptr, Value,
                 &Size);
    return Value;
}

bool KeyExists(HKEY Root, const std::string& SubKey)
{
    HKEY Key;
    if (RegOpenKeyExA(Root, SubKey.c_str(), 0, KEY_READ, &Key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(Key);
    return true;
}

// Tiny Clock under names of the test's own, so that the road may run beside other tests and
// beside an installation of the real example: the script and the files of the medium are the
// example's, with its names (folders, links, registry keys, the INF file) made the test's own.
// Everything the road installs is removed at the end, whatever the uninstallation left.
struct TinyClockRoad : ::testing::Test {
    TScenario Medium;
    std::string Name = "Tiny Clock " + Medium.Id;   // folders, links, DisplayName
    std::string Key = "TinyClock." + Medium.Id;     // below Software and Uninstall
    std::string InfName = "TINYCLOCK." + Medium.Id + ".INF";
    std::string Inf = WindowsInfDir() + "\\" + InfName;
    std::string Menu = ProgramsFolder() + "\\" + Name;
    std::string App = ProgramFilesDir() + "\\" + Name;    // the script's default folder
    std::string Other = Medium.Path("Clocks\\" + Name);   // a folder that the user picks instead
    std::string Command = "rundll32 advpack.dll,LaunchINFSection " + Inf + ",DefaultUninstall";

    static std::string ProgramFilesDir()
    {
        char Dir[MAX_PATH + 1] = "";
        DWORD Size = sizeof Dir;
        RegGetValueA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion",
                     "ProgramFilesDir", RRF_RT_REG_SZ, nullptr, Dir, &Size);
        return Dir;
    }
    ~TinyClockRoad() override
    {
        RemoveTree(App);
        RemoveTree(Menu);
        RegDeleteTreeA(HKEY_CURRENT_USER, ("Software\\" + Key).c_str());
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, (UninstallKeys + Key).c_str());
        DeleteFileA(Inf.c_str());
    }

    std::string Own(std::string Text) const
    {
        for (const auto& Names : {std::make_pair(std::string("Tiny Clock"), Name),
                                  {"Software\\TinyClock", "Software\\" + Key},
                                  {"Uninstall\\TinyClock", "Uninstall\\" + Key},
                                  {"TINYCLOCK.INF", InfName}})
            for (size_t At = Text.find(Names.first); At != std::string::npos;
                 At = Text.find(Names.first, At + Names.second.size()))
                Text.replace(At, Names.first.size(), Names.second);
        return Text;
    }

    // Puts the medium of Version beside SETUP.EXE and installs from it, into the proposed
    // folder or into Folder.
    TRunResult Install(int Version, const std::string& Folder = "")
    {
        for (const char* File : {"TinyClock.exe", "Readme.txt", "Licence.txt", "Thanks.txt"})
            EXPECT_TRUE(CopyFileA((DiskDir(Version) + "\\" + File).c_str(),
                                  Medium.Path(File).c_str(), FALSE))
                << File << ": error " << GetLastError();
        std::optional<std::string> Script = Medium.ReadText(DiskDir(Version) + "\\TINYCLOCK.INF");
        EXPECT_TRUE(Script) << "no medium in " << DiskDir(Version);
        Medium.WriteText(InfName, Own(Script.value_or("")));
        return Medium.PlannedRun(
            InfName, {"click 1", Folder.empty() ? "click 1" : "type 102 " + Folder + "; click 1",
                      "click 1"});
    }

    // Nothing of the installation in Dir is left: no file, no folder, no link, no key. A file of
    // the user's own (Kept) stays, and with it Dir, holding only that file.
    void ExpectRemoved(const std::string& Dir, bool Denied, const std::string& Kept)
    {
        if (Kept.empty())
            EXPECT_TRUE(NothingAt(Dir));
        else
            EXPECT_EQ(std::vector<std::string>{Kept}, NamesIn(Dir + "\\*"));
        EXPECT_TRUE(NothingAt(Menu));
        EXPECT_TRUE(NothingAt(Inf));
        EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\" + Key));
        if (!Denied) {
            EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, UninstallKeys + Key));
        }
    }

    // Uninstalls the installation in Dir as its user would: through the command of the
    // software list's entry, or, without one, through the uninstall link in Dir.
    void Uninstall(const std::string& Dir, bool Denied, const std::string& Kept = "")
    {
        std::string Stored = MachineValue(UninstallKeys + Key, "UninstallString");
        if (Denied) {
            TLink Link = ReadLink(Dir + "\\Uninstall " + Name + ".LNK");
            ASSERT_TRUE(Link.Loaded);
            EXPECT_EQ(Command.substr(Command.find(' ') + 1), Link.Arguments);
            Stored = "\"" + Link.Target + "\" " + Link.Arguments;
        }
        EXPECT_TRUE(RunThroughCmd(Stored, true)) << Stored;
        ExpectRemoved(Dir, Denied, Kept);
    }

    // The whole road; Denied: HKLM's uninstall key refuses the installer.
    void Walk(const TDeniedKey* Denied)
    {
        const std::string Report =
            Denied ? "Installation done with warnings!" : "Installation successfully!";
        const std::string Entry = UninstallKeys + Key;

        // The first installation, into the proposed folder below Program Files.
        TRunResult Run = Install(1);
        ASSERT_TRUE(RanAsAnswered(Run));
        EXPECT_TRUE(ShowsTemplate(Run, 0,
                                  Name + ": the time in a small window\r"
                                         "Continue Installation?"));
        EXPECT_EQ("https://example.com/tiny-clock", Run.Dialogs[0].TextOf(idLink));
        EXPECT_EQ(App, Run.Dialogs.at(1).TextOf(idBuf));
        EXPECT_TRUE(ShowsTemplate(Run, 2, Report));
        ASSERT_EQ(2u, Run.Notepads.size()) << DescribeRun(Run);
        EXPECT_EQ(Medium.ReadText("Readme.txt"), Run.Notepads[0].Text);
        EXPECT_EQ(Medium.ReadText("Thanks.txt"), Run.Notepads[1].Text);
        std::string Log = App + "\\LOGFILKV.LOG";
        EXPECT_TRUE(
            FileContains(Log, App + "\\TinyClock.exe\t1.00.0000.0000 04E40409 created\r\n"));
        EXPECT_EQ(Name + " 1.00", ProfileValue(App + "\\TinyClock.ini", "Window", "Title"));
        TLink Clock = ReadLink(Menu + "\\" + Name + ".LNK");
        EXPECT_EQ(App + "\\TinyClock.exe", Clock.Target);
        TLink Remove = ReadLink(Menu + "\\Uninstall " + Name + ".LNK");
        EXPECT_EQ(Command.substr(Command.find(' ') + 1), Remove.Arguments);

        if (Denied) {
            EXPECT_EQ(0u, Denied->ValueCount());
            std::string Link = App + "\\Uninstall " + Name + ".LNK";
            // "Administtrator" and "sucessfully" are the program's own spelling.
            EXPECT_TRUE(FileContains(Log, "Warning: couldn't write Uninstall to Registry for "
                                          "ControlPanel, Software\r\n"
                                          "         Actual User does not have Administtrator "
                                          "Rights assumed\r\n" +
                                              Link +
                                              "\tcreated\r\n"
                                              "Alternate Uninstall via Link sucessfully set\r\n"));
        } else {
            EXPECT_EQ(Name, MachineValue(Entry, "DisplayName"));
            EXPECT_EQ("1.00", MachineValue(Entry, "DisplayVersion"));
            EXPECT_EQ(Command, MachineValue(Entry, "UninstallString"));
        }
        Uninstall(App, Denied);

        // Again, into a folder that the user picks: nothing of the removed installation is
        // proposed. Then version 2 over it, into the folder that the path dialog proposes.
        Run = Install(1, Other);
        ASSERT_TRUE(RanAsAnswered(Run));
        EXPECT_EQ(App, Run.Dialogs.at(1).TextOf(idBuf));
        EXPECT_TRUE(ShowsTemplate(Run, 2, Report));
        Run = Install(2);
        ASSERT_TRUE(RanAsAnswered(Run));
        EXPECT_EQ(Other, Run.Dialogs.at(1).TextOf(idBuf));
        EXPECT_TRUE(ShowsTemplate(Run, 2, Report));
        Log = Other + "\\LOGFILKV.LOG";
        EXPECT_TRUE(FileContains(Log, Other + "\\TinyClock.exe\t1.00.0000.0000 04E40409 "
                                              "replaced by 2.00.0000.0000 04E40409\r\n"));
        EXPECT_EQ(Name + " 2.00", ProfileValue(Other + "\\TinyClock.ini", "Window", "Title"));
        if (!Denied) {
            EXPECT_TRUE(FileContains(Log, "In Registry-Uninstall reference to previous INF "
                                          "found: " +
                                              Inf + "\r\n"));
            EXPECT_EQ("2.00", MachineValue(Entry, "DisplayVersion"));
        }
        Medium.WriteText(Other + "\\My times.txt", "08:15\r\n");
        Uninstall(Other, Denied, "My times.txt");
    }
};

TEST_F(TinyClockRoad, InstallUninstallReinstallUpgrade)
{
    Walk(nullptr);
}

TEST_F(TinyClockRoad, WithoutRightsToHklmTheUninstallLinkStandsIn)
{
    TDeniedKey Denied(UninstallKeys + Key);
    Walk(&Denied);
}

}   // namespace
