// Whole runs of bundles: SETUP.EXE /bundle=OUT packs a medium into one file, and that file
// installs as SETUP.EXE does from the medium; damaged bundles install nothing.
#include <windows.h>

#include <sddl.h>

#include <algorithm>

#include "Scenario.h"

#include "Rules/BundleText.h"
#include "Setup/base/DlgIds.h"

namespace {

const std::string Damaged =
    "This setup file is damaged: part of it is missing or changed. Please download it again.";

// A medium (SETUP.EXE, a script of the test's own, a program, texts, a subfolder, a file with an
// odd second in its time, which the cabinet alone would round) and, in a folder beside it, the
// bundle packed from it, run from there as its SETUP.EXE with a temporary folder of its own.
struct TBundled {
    TScenario Medium;
    TInstalledInf Inf{"Bundle"};
    std::string App = Medium.Path("App");
    std::string Out = Medium.Dir + ".bundle", Exe = Out + "\\SETUP.EXE", Tmp = Out + "\\tmp";
    std::string BundleApp = Out + "\\App";

    TBundled()
    {
        Medium.WriteText(Inf.Name,
                         Lines({"[Version]", "FormKv=KELVOR", "[Info]", "Before=Readme.txt",
                                "BeforeTitle=" + Inf.Name, "After=Thanks.txt", "[Strings]",
                                "MyProgramPath=" + App, "[Files]",
                                "Readme.txt=", "tool.dll=", "docs\\*.*=%MyProgramPath%\\docs",
                                "tools\\*.*=%MyProgramPath%\\tools"}));
        Medium.WriteText("Readme.txt", "Read me first.\r\n");
        Medium.WriteText("Thanks.txt", "Thank you.\r\n");
        Medium.WriteText("docs\\guide.txt", "The guide.\r\n");
        // Only the top folder's SETUP.EXE is the program itself: this one is the medium's.
        Medium.WriteText("tools\\SETUP.EXE", "A tool of the product.\r\n");
        SYSTEMTIME Odd = June1(2021);
        Odd.wSecond = 7;
        SetLastWriteTime(Medium.Path("docs\\guide.txt"), Odd);
        // Not installed, yet unpacked and removed again: read-only, two folders down.
        Medium.WriteText("extra\\deep\\kept.txt", "On the medium only.\r\n");
        SetFileAttributesA(Medium.Path("extra\\deep\\kept.txt").c_str(), FILE_ATTRIBUTE_READONLY);
        EXPECT_TRUE(CopyFileA((FixturesDir() + "\\Version1_2_0_0.dll").c_str(),
                              Medium.Path("tool.dll").c_str(), FALSE));
        RemoveTree(Out);
        Medium.MakeDir(Tmp);
    }
    ~TBundled() { RemoveTree(Out); }

    TRunResult Pack(const std::string& To) { return Medium.Run("/quiet /bundle=" + To, {}); }

    // Runs the bundle as the medium's scenario runs SETUP.EXE, from its own folder.
    TRunResult RunBundle(const std::string& Args, const std::vector<std::string>& Answers,
                         unsigned TimeoutMs = 30000, const TEnvOverrides& Env = {})
    {
        TScenario& S = Medium;
        std::swap(S.SetupExe, Exe);
        std::swap(S.TmpDir, Tmp);
        std::swap(S.WorkDir, Tmp);
        TRunResult Run = S.Run(Args, Answers, Env, TimeoutMs);
        std::swap(S.WorkDir, Tmp);
        std::swap(S.TmpDir, Tmp);
        std::swap(S.SetupExe, Exe);
        return Run;
    }

