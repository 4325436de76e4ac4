// The whole run of the INF copy into a Windows INF folder that denies access, which only a
// script around the test can arrange. The other runs of the installation folder, the INF copy and
// an earlier installation are scenarios (scenarios/InstallPath.*, PreviousInf.*, InfCopy.*).
#include <windows.h>

#include "Scenario.h"

namespace {

// Runs only inside immutable-run.sh, which makes the Windows INF directory immutable: Wine then
// denies access to it even for root. See CMakeLists.txt for how it is registered.
TEST(InfCopy, DISABLED_ImmutableInfDirSendsTheCopyToTheProgramDir)
{
    TScenario Medium;
    TInstalledInf Inf("Immutable");
    std::string Probe = WindowsInfDir() + "\\" + Medium.Id + ".probe";
    HANDLE File = CreateFileA(Probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (File != INVALID_HANDLE_VALUE) {
        CloseHandle(File);
        DeleteFileA(Probe.c_str());
        FAIL() << WindowsInfDir() << " takes files: run this test through immutable-run.sh";
    }

    // Without [Files] the directory is asked for all the same: the copy needs it.
    std::string AppDir = Medium.Path("App");
    std::string Moved = AppDir + "\\" + Inf.Name;
    Medium.WriteText(Inf.Name,
                     Lines({"[Version]", "FormKv=KELVOR", "[Strings]", "MyProgramPath=" + AppDir}));
    TRunResult Run = Medium.Run(Inf.Name, {"click 1", "click 1", "click 1"});

    ASSERT_TRUE(RanAsAnswered(Run));
    ASSERT_EQ(3u, Run.Dialogs.size()) << DescribeRun(Run);
    EXPECT_TRUE(ShowsTemplate(Run, 1, "The Programm will be installed to"));
    EXPECT_TRUE(ShowsTemplate(Run, 2, "Installation done with warnings!"));
    std::string Log = AppDir + "\\LOGFILKV.LOG";
    EXPECT_TRUE(
        FileContains(Log, "Warning: Couldn't copy INF-File to " + Inf.Installed + ": Error 5, "));
    EXPECT_TRUE(FileContains(Log, "\r\nTrying to copy the INF to the ProgramDir\r\nusing " + Moved +
                                      " as INF-File\r\n"));
    EXPECT_EQ(AppDir + "\\", ProfileValue(Moved, "Strings", "InfPath"));
    EXPECT_TRUE(NothingAt(Inf.Installed));
}

}   // namespace
