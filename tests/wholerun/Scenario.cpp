// The whole-run harness: temporary media, the test's registry key, and checks that print the
// robot's transcript when they fail.
#include "Scenario.h"

#include <windows.h>

#include <objbase.h>
#include <objidl.h>
#include <sddl.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>
#include <vector>

namespace {

const int PathSize = MAX_PATH + 1;
const int EnvValueSize = 1024;

// Unique per test and per process, so that tests may run side by side.
std::string TestName()
{
    const ::testing::TestInfo* Info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string Name = Info ? std::string(Info->test_suite_name()) + "." + Info->name() : "NoTest";
    for (char& C : Name)
        if (!isalnum(static_cast<unsigned char>(C)) && C != '.' && C != '_')
            C = '_';   // parameterised names hold '/'
    return Name + "." + std::to_string(GetCurrentProcessId());
}

bool IsAbsolute(const std::string& Path)
{
    return (Path.size() >= 2 && Path[1] == ':') || Path.rfind("\\\\", 0) == 0;
}

bool IsDir(const std::string& Path)
{
    DWORD Attributes = GetFileAttributesA(Path.c_str());
    return Attributes != INVALID_FILE_ATTRIBUTES && (Attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool CreateDirs(const std::string& Path)
{
    if (Path.empty() || IsDir(Path))
        return true;
    size_t Slash = Path.find_last_of('\\');
    if (Slash != std::string::npos && Slash > 2 && !CreateDirs(Path.substr(0, Slash)))
        return false;
    return CreateDirectoryA(Path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

// Deletes a folder with everything in it; read-only files too, as SETUP.EXE may leave some.
bool RemoveTreeIn(const std::string& Dir)
{
    WIN32_FIND_DATAA Entry;
    HANDLE Find = FindFirstFileA((Dir + "\\*").c_str(), &Entry);
    bool Ok = true;
    if (Find != INVALID_HANDLE_VALUE) {
        do {
            std::string Name = Entry.cFileName;
            if (Name == "." || Name == "..")
                continue;
            std::string Path = Dir + "\\" + Name;
            SetFileAttributesA(Path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if ((Entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                !(Entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                Ok = RemoveTreeIn(Path) && Ok;
            else
                Ok = DeleteFileA(Path.c_str()) && Ok;
        } while (FindNextFileA(Find, &Entry));
        FindClose(Find);
    }
    return RemoveDirectoryA(Dir.c_str()) && Ok;
}

std::optional<std::string> ReadWholeFile(const std::string& Path)
{
    HANDLE File = CreateFileA(Path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (File == INVALID_HANDLE_VALUE)
        return std::nullopt;
    std::string Text;
    char Chunk[4096];
    DWORD Got;
    bool Ok;
    while ((Ok = ReadFile(File, Chunk, sizeof Chunk, &Got, nullptr)) && Got > 0)
        Text.append(Chunk, Got);
    CloseHandle(File);
    if (!Ok)
        return std::nullopt;
    return Text;
}

std::string Quoted(const std::string& Text)
{
    return "\"" + EscapeText(Text) + "\"";
}

}   // namespace

TScenario::TScenario()
{
    char Temp[PathSize];
    DWORD Length = GetTempPathA(sizeof Temp, Temp);
    if (Length == 0 || Length >= sizeof Temp) {
        ADD_FAILURE() << "no usable temporary directory";
        return;
    }
    Id = TestName();
    Dir = std::string(Temp, Length) + Id;
    if (IsDir(Dir))
        RemoveTreeIn(Dir);   // left by a failed test of an earlier process with the same id
    TmpDir = Dir + "\\tmp";
    SetupExe = Dir + "\\SETUP.EXE";
    WorkDir = TmpDir;
    if (!CreateDirs(TmpDir)) {
        ADD_FAILURE() << "can't create " << TmpDir << ": error " << GetLastError();
        return;
    }
    // The long form is what SETUP.EXE sees as its own path and prints in its messages.
    char Long[PathSize];
    Length = GetLongPathNameA(Dir.c_str(), Long, sizeof Long);
    if (Length > 0 && Length < sizeof Long) {
        Dir.assign(Long, Length);
        TmpDir = Dir + "\\tmp";
        SetupExe = Dir + "\\SETUP.EXE";
        WorkDir = TmpDir;
    }
    char Source[EnvValueSize];
    Length = GetEnvironmentVariableA("SETUP_EXE", Source, sizeof Source);
    if (Length == 0 || Length >= sizeof Source)
        ADD_FAILURE() << "SETUP_EXE does not name the program under test (run the test by ctest)";
    else if (!CopyFileA(Source, SetupExe.c_str(), FALSE))
        ADD_FAILURE() << "can't copy " << Source << ": error " << GetLastError();
}

TScenario::~TScenario()
{
    if (Dir.empty())
        return;
    if (::testing::Test::HasFailure())
        std::printf("Medium of the failed test kept: %s, its last plan %s\n", Dir.c_str(),
                    PlanFile().c_str());
    else if (!DeleteFileA(PlanFile().c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND)
        std::printf("Plan not removed: %s\n", PlanFile().c_str());
    else if (!RemoveTreeIn(Dir))
        std::printf("Medium not removed completely: %s\n", Dir.c_str());
}

std::string TScenario::Path(const std::string& Name) const
{
    return IsAbsolute(Name) ? Name : Dir + "\\" + Name;
}

void TScenario::WriteText(const std::string& Name, const std::string& Text) const
{
    std::string Full = Path(Name);
    size_t Slash = Full.find_last_of('\\');
    if (Slash != std::string::npos)
        CreateDirs(Full.substr(0, Slash));
    HANDLE File = CreateFileA(Full.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD Written = 0;
    bool Ok = File != INVALID_HANDLE_VALUE &&
              WriteFile(File, Text.data(), static_cast<DWORD>(Text.size()), &Written, nullptr) &&
              Written == Text.size();
    if (!Ok)
        ADD_FAILURE() << "can't write " << Full << ": error " << GetLastError();
    if (File != INVALID_HANDLE_VALUE)
        CloseHandle(File);
}

std::optional<std::string> TScenario::ReadText(const std::string& Name) const
{
    return ReadWholeFile(Path(Name));
}

bool TScenario::Exists(const std::string& Name) const
{
    return GetFileAttributesA(Path(Name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

void TScenario::MakeDir(const std::string& Name) const
{
    if (!CreateDirs(Path(Name)))
        ADD_FAILURE() << "can't create " << Path(Name) << ": error " << GetLastError();
}

TRunResult TScenario::Run(const std::string& Args, const std::vector<std::string>& Answers,
                          const TEnvOverrides& Env, unsigned TimeoutMs) const
{
    TRunOptions Options;
    Options.CommandLine = "\"" + SetupExe + "\"" + (Args.empty() ? "" : " " + Args);
    Options.WorkDir = WorkDir;
    Options.Env = {{"tmp", TmpDir}, {"temp", TmpDir}};
    Options.Env.insert(Options.Env.end(), Env.begin(), Env.end());
    Options.TimeoutMs = TimeoutMs;
    for (const std::string& Line : Answers) {
        TAnswer Answer;
        std::string Error;
        if (!ParseAnswer(Line, Answer, Error)) {
            TRunResult NotRun;
            NotRun.Unexpected = true;
            NotRun.Failure =
                "not run: answer " + std::to_string(Options.Answers.size() + 1) + ": " + Error;
            return NotRun;
        }
        Options.Answers.push_back(Answer);
    }
    return RunWithRobot(Options);
}

bool AsksQuestion(const std::vector<std::string>& Answers)
{
    for (const std::string& Answer : Answers)
        if (Answer != "click 1" && Answer != "click 6" && Answer != "default")
            return true;
    return false;
}

TRunResult TScenario::PlannedRun(const std::string& Args, const std::vector<std::string>& Answers,
                                 const TEnvOverrides& Env) const
{
    if (!PlansFirst(Answers, PlanMark))
        return Run(Args, Answers, Env);
    DeleteFileA(PlanFile().c_str());   // the plan of an earlier run
    ::testing::AssertionResult Planned =
        RanAsAnswered(Run("/plan=" + PlanFile() + " " + Args, {}, Env));
    EXPECT_TRUE(Planned) << "its plan; a plan that can't be made needs the mark none REASON";
    TRunResult Result = Run(Args, Answers, Env);
    if (Planned && RanAsAnswered(Result, Result.ExitCode)) {
        EXPECT_TRUE(AsPlanned(PlanFile(), PlanMark));
    }
    return Result;
}

bool PlansFirst(const std::vector<std::string>& Answers, const std::string& Mark)
{
    bool Asks = AsksQuestion(Answers);
    if (Asks && !Mark.empty())
        ADD_FAILURE() << "a run that asks a question has no plan to mark: " << Mark;
    return !Asks && Mark.rfind("none ", 0) != 0;
}

::testing::AssertionResult AsPlanned(const std::string& PlanFile, const std::string& Mark)
{
    ::testing::AssertionResult Same = PlanMatchesLog(PlanFile);
    if (Mark.rfind("known-mismatch ", 0) != 0)
        return Same;
    if (Same)
        return ::testing::AssertionFailure()
               << "the plan matches the log now: drop the mark " << Mark;
    return ::testing::AssertionSuccess();
}

// ---------------------------------------------------------------------------------------------

namespace {

// Opens Path below Base; creates the missing keys when Create is set.
HKEY OpenKey(const std::string& Base, const std::string& Path, bool Create)
{
    std::string Name = Path.empty() ? Base : Base + "\\" + Path;
    HKEY Key = nullptr;
    LONG Status = Create ? RegCreateKeyExA(HKEY_CURRENT_USER, Name.c_str(), 0, nullptr, 0,
                                           KEY_ALL_ACCESS, nullptr, &Key, nullptr)
                         : RegOpenKeyExA(HKEY_CURRENT_USER, Name.c_str(), 0, KEY_READ, &Key);
    return Status == ERROR_SUCCESS ? Key : nullptr;
}

void SetValue(const std::string& Base, const std::string& Path, const std::string& Name, DWORD Type,
              const void* Data, DWORD Size)
{
    HKEY Key = OpenKey(Base, Path, true);
    LONG Status =
        Key ? RegSetValueExA(Key, Name.c_str(), 0, Type, static_cast<const BYTE*>(Data), Size)
            : ERROR_CANTOPEN;
    if (Key)
        RegCloseKey(Key);
    if (Status != ERROR_SUCCESS)
        ADD_FAILURE() << "can't write HKCU\\" << Base << "\\" << Path << " " << Name << ": error "
                      << Status;
}

// The value's type and bytes, or nullopt when the key or the value is missing.
std::optional<std::string> QueryValue(const std::string& Base, const std::string& Path,
                                      const std::string& Name, DWORD& Type)
{
    HKEY Key = OpenKey(Base, Path, false);
    if (!Key)
        return std::nullopt;
    DWORD Size = 0;
    std::optional<std::string> Data;
    if (RegQueryValueExA(Key, Name.c_str(), nullptr, &Type, nullptr, &Size) == ERROR_SUCCESS) {
        std::string Bytes(Size, '\0');
        if (RegQueryValueExA(Key, Name.c_str(), nullptr, &Type, reinterpret_cast<BYTE*>(&Bytes[0]),
                             &Size) == ERROR_SUCCESS) {
            Bytes.resize(Size);
            Data = Bytes;
        }
    }
    RegCloseKey(Key);
    return Data;
}

}   // namespace

TTestKey::TTestKey() : SubKey("Software\\SetupTest\\" + TestName())
{
    RegDeleteTreeA(HKEY_CURRENT_USER, SubKey.c_str());   // left by an earlier process of this id
}

TTestKey::~TTestKey()
{
    RegDeleteTreeA(HKEY_CURRENT_USER, SubKey.c_str());
}

void TTestKey::SetString(const std::string& Path, const std::string& Name,
                         const std::string& Value) const
{
    SetValue(SubKey, Path, Name, REG_SZ, Value.c_str(), static_cast<DWORD>(Value.size() + 1));
}

void TTestKey::SetDWord(const std::string& Path, const std::string& Name, uint32_t Value) const
{
    DWORD Data = Value;
    SetValue(SubKey, Path, Name, REG_DWORD, &Data, sizeof Data);
}

std::optional<std::string> TTestKey::ReadString(const std::string& Path,
                                                const std::string& Name) const
{
    DWORD Type = REG_NONE;
    std::optional<std::string> Data = QueryValue(SubKey, Path, Name, Type);
    if (!Data || (Type != REG_SZ && Type != REG_EXPAND_SZ))
        return std::nullopt;
    while (!Data->empty() && Data->back() == '\0')
        Data->pop_back();   // the stored terminator
    return Data;
}

std::optional<uint32_t> TTestKey::ReadDWord(const std::string& Path, const std::string& Name) const
{
    DWORD Type = REG_NONE;
    std::optional<std::string> Data = QueryValue(SubKey, Path, Name, Type);
    if (!Data || Type != REG_DWORD || Data->size() != 4)
        return std::nullopt;
    const unsigned char* Bytes = reinterpret_cast<const unsigned char*>(Data->data());
    return Bytes[0] | Bytes[1] << 8 | Bytes[2] << 16 | static_cast<uint32_t>(Bytes[3]) << 24;
}

bool TTestKey::Exists(const std::string& Path) const
{
    HKEY Key = OpenKey(SubKey, Path, false);
    if (Key)
        RegCloseKey(Key);
    return Key != nullptr;
}

// ---------------------------------------------------------------------------------------------

std::string Lines(std::initializer_list<std::string> Texts)
{
    std::string Result;
    for (const std::string& Text : Texts)
        Result += Text + "\r\n";
    return Result;
}

std::string ProgramPathRegRead(const std::string& Dir)
{
    return Lines({"[RegRead]", "MyProgramPath=HKCU,Software\\SetupTest\\no such key,," + Dir});
}

::testing::AssertionResult RanAsAnswered(const TRunResult& Run, unsigned long ExitCode)
{
    if (Run.Failure.empty() && !Run.TimedOut && Run.AnswersLeft == 0 && Run.ExitCode == ExitCode)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the run did not go as answered:\n" << DescribeRun(Run);
}

namespace {

::testing::AssertionResult ShowsDialog(const TRunResult& Run, size_t Index, bool IsTemplate,
                                       const std::string& Text)
{
    const char* Kind = IsTemplate ? "a template" : "a message box";
    if (Index >= Run.Dialogs.size())
        return ::testing::AssertionFailure() << "dialog " << Index + 1 << " (" << Kind
                                             << " showing " << Quoted(Text) << ") did not appear:\n"
                                             << DescribeRun(Run);
    const TDialog& Dialog = Run.Dialogs[Index];
    if (Dialog.IsTemplate == IsTemplate && Dialog.Message() == Text)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "dialog " << Index + 1 << " should be " << Kind
                                         << " showing " << Quoted(Text) << ":\n"
                                         << DescribeRun(Run);
}

}   // namespace

::testing::AssertionResult ShowsMessageBox(const TRunResult& Run, size_t Index,
                                           const std::string& Text)
{
    return ShowsDialog(Run, Index, false, Text);
}

::testing::AssertionResult ShowsTemplate(const TRunResult& Run, size_t Index,
                                         const std::string& Text)
{
    return ShowsDialog(Run, Index, true, Text);
}

::testing::AssertionResult FileHolds(const std::string& Path, const std::string& Text)
{
    std::optional<std::string> Held = ReadWholeFile(Path);
    if (!Held)
        return ::testing::AssertionFailure() << "can't read " << Path;
    if (*Held == Text)
        return ::testing::AssertionSuccess();
    size_t Same = 0;
    while (Same < Held->size() && Same < Text.size() && (*Held)[Same] == Text[Same])
        ++Same;
    return ::testing::AssertionFailure()
           << Path << " differs from byte " << Same << " on\n  holds:    " << Quoted(*Held)
           << "\n  expected: " << Quoted(Text);
}

::testing::AssertionResult FileContains(const std::string& Path, const std::string& Part)
{
    std::optional<std::string> Held = ReadWholeFile(Path);
    if (!Held)
        return ::testing::AssertionFailure() << "can't read " << Path;
    if (Held->find(Part) != std::string::npos)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << Path << " lacks " << Quoted(Part) << "\n  holds: " << Quoted(*Held);
}

::testing::AssertionResult NothingAt(const std::string& Path)
{
    if (GetFileAttributesA(Path.c_str()) == INVALID_FILE_ATTRIBUTES)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << Path << " exists";
}

TInstalledInf::TInstalledInf(const std::string& Stem)
    : Name(Stem + std::to_string(GetCurrentProcessId()) + ".INF")
{
    Installed = WindowsInfDir() + "\\" + Name;
}

TInstalledInf::~TInstalledInf()
{
    SetFileAttributesA(Installed.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(Installed.c_str());
}

bool RemoveTree(const std::string& Dir)
{
    return RemoveTreeIn(Dir);
}

std::string WindowsInfDir()
{
    char Dir[PathSize];
    UINT Length = GetWindowsDirectoryA(Dir, sizeof Dir);
    return Length > 0 && Length < sizeof Dir ? std::string(Dir, Length) + "\\inf" : "";
}

std::string ProfileValue(const std::string& File, const std::string& Section,
                         const std::string& Key)
{
    std::vector<char> Value(65536);
    GetPrivateProfileStringA(Section.c_str(), Key.c_str(), "<missing>", Value.data(),
                             DWORD(Value.size()), File.c_str());
    return Value.data();
}

TLink ReadLink(const std::string& Path)
{
    TLink Link;
    CoInitialize(nullptr);
    IShellLinkA* Shell = nullptr;
    if (CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                         reinterpret_cast<void**>(&Shell)) != S_OK)
        return Link;
    IPersistFile* File = nullptr;
    if (Shell->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&File)) == S_OK) {
        WCHAR Wide[MAX_PATH];
        if (MultiByteToWideChar(CP_ACP, 0, Path.c_str(), -1, Wide, MAX_PATH) > 0)
            Link.Loaded = File->Load(Wide, STGM_READ) == S_OK;
        File->Release();
    }
    if (Link.Loaded) {
        char Text[1024] = "";
        Shell->GetPath(Text, sizeof Text, nullptr, SLGP_RAWPATH);
        Link.Target = Text;
        Text[0] = 0;
        Shell->GetArguments(Text, sizeof Text);
        Link.Arguments = Text;
        Text[0] = 0;
        Shell->GetWorkingDirectory(Text, sizeof Text);
        Link.WorkDir = Text;
        Text[0] = 0;
        Shell->GetIconLocation(Text, sizeof Text, &Link.IconIndex);
        Link.IconFile = Text;
    }
    Shell->Release();
    return Link;
}

void SetLastWriteTime(const std::string& Path, const SYSTEMTIME& Time)
{
    FILETIME Written;
    SystemTimeToFileTime(&Time, &Written);
    HANDLE File = CreateFileA(Path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (File == INVALID_HANDLE_VALUE || !SetFileTime(File, nullptr, nullptr, &Written))
        ADD_FAILURE() << "can't set the time of " << Path << ": error " << GetLastError();
    if (File != INVALID_HANDLE_VALUE)
        CloseHandle(File);
}

// ---------------------------------------------------------------------------------------------

std::string FixturesDir()
{
    char Exe[MAX_PATH + 1] = "";
    DWORD Length = GetEnvironmentVariableA("SETUP_EXE", Exe, sizeof Exe);
    std::string Build = Length > 0 && Length < sizeof Exe ? Exe : "";
    return Build.substr(0, Build.rfind("\\Setup\\")) + "\\tests\\fixtures";
}

std::string ProgramsFolder()
{
    char Raw[MAX_PATH + 1] = "";
    DWORD Size = sizeof Raw;
    RegGetValueA(HKEY_CURRENT_USER,
                 "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
                 "Programs", RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, Raw,
                 &Size);
    char Expanded[MAX_PATH + 1] = "";
    ExpandEnvironmentStringsA(Raw, Expanded, sizeof Expanded);
    return Expanded;
}

void KillOwnSetups()
{
    HANDLE Snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (Snapshot == INVALID_HANDLE_VALUE)
        return;
    PROCESSENTRY32 Entry;
    Entry.dwSize = sizeof Entry;
    for (BOOL More = Process32First(Snapshot, &Entry); More;
         More = Process32Next(Snapshot, &Entry)) {
        if (Entry.th32ParentProcessID != GetCurrentProcessId() ||
            lstrcmpiA(Entry.szExeFile, "SETUP.EXE") != 0)
            continue;
        if (HANDLE Process =
                OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, Entry.th32ProcessID)) {
            TerminateProcess(Process, 1);
            WaitForSingleObject(Process, 5000);
            CloseHandle(Process);
        }
    }
    CloseHandle(Snapshot);
}

namespace {

BOOL CALLBACK FindDialogWith(HWND Wnd, LPARAM Part)
{
    char Class[16] = "", Text[4096] = "";
    GetClassNameA(Wnd, Class, sizeof Class);
    if (lstrcmpA(Class, "#32770") != 0 || !IsWindowVisible(Wnd))
        return TRUE;
    const std::string& Wanted = *reinterpret_cast<const std::string*>(Part);
    for (int Id : {101, 0xFFFF}) {
        if (GetDlgItemTextA(Wnd, Id, Text, sizeof Text) > 0 &&
            std::string(Text).find(Wanted) != std::string::npos) {
            SetLastError(ERROR_SUCCESS);
            return FALSE;   // found: stop
        }
    }
    return TRUE;
}

}   // namespace

bool DialogShowing(const std::string& Part)
{
    SetLastError(ERROR_INVALID_DATA);
    return !EnumWindows(FindDialogWith, reinterpret_cast<LPARAM>(&Part)) &&
           GetLastError() == ERROR_SUCCESS;
}

TWhen::TWhen(std::function<bool()> Ready, std::function<void()> Act)
    : Ready(std::move(Ready)), Act(std::move(Act))
{
    Watch = std::thread([this] {
        for (; !Stop; Sleep(1)) {
            if (this->Ready()) {
                // Before Act: a run that Act kills returns to the test before Act does.
                Acted = true;
                this->Act();
                return;
            }
        }
    });
}

TWhen::~TWhen()
{
    Stop = true;
    Watch.join();
}

std::vector<std::string> NamesIn(const std::string& Pattern)
{
    std::vector<std::string> Names;
    WIN32_FIND_DATAA Found;
    HANDLE Find = FindFirstFileA(Pattern.c_str(), &Found);
    if (Find == INVALID_HANDLE_VALUE)
        return Names;
    do {
        std::string Name = Found.cFileName;
        if (Name != "." && Name != "..")
            Names.push_back(Name);
    } while (FindNextFileA(Find, &Found));
    FindClose(Find);
    return Names;
}

std::vector<std::string> TempFilesIn(const std::string& Dir)
{
    return NamesIn(Dir + "\\~setupkv*.tmp");
}

std::vector<std::string> LeftTempFilesIn(const std::string& Dir)
{
    std::vector<std::string> Left;
    for (const std::string& Name : TempFilesIn(Dir)) {
        HANDLE File = CreateFileA((Dir + "\\" + Name).c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (File != INVALID_HANDLE_VALUE) {
            Left.push_back(Name);
            CloseHandle(File);
        }
    }
    return Left;
}

SYSTEMTIME June1(int Year)
{
    SYSTEMTIME Time = {};
    Time.wYear = WORD(Year);
    Time.wMonth = 6;
    Time.wDay = 1;
    return Time;
}

std::string DateText(int Year)
{
    SYSTEMTIME Time = June1(Year);
    char Text[100] = "";
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &Time, nullptr, Text, sizeof Text);
    return Text;
}

std::string SystemText(DWORD Code)
{
    char Text[512] = "";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, Code, 0,
                   Text, sizeof Text, nullptr);
    std::string Reason = Text;
    while (!Reason.empty() && (Reason.back() == '\r' || Reason.back() == '\n'))
        Reason.pop_back();
    return Reason;
}

bool RunThroughCmd(const std::string& Command, bool Native)
{
    char Windows[MAX_PATH + 1] = "";
    GetWindowsDirectoryA(Windows, sizeof Windows);
    std::string Cmd = std::string(Windows) + "\\Sysnative\\cmd.exe";
    if (!Native || GetFileAttributesA(Cmd.c_str()) == INVALID_FILE_ATTRIBUTES)
        Cmd = "cmd.exe";
    std::string Line = Cmd + " /c " + Command;
    std::vector<char> Text(Line.begin(), Line.end());
    Text.push_back(0);
    STARTUPINFOA Startup = {};
    Startup.cb = sizeof Startup;
    PROCESS_INFORMATION Process;
    if (!CreateProcessA(nullptr, Text.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &Startup, &Process))
        return false;
    bool Ended = WaitForSingleObject(Process.hProcess, 60000) == WAIT_OBJECT_0;
    if (!Ended)
        TerminateProcess(Process.hProcess, 1);
    CloseHandle(Process.hProcess);
    CloseHandle(Process.hThread);
    return Ended;
}

TDeniedKey::TDeniedKey(const std::string& SubKey) : SubKey(SubKey)
{
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, SubKey.c_str());
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, SubKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &Key, nullptr) != ERROR_SUCCESS) {
        ADD_FAILURE() << "can't create HKLM\\" << SubKey;
        Key = nullptr;
        return;
    }
    EXPECT_TRUE(SetSecurity("O:SYD:P(D;;KA;;;WD)"));
}

TDeniedKey::~TDeniedKey()
{
    if (!Key)
        return;
    SetSecurity("O:BAD:(A;;KA;;;WD)");
    RegCloseKey(Key);
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, SubKey.c_str());
}

DWORD TDeniedKey::ValueCount() const
{
    DWORD Values = 0;
    RegQueryInfoKeyA(Key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &Values, nullptr,
                     nullptr, nullptr, nullptr);
    return Values;
}

bool TDeniedKey::SetSecurity(const char* Text)
{
    PSECURITY_DESCRIPTOR Sd;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(Text, SDDL_REVISION_1, &Sd, nullptr))
        return false;
    bool Ok = RegSetKeySecurity(Key, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, Sd) ==
              ERROR_SUCCESS;
    LocalFree(Sd);
    return Ok;
}

// A file time as UTC text, to the millisecond.
static std::string TimeText(const FILETIME& Time)
{
    SYSTEMTIME Utc;
    char Text[32] = "?";
    if (FileTimeToSystemTime(&Time, &Utc))
        snprintf(Text, sizeof Text, "%04d-%02d-%02d %02d:%02d:%02d.%03d", Utc.wYear, Utc.wMonth,
                 Utc.wDay, Utc.wHour, Utc.wMinute, Utc.wSecond, Utc.wMilliseconds);
    return Text;
}

static std::string Hex(uint64_t Number)
{
    char Text[20];
    snprintf(Text, sizeof Text, "0x%llx", static_cast<unsigned long long>(Number));
    return Text;
}

// The file or folder at Path, and everything below a folder, but what Skip names.
static void ReadTree(TMachine& Machine, const std::string& Path,
                     const std::vector<std::string>& Skip)
{
    WIN32_FILE_ATTRIBUTE_DATA Data;
    if (std::find(Skip.begin(), Skip.end(), Path) != Skip.end() ||
        !GetFileAttributesExA(Path.c_str(), GetFileExInfoStandard, &Data))
        return;
    std::string Attributes = Hex(Data.dwFileAttributes);
    if (!(Data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        std::optional<std::string> Bytes = ReadWholeFile(Path);
        uint64_t Sum = 14695981039346656037ull;   // FNV-1a: a change of any byte shows
        for (unsigned char C : Bytes.value_or(""))
            Sum = (Sum ^ C) * 1099511628211ull;
        std::string Read = Bytes ? std::to_string(Bytes->size()) + " " + Hex(Sum) : "unreadable";
        Machine["file " + Path] = {{"bytes", Read},
                                   {"written", TimeText(Data.ftLastWriteTime)},
                                   {"attributes", Attributes}};
        return;
    }
    Machine["folder " + Path] = {{"attributes", Attributes}};
    for (const std::string& Name : NamesIn(Path + "\\*"))
        ReadTree(Machine, Path + "\\" + Name, Skip);
}

// A value's type and data, strings without their closing NUL.
static TAspects ValueAspects(DWORD Type, const std::string& Data)
{
    static const std::map<DWORD, const char*> Names = {{REG_SZ, "sz"},
                                                       {REG_EXPAND_SZ, "expand"},
                                                       {REG_MULTI_SZ, "multi"},
                                                       {REG_DWORD, "dword"},
                                                       {REG_BINARY, "binary"}};
    auto Name = Names.find(Type);
    std::string Text = Data;
    if (Type == REG_DWORD && Data.size() == 4)
        Text = std::to_string(*reinterpret_cast<const uint32_t*>(Data.data()));
    else if ((Type == REG_SZ || Type == REG_EXPAND_SZ) && !Text.empty() && Text.back() == '\0')
        Text.pop_back();
    return {{"type", Name != Names.end() ? Name->second : std::to_string(Type)},
            {"data", EscapeText(Text)}};
}

// The key Name ("HKCU\..."), every value in it and every key below it.
static void ReadKey(TMachine& Machine, HKEY Root, const std::string& Name)
{
    HKEY Key;
    std::string SubKey = Name.substr(5);
    if (RegOpenKeyExA(Root, SubKey.c_str(), 0, KEY_READ, &Key) != ERROR_SUCCESS)
        return;
    Machine["key " + Name] = {};
    char Value[16384];
    std::vector<char> Data(1 << 16);
    for (DWORD Index = 0;; ++Index) {
        DWORD NameSize = sizeof Value, Size = DWORD(Data.size()), Type = 0;
        if (RegEnumValueA(Key, Index, Value, &NameSize, nullptr, &Type,
                          reinterpret_cast<BYTE*>(Data.data()), &Size) != ERROR_SUCCESS)
            break;
        Machine["value " + Name + " [" + Value + "]"] =
            ValueAspects(Type, std::string(Data.data(), Size));
    }
    std::vector<std::string> Below;
    for (DWORD Index = 0;; ++Index) {
        DWORD NameSize = sizeof Value;
        if (RegEnumKeyExA(Key, Index, Value, &NameSize, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        Below.push_back(Value);
    }
    RegCloseKey(Key);
    for (const std::string& Sub : Below)
        ReadKey(Machine, Root, Name + "\\" + Sub);
}

static std::string Lower(std::string Text)
{
    for (char& C : Text)
        C = char(tolower(static_cast<unsigned char>(C)));
    return Text;
}

// The renames at the next start whose source or target is one of Paths or lies in one.
static void ReadPendingRenames(TMachine& Machine, const std::vector<std::string>& Paths)
{
    std::string List;
    DWORD Size = 0;
    const char* Manager = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
    if (RegGetValueA(HKEY_LOCAL_MACHINE, Manager, "PendingFileRenameOperations", RRF_RT_ANY,
                     nullptr, nullptr, &Size) != ERROR_SUCCESS)
        return;
    Size += 4096;                  // room for what other tests add meanwhile
    List.assign(Size + 2, '\0');   // two NULs more: the last name ends whatever the list holds
    if (RegGetValueA(HKEY_LOCAL_MACHINE, Manager, "PendingFileRenameOperations", RRF_RT_ANY,
                     nullptr, &List[0], &Size) != ERROR_SUCCESS)
        return;
    for (size_t At = 0; At < Size && List[At] != '\0';) {
        std::string From = List.c_str() + At;
        std::string To = List.c_str() + At + From.size() + 1;   // empty: a deletion
        At += From.size() + To.size() + 2;
        std::string Names = Lower(From + "\n" + To + "\n");   // each name ends in a line end
        for (const std::string& Path : Paths)
            if (Names.find(Lower(Path) + "\\") != std::string::npos ||
                Names.find(Lower(Path) + "\n") != std::string::npos)
                Machine["rename " + From + " -> " + To] = {};
    }
}

TMachine ReadMachine(const TMachinePlaces& Places)
{
    TMachine Machine;
    for (const std::string& Path : Places.Paths)
        ReadTree(Machine, Path, Places.Skip);
    for (const std::string& Key : Places.Keys)
        ReadKey(Machine, Key.rfind("HKLM\\", 0) == 0 ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, Key);
    ReadPendingRenames(Machine, Places.Paths);
    return Machine;
}

// An item's aspects as one text, or "missing".
static std::string AspectsText(const TMachine& Machine, const std::string& Item,
                               const std::string& What)
{
    auto Found = Machine.find(Item);
    if (Found == Machine.end())
        return "missing";
    std::string Text;
    for (const auto& Aspect : Found->second)
        if (What.empty() || (" " + What + " ").find(" " + Aspect.first + " ") != std::string::npos)
            Text += (Text.empty() ? "" : ", ") + Aspect.first + " " + Aspect.second;
    return Text.empty() ? "present" : Text;
}

std::vector<TChange> MachineChanges(const TMachine& Before, const TMachine& After)
{
    std::map<std::string, std::string> Whats;   // item: what differs
    for (const auto& Item : Before)
        Whats[Item.first] = After.count(Item.first) ? "" : "removed";
    for (const auto& Item : After) {
        auto Was = Before.find(Item.first);
        if (Was == Before.end()) {
            Whats[Item.first] = "added";
            continue;
        }
        for (size_t I = 0; I < Item.second.size() && I < Was->second.size(); ++I)
            if (Item.second[I] != Was->second[I])
                Whats[Item.first] += (Whats[Item.first].empty() ? "" : " ") + Item.second[I].first;
    }
    std::vector<TChange> Changes;
    for (const auto& Item : Whats) {
        bool Whole = Item.second == "added" || Item.second == "removed";
        if (!Item.second.empty())
            Changes.push_back({Item.first, Item.second,
                               AspectsText(Before, Item.first, Whole ? "" : Item.second),
                               AspectsText(After, Item.first, Whole ? "" : Item.second)});
    }
    return Changes;
}

::testing::AssertionResult ChangedExactly(const TMachine& Before, const TMachine& After,
                                          std::vector<std::string> Expected)
{
    std::string Unexpected;
    for (const TChange& Change : MachineChanges(Before, After)) {
        auto Listed = std::find(Expected.begin(), Expected.end(), Change.Line());
        if (Listed != Expected.end())
            Expected.erase(Listed);
        else
            Unexpected += "\n  " + Change.Line() + "\n    before: " + Change.Before +
                          "\n    after:  " + Change.After;
    }
    if (Unexpected.empty() && Expected.empty())
        return ::testing::AssertionSuccess();
    std::string Missing;
    for (const std::string& Line : Expected)
        Missing += "\n  " + Line;
    return ::testing::AssertionFailure()
           << (Unexpected.empty() ? "" : "changed unexpectedly:" + Unexpected + "\n")
           << (Missing.empty() ? "" : "not changed as expected:" + Missing);
}

// Lines joined, each ended by a line end, for a comparison that shows them.
static std::string Join(const std::vector<std::string>& Lines)
{
    std::string Text;
    for (const std::string& Line : Lines)
        Text += Line + "\n";
    return Text;
}

::testing::AssertionResult PlanMatchesLog(const std::string& PlanFile)
{
    std::string Plan = ReadWholeFile(PlanFile).value_or("");
    // The last place it names: an undoing moves a log out of a folder that goes.
    const std::string Said = "Plan: the log would be ";
    size_t At = Plan.rfind(Said);
    if (At == std::string::npos)
        return ::testing::AssertionFailure() << "no plan at " << PlanFile << ", or it names no log";
    At += Said.size();
    std::string LogPath = Plan.substr(At, Plan.find('\r', At) - At);
    std::optional<std::string> Log = ReadWholeFile(LogPath);
    if (!Log)
        return ::testing::AssertionFailure()
               << "no log at " << LogPath << ", where the plan said it would be";
    std::vector<std::string> Planned = ToldLines(Plan), Logged = ToldLines(*Log);
    size_t Same = 0;
    while (Same < Planned.size() && Same < Logged.size() && Planned[Same] == Logged[Same])
        ++Same;
    if (Same == Planned.size() && Same == Logged.size())
        return ::testing::AssertionSuccess();
    auto From = [Same](const std::vector<std::string>& Lines) {
        return Join(std::vector<std::string>(Lines.begin() + Same,
                                             Lines.begin() + std::min(Lines.size(), Same + 3)));
    };
    return ::testing::AssertionFailure()
           << "plan and log part at line " << Same + 1 << " of their own lines:\nplan:\n"
           << From(Planned) << "log:\n"
           << From(Logged);
}

std::vector<std::string> ToldLines(const std::string& Text)
{
    std::vector<std::string> Lines;
    size_t Start = 0;
    while (Start < Text.size()) {
        size_t End = Text.find('\n', Start);
        if (End == std::string::npos)
            End = Text.size();
        std::string Line = Text.substr(Start, End - Start);
        Start = End + 1;
        if (!Line.empty() && Line.back() == '\r')
            Line.pop_back();
        if (Line.rfind("=====", 0) == 0)
            Lines.clear();   // an appended log: the run before this one ends here
        // A plan says that it would undo the run in one line of its own, where the log names
        // each change undone.
        else if (!Line.empty() && Line.rfind("Plan", 0) != 0 && Line.rfind("Date/Time:", 0) != 0 &&
                 Line.rfind("SourceInfFile", 0) != 0 && Line.rfind("Rollback: ", 0) != 0)
            Lines.push_back(Line);
    }
    return Lines;
}