    // The bundle's folders in its run's temporary folder.
    std::vector<std::string> Unpacked() const { return NamesIn(Tmp + "\\~setupkvb*"); }
};

// A log with the run's own places and times taken out, for comparing two runs.
std::string Neutral(std::string Log, const std::vector<std::string>& Places)
{
    for (const std::string& Place : Places)
        for (size_t At = Log.find(Place); At != std::string::npos; At = Log.find(Place, At))
            Log.replace(At, Place.size(), "<place>");
    std::string Out;
    for (size_t Begin = 0; Begin < Log.size();) {
        size_t End = std::min(Log.find('\n', Begin), Log.size() - 1) + 1;
        std::string Line = Log.substr(Begin, End - Begin);
        if (Line.rfind("Date/Time:", 0) != 0)
            Out += Line;
        Begin = End;
    }
    return Out;
}

TEST(BundleRun, InstallsAsTheMediumFolderDoes)
{
    TBundled Run;
    ASSERT_EQ(0u, Run.Pack(Run.Exe).ExitCode);
    TRunResult Folder = Run.Medium.Run("/quiet", {});
    DeleteFileA(Run.Inf.Installed.c_str());   // the bundle's run is a first installation too
    TRunResult Bundle = Run.RunBundle("/quiet /dir=" + Run.BundleApp, {});
    EXPECT_EQ(0u, Folder.ExitCode) << DescribeRun(Folder);
    EXPECT_EQ(0u, Bundle.ExitCode) << DescribeRun(Bundle);

    std::optional<std::string> FolderLog = Run.Medium.ReadText(Run.App + "\\LOGFILKV.LOG");
    std::optional<std::string> BundleLog = Run.Medium.ReadText(Run.BundleApp + "\\LOGFILKV.LOG");
    ASSERT_TRUE(FolderLog && BundleLog);
    // The source paths name where the medium was unpacked: a folder of the run's own.
    size_t Unpacked = BundleLog->find(Run.Tmp + "\\~setupkvb");
    ASSERT_NE(std::string::npos, Unpacked) << *BundleLog;
    std::string Source = BundleLog->substr(Unpacked, Run.Tmp.size() + 26);
    EXPECT_EQ(Neutral(*FolderLog, {Run.App, Run.Medium.Dir}),
              Neutral(*BundleLog, {Source, Run.BundleApp}));
    // The exact times of the medium, and nothing left of the unpacked medium.
    WIN32_FILE_ATTRIBUTE_DATA A, B;
    ASSERT_TRUE(GetFileAttributesExA(Run.Medium.Path("docs\\guide.txt").c_str(),
                                     GetFileExInfoStandard, &A));
    ASSERT_TRUE(GetFileAttributesExA((Run.BundleApp + "\\docs\\guide.txt").c_str(),
                                     GetFileExInfoStandard, &B));
    EXPECT_EQ(0, CompareFileTime(&A.ftLastWriteTime, &B.ftLastWriteTime));
    EXPECT_TRUE(FileHolds(Run.BundleApp + "\\tools\\SETUP.EXE", "A tool of the product.\r\n"));
    EXPECT_EQ(std::vector<std::string>{}, Run.Unpacked());
}

TEST(BundleRun, ShownRunAsksAsFromTheFolder)
{
    TBundled Run;
    ASSERT_EQ(0u, Run.Pack(Run.Exe).ExitCode);
    TRunResult Bundle =
        Run.RunBundle("", {"click 1", "type 102 " + Run.BundleApp + "; click 1", "click 1"});
    ASSERT_TRUE(RanAsAnswered(Bundle));
    EXPECT_TRUE(ShowsTemplate(Bundle, 2, "Installation successfully!"));
    ASSERT_EQ(2u, Bundle.Notepads.size()) << DescribeRun(Bundle);
    EXPECT_EQ("Read me first.\r\n", Bundle.Notepads[0].Text);
    // The After text's Notepad outlives the run, but not in the unpacked medium's folder.
    EXPECT_EQ("Thank you.\r\n", Bundle.Notepads[1].Text);
    EXPECT_TRUE(FileHolds(Run.BundleApp + "\\docs\\guide.txt", "The guide.\r\n"));
    EXPECT_EQ(std::vector<std::string>{}, Run.Unpacked());
}

void CutShort(HANDLE File, LONGLONG Size, LONGLONG)
{
    LARGE_INTEGER At = {};
    At.QuadPart = Size - 1000;
    SetFilePointerEx(File, At, nullptr, FILE_BEGIN);
    SetEndOfFile(File);
}

void ChangeOneByte(HANDLE File, LONGLONG Size, LONGLONG Image)
{
    LARGE_INTEGER At = {};
    At.QuadPart = (Size + Image) / 2;
    char Byte;
    DWORD Done;
    SetFilePointerEx(File, At, nullptr, FILE_BEGIN);
    ReadFile(File, &Byte, 1, &Done, nullptr);
    Byte ^= 0x20;
    SetFilePointerEx(File, At, nullptr, FILE_BEGIN);
    WriteFile(File, &Byte, 1, &Done, nullptr);
}

// A size in the trailer, which the checksum covers as well.
void ChangeUnpackedSize(HANDLE File, LONGLONG Size, LONGLONG)
{
    LONGLONG At = Size - LONGLONG(BundleTrailerSize) + 16;
    ChangeOneByte(File, At, At);
}

// Damages the packed bundle as Damage says, given the bundle's size and the plain program's.
void DamageBundle(TBundled& Run, void (*Damage)(HANDLE File, LONGLONG Size, LONGLONG Image))
{
    HANDLE File = CreateFileA(Run.Exe.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    LARGE_INTEGER Size;
    WIN32_FILE_ATTRIBUTE_DATA Plain;
    ASSERT_TRUE(File != INVALID_HANDLE_VALUE && GetFileSizeEx(File, &Size));
    ASSERT_TRUE(GetFileAttributesExA(Run.Medium.SetupExe.c_str(), GetFileExInfoStandard, &Plain));
    Damage(File, Size.QuadPart, Plain.nFileSizeLow);
    CloseHandle(File);
}

// What a download can do to a bundle: each damage is found before anything is installed.
TEST(BundleRun, DamagedBundleInstallsNothing)
{
    struct {
        const char* What;
        void (*Damage)(HANDLE File, LONGLONG Size, LONGLONG Image);
    } Cases[] = {
        {"cut short", CutShort},
        {"one byte changed in the payload", ChangeOneByte},
        {"the unpacked size changed in the trailer", ChangeUnpackedSize},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.What);
        TBundled Run;
        ASSERT_EQ(0u, Run.Pack(Run.Exe).ExitCode);
        DamageBundle(Run, Case.Damage);

        TRunResult Quiet = Run.RunBundle("/quiet /dir=" + Run.BundleApp, {});
        EXPECT_EQ(1603u, Quiet.ExitCode) << DescribeRun(Quiet);
        EXPECT_TRUE(FileContains(Run.Tmp + "\\LOGFILKV.LOG", Damaged));
        TRunResult Shown = Run.RunBundle("", {"click 1", "click 1"});
        EXPECT_TRUE(ShowsMessageBox(Shown, 0, Damaged));
        EXPECT_TRUE(NothingAt(Run.BundleApp));
        EXPECT_TRUE(NothingAt(Run.Inf.Installed));
        EXPECT_EQ(std::vector<std::string>{}, Run.Unpacked());
    }
}

TEST(BundleRun, KilledRunsFolderGoesWithTheNextRunAndNothingElse)
{
    TBundled Run;
    ASSERT_EQ(0u, Run.Pack(Run.Exe).ExitCode);
    {
        TWhen Kill([&] { return DialogShowing(Run.Inf.Name); }, KillOwnSetups);
        Run.RunBundle("", {"wait 20000"}, 30000);
    }
    ASSERT_EQ(1u, Run.Unpacked().size());
    // Named like ours but not of our form: never touched.
    Run.Medium.WriteText(Run.Tmp + "\\~setupkvb my notes\\notes.txt", "mine\r\n");
    TRunResult Next = Run.RunBundle("/quiet /dir=" + Run.BundleApp, {});
    EXPECT_EQ(0u, Next.ExitCode) << DescribeRun(Next);
    EXPECT_EQ(std::vector<std::string>{"~setupkvb my notes"}, Run.Unpacked());
    EXPECT_TRUE(FileHolds(Run.Tmp + "\\~setupkvb my notes\\notes.txt", "mine\r\n"));
}

// A folder named and made as a bundle run makes its own (what a killed run leaves), in Dir, with
// a file in it and in a subfolder; its path.
std::string MakeLookAlike(TScenario& S, const std::string& Dir)
{
    std::string Folder = Dir + "\\~setupkvb0123456789abcdef";
    SECURITY_ATTRIBUTES Attributes = {sizeof Attributes, nullptr, FALSE};
    EXPECT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(
        "D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)", SDDL_REVISION_1, &Attributes.lpSecurityDescriptor,
        nullptr));
    EXPECT_TRUE(CreateDirectoryA(Folder.c_str(), &Attributes));
    LocalFree(Attributes.lpSecurityDescriptor);
    S.WriteText(Folder + "\\notes.txt", "mine\r\n");
    S.WriteText(Folder + "\\sub\\more.txt", "mine too\r\n");
    return Folder;
}

// A plan of a bundle changes nothing: a folder that looks like a killed run's stays with its files.
TEST(BundleRun, PlanLeavesFoldersThatLookLikeAKilledRunsAlone)
{
    TBundled Run;
    ASSERT_EQ(0u, Run.Pack(Run.Exe).ExitCode);
    std::string Folder = MakeLookAlike(Run.Medium, Run.Tmp);
    TRunResult Plan = Run.RunBundle("/plan=" + Run.Out + "\\plan.txt", {});
    EXPECT_EQ(0u, Plan.ExitCode) << DescribeRun(Plan);
    EXPECT_EQ(std::vector<std::string>{"~setupkvb0123456789abcdef"}, Run.Unpacked());
    EXPECT_TRUE(FileHolds(Folder + "\\notes.txt", "mine\r\n"));
    EXPECT_TRUE(FileHolds(Folder + "\\sub\\more.txt", "mine too\r\n"));
}

// The unix path of Path, for a program of the machine's own.
std::string UnixPath(const std::string& Path)
{
    typedef char*(CDECL * TUnixName)(const wchar_t*);
    auto UnixName = reinterpret_cast<TUnixName>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    std::wstring Wide(Path.begin(), Path.end());
    char* Name = UnixName ? UnixName(Wide.c_str()) : nullptr;
    std::string Unix = Name ? Name : "";
    HeapFree(GetProcessHeap(), 0, Name);
    return Unix;
}

// swaploop.py, run as the machine's own program (as root): exchanges the folder Folder with a
// symbolic link to Target, over and over, until it is stopped.
class TSwapLoop {
public:
    TSwapLoop(const std::string& Folder, const std::string& Target, const std::string& Work)
        : Stop(Work + "\\stop"), Count(Work + "\\count")
    {
        std::string Dir = UnixPath(Folder.substr(0, Folder.rfind('\\')));
        std::string Command = "python3 " SETUP_SOURCE_DIR "/tests/wholerun/swaploop.py " +
                              UnixPath(Folder) + " " + Dir + "/~swaplink " + UnixPath(Target) +
                              " " + UnixPath(Work) + "/stop " + UnixPath(Work) + "/count";
        STARTUPINFOA Startup = {};
        Startup.cb = sizeof Startup;
        PROCESS_INFORMATION Process = {};
        EXPECT_TRUE(CreateProcessA("Z:\\usr\\bin\\python3", &Command[0], nullptr, nullptr, FALSE, 0,
                                   nullptr, nullptr, &Startup, &Process))
            << Command;
        CloseHandle(Process.hProcess);
        CloseHandle(Process.hThread);
    }
    // Stops the loop; the number of exchanges it made.
    int End(const TScenario& S)
    {
        CloseHandle(
            CreateFileA(Stop.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        // A program of the machine's own has no process handle to wait for: its last word.
        for (int Wait = 0; Wait < 400 && NothingAt(Count); ++Wait)
            Sleep(50);
        std::optional<std::string> Made = S.ReadText(Count);
        return Made ? std::atoi(Made->c_str()) : -1;
    }

private:
    std::string Stop, Count;
};

// Someone who may write in the temporary folder swaps a folder that looks like a killed run's, or
// a subfolder of it, for a link to another folder while a bundle run and a plan clean up: nothing
// in that other folder is deleted.
TEST(BundleRun, SwappingAKilledRunsFolderForALinkDeletesNothingOutside)
{
    for (const char* Swapped : {"", "\\sub"}) {
        SCOPED_TRACE(std::string("swapped: ~setupkvb...") + Swapped);
        TBundled Run;
        ASSERT_EQ(0u, Run.Pack(Run.Exe).ExitCode);
        std::string Folder = MakeLookAlike(Run.Medium, Run.Tmp) + Swapped;
        std::string Outside = Run.Out + "\\outside";
        for (int I = 0; I < 50; ++I)
            Run.Medium.WriteText(Outside + "\\file" + std::to_string(I) + ".txt", "keep\r\n");
        TSwapLoop Loop(Folder, Outside, Run.Out);
        std::string Link =
            Run.Tmp + (*Swapped ? "\\~setupkvb0123456789abcdef" : "") + "\\~swaplink";
        for (int Wait = 0; Wait < 100 && NothingAt(Link); ++Wait)
            Sleep(50);   // until the loop has made its link
        TRunResult Plan = Run.RunBundle("/plan=" + Run.Out + "\\plan.txt", {});
        TRunResult Real = Run.RunBundle("/quiet /dir=" + Run.BundleApp, {});
        EXPECT_GT(Loop.End(Run.Medium), 0);
        EXPECT_EQ(0u, Plan.ExitCode) << DescribeRun(Plan);
        EXPECT_EQ(0u, Real.ExitCode) << DescribeRun(Real);
        EXPECT_EQ(50u, NamesIn(Outside + "\\file*.txt").size());
    }
}

// A trailer crafted to say that the medium unpacks to nearly the largest number of bytes, sealed
// as a packing would: the room needed does not wrap round to a small number, and there is none.
TEST(BundleRun, HugeUnpackedSizeFindsNoRoom)
{
    TBundled Run;
    ASSERT_EQ(0u, Run.Pack(Run.Exe).ExitCode);
    std::optional<std::string> Bytes = Run.Medium.ReadText(Run.Exe);
    ASSERT_TRUE(Bytes && Bytes->size() > BundleTrailerSize);
    size_t At = Bytes->size() - BundleTrailerSize;
    TBundleTrailer Trailer;
    ASSERT_TRUE(DecodeBundleTrailer(Bytes->data() + At, Trailer));
    uint32_t Payload = Crc32(0, Bytes->data() + At - Trailer.PayloadSize, Trailer.PayloadSize);
    ASSERT_EQ(Trailer.Crc, SealedCrc(Payload, Trailer));
    Trailer.UnpackedBytes = ~uint64_t(0) - 4096;
    Trailer.Crc = SealedCrc(Payload, Trailer);
    Bytes->replace(At, BundleTrailerSize, EncodeBundleTrailer(Trailer));
    Run.Medium.WriteText(Run.Exe, *Bytes);

    TRunResult Quiet = Run.RunBundle("/quiet /dir=" + Run.BundleApp, {});
    EXPECT_EQ(1603u, Quiet.ExitCode) << DescribeRun(Quiet);
    EXPECT_TRUE(FileContains(Run.Tmp + "\\LOGFILKV.LOG",
                             "Not enough space in the temporary folder " + Run.Tmp));
    EXPECT_TRUE(NothingAt(Run.BundleApp));
    EXPECT_EQ(std::vector<std::string>{}, Run.Unpacked());
}

// Run through fulldisk-run.sh, whose 1 MB drive is the temporary folder: too small for the
// medium, which is said before anything is installed.
TEST(BundleRun, DISABLED_FullDiskTemporaryFolderTooSmallInstallsNothing)
{
    char Drive[8];
    DWORD Length = GetEnvironmentVariableA("SETUP_FULL_DRIVE", Drive, sizeof Drive);
    ASSERT_TRUE(Length > 0 && Length < sizeof Drive) << "run through fulldisk-run.sh";
    std::string Temp = std::string(Drive) + "\\";
    TBundled Run;
    Run.Medium.WriteText("big.bin", std::string(3u << 20, 'x'));
    ASSERT_EQ(0u, Run.Pack(Run.Exe).ExitCode);
    TRunResult Quiet =
        Run.RunBundle("/quiet /dir=" + Run.BundleApp, {}, 30000, {{"tmp", Temp}, {"temp", Temp}});
    EXPECT_EQ(1603u, Quiet.ExitCode) << DescribeRun(Quiet);
    EXPECT_TRUE(
        FileContains(Temp + "LOGFILKV.LOG", "Not enough space in the temporary folder " + Temp));
    EXPECT_TRUE(NothingAt(Run.BundleApp));
    EXPECT_EQ(std::vector<std::string>{}, NamesIn(Temp + "~setupkvb*"));
    // Damaged as well: the damage is what the run names.
    DamageBundle(Run, ChangeOneByte);
    Quiet =
        Run.RunBundle("/quiet /dir=" + Run.BundleApp, {}, 30000, {{"tmp", Temp}, {"temp", Temp}});
    EXPECT_EQ(1603u, Quiet.ExitCode) << DescribeRun(Quiet);
    EXPECT_TRUE(FileContains(Temp + "LOGFILKV.LOG", Damaged));
    EXPECT_TRUE(NothingAt(Run.BundleApp));
}

// A text of the version resource of the file at Path, in its first translation; "<none>".
std::string VersionText(const std::string& Path, const std::string& Name)
{
    std::vector<char> Data(GetFileVersionInfoSizeA(Path.c_str(), nullptr) + 1);
    void* Value = nullptr;
    UINT Length = 0;
    if (!GetFileVersionInfoA(Path.c_str(), 0, DWORD(Data.size()), Data.data()) ||
        !VerQueryValueA(Data.data(), ("\\StringFileInfo\\040904E4\\" + Name).c_str(), &Value,
                        &Length))
        return "<none>";
    return static_cast<const char*>(Value);
}

TEST(BundleRun, NamesTheProductInItsVersionResource)
{
    TBundled Run;
    // The keys go into the script's own [Version], after its signature.
    std::string Script = *Run.Medium.ReadText(Run.Inf.Name);
    size_t After = Script.find("FormKv=KELVOR\r\n") + 15;
    auto WithVersionKeys = [&](std::initializer_list<std::string> Keys) {
        Run.Medium.WriteText(Run.Inf.Name,
                             Script.substr(0, After) + Lines(Keys) + Script.substr(After));
    };
    WithVersionKeys({"Product=Pocket Notes", "ProductVersion=1.2.3", "Publisher=Example Ltd"});
    ASSERT_EQ(0u, Run.Pack(Run.Exe).ExitCode);
    const struct {
        const char *Name, *Bundle, *Setup;
    } Texts[] = {{"ProductName", "Pocket Notes", "SETUP"},
                 {"FileDescription", "Pocket Notes Setup", "Script-driven installer"},
                 {"CompanyName", "Example Ltd", "SetupKv"},
                 {"ProductVersion", "1.2.3", "1.0.0.1"}};
    for (const auto& Text : Texts) {
        EXPECT_EQ(Text.Bundle, VersionText(Run.Exe, Text.Name));
        EXPECT_EQ(Text.Setup, VersionText(Run.Medium.SetupExe, Text.Name));
    }
    std::vector<char> Data(GetFileVersionInfoSizeA(Run.Exe.c_str(), nullptr));
    VS_FIXEDFILEINFO* Fixed = nullptr;
    UINT Length = 0;
    ASSERT_TRUE(GetFileVersionInfoA(Run.Exe.c_str(), 0, DWORD(Data.size()), Data.data()) &&
                VerQueryValueA(Data.data(), "\\", reinterpret_cast<void**>(&Fixed), &Length));
    EXPECT_EQ(0x00010002u, Fixed->dwProductVersionMS);
    EXPECT_EQ(0x00030000u, Fixed->dwFileVersionLS);
    TRunResult Bundle = Run.RunBundle("/quiet /dir=" + Run.BundleApp, {});
    EXPECT_EQ(0u, Bundle.ExitCode) << DescribeRun(Bundle);
    EXPECT_TRUE(FileHolds(Run.BundleApp + "\\docs\\guide.txt", "The guide.\r\n"));
    // What the resource can't take is refused before anything is written.
    for (const std::string& Wrong :
         {std::string("ProductVersion=1.x"), "Product=" + std::string(41, 'P')}) {
        WithVersionKeys({Wrong});
        TRunResult Refused = Run.Pack(Run.Out + "\\wrong.exe");
        EXPECT_EQ(87u, Refused.ExitCode) << Wrong;
        EXPECT_TRUE(NothingAt(Run.Out + "\\wrong.exe")) << Wrong;
    }
    // Without ProductVersion, the version of the file that gives ProjectVersion.
    WithVersionKeys({"Product=Pocket Notes", "ProjectVersionFile=tool.dll"});
    ASSERT_EQ(0u, Run.Pack(Run.Out + "\\file.exe").ExitCode);
    EXPECT_EQ("1.2.0.0", VersionText(Run.Out + "\\file.exe", "ProductVersion"));
    EXPECT_EQ("<none>", VersionText(Run.Out + "\\file.exe", "CompanyName"));
}

TEST(BundleRun, RefusesWhatItCannotPack)
{
    TBundled Run;
    HANDLE Held = CreateFileA((Run.Out + "\\held.exe").c_str(), GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, 0, nullptr);
    for (const std::string& Args : {
             "/bundle=" + Run.Medium.Path("x.exe"),   // inside the medium
             "/bundle=" + Run.Out + "\\held.exe",     // can't be replaced
             std::string("/bundle"),                  // no file
             "/bundle=" + Run.Exe + " /dir=C:\\x",    // a switch that does not go with it
         }) {
        TRunResult Refused = Run.Medium.Run("/quiet " + Args, {});
        EXPECT_EQ(87u, Refused.ExitCode) << Args << "\n" << DescribeRun(Refused);
    }
    CloseHandle(Held);
    EXPECT_EQ(std::vector<std::string>{"held.exe"}, NamesIn(Run.Out + "\\held.exe*"));
    DeleteFileA(Run.Medium.Path(Run.Inf.Name).c_str());   // no script to take
    EXPECT_EQ(87u, Run.Pack(Run.Exe).ExitCode);
}

// A name that Windows keeps for a device, a superscript port's too, is said before it is packed:
// the unpacking would refuse it.
TEST(BundleRun, RefusesToPackADeviceName)
{
    TBundled Run;
    Run.Medium.WriteText("docs\\COM\xB9.txt", "a port, not a file\r\n");
    TRunResult Refused = Run.Pack(Run.Exe);
    EXPECT_EQ(87u, Refused.ExitCode) << DescribeRun(Refused);
    EXPECT_TRUE(NothingAt(Run.Exe));
}

}   // namespace
