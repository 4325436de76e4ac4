#include "Setup/run/InfCopy.h"

#include "Setup/base/Dialogs.h"
#include "Rules/DlgText.h"
#include "Rules/DriverText.h"
#include "Rules/InstallText.h"
#include "Setup/base/Report.h"
#include "Setup/base/RunState.h"
#include "Setup/base/WinText.h"
#include "Setup/base/AtomicCopy.h"
#include "Setup/base/Log.h"
#include "Setup/sections/StringsSection.h"

namespace {

const size_t MessageWidth = 70;   // columns of an error text shown in a message box
const DWORD FoundPathSize = 259;

// The text for Code, or an empty one after telling the user that there is none.
std::string ErrorTextOrBox(DWORD Code, size_t Width)
{
    std::string Text;
    if (!SystemErrorText(Code, Width, Text))
        MessageOrDefault("FormatMessage failed", Caption.c_str(), MB_OK);
    return Text;
}

// Whole or not at all: a run killed here leaves the earlier installation's copy as it was.
bool CopyInf() { return CopyAtomic(SourceInfPath, TargetInfPath); }

// Copies the INF file to TargetInfPath; when the INF directory denies access, into ProgramPath
// instead, which then becomes TargetInfPath. Ends the run when neither works.
// Users and scripts read these lines as they are: keep "coundn't".
void CopyInfFile(const std::string& ProgramPath)
{
    if (CopyInf()) {
        LogLine("INF-File copied to " + TargetInfPath);
        return;
    }
    DWORD Code = GetLastError();
    ++ErrorCount;
    std::string Text;
    SystemErrorText(Code, 0, Text);
    LogLine("Warning: Couldn't copy INF-File to " + TargetInfPath + ": Error " +
            std::to_string(Code) + ", " + Text);
    // Without an installation directory the retry would drop the file into the root of the
    // current drive.
    if (Code == ERROR_ACCESS_DENIED && !ProgramPath.empty()) {
        LogLine("Trying to copy the INF to the ProgramDir");
        TargetInfPath = JoinPath(ProgramPath, LastComponent(TargetInfPath));
        if (CopyInf()) {
            LogLine("using " + TargetInfPath + " as INF-File");
            return;
        }
        Code = GetLastError();
    }
    Text = ErrorTextOrBox(Code, MessageWidth);
    LogLine("Error: coundn't copy INF-File to " + TargetInfPath + ": " + Text);
    ErrorBox("Error: coundn't copy INF-File to " + TargetInfPath + "\r" + Text);
    FatalError();
}

bool WriteString(const char* Key, const std::string& Value)
{
    return WriteProfile("Strings", Key, Value, TargetInfPath);
}

// The installed INF and the variable get the same value; failures of either are no matter.
void Publish(const char* Key, const std::string& Value)
{
    WriteString(Key, Value);
    SetEnv(Key, Value);
}

// Only whether the file is there counts: a path too long for the buffer is still found.
bool OnSearchPath(const char* Name, const char* Extension)
{
    char Found[FoundPathSize];
    char* FilePart;
    return SearchPathA(nullptr, Name, Extension, sizeof Found, Found, &FilePart) != 0;
}

} // namespace

bool InfDirWritable(const std::string& TargetInfPath)
{
    bool Existed = GetFileAttributesA(TargetInfPath.c_str()) != INVALID_FILE_ATTRIBUTES;
    bool Written =
        WritePrivateProfileStringA("Version", "FormKv", "KELVOR", TargetInfPath.c_str()) != 0;
    if (Written && !Existed)
        DeleteFileA(TargetInfPath.c_str());
    return Written;
}

void InstallInfCopy()
{
    std::string ProgramPath;
    if (!ReadEnv("MyProgramPath", ProgramPath))
        ProgramPath.clear();
    CopyInfFile(ProgramPath);
    // A copy from a read-only medium must stay writable for the uninstallation.
    SetFileAttributesA(TargetInfPath.c_str(), FILE_ATTRIBUTE_ARCHIVE);

    // The installed INF keeps the directory with its backslash, the variable without it.
    std::string InfDir = DirectoryPart(TargetInfPath);
    if (!WriteString("InfPath", InfDir)) {
        std::string Text = ErrorTextOrBox(GetLastError(), 0);
        LogLine("Error: coundn't write to " + TargetInfPath + ": " + Text);
        ErrorBox("Error: coundn't write to " + TargetInfPath + "\r" + Text);
        FatalError();
    }
    std::string InfVar = InfDir;
    DropTrailingBackslash(InfVar);
    if (!SetEnv("InfPath", InfVar)) {
        const char* Text = "Error: can't set environment variable";
        ErrorBox(Text);
        LogLine(Text);
        EndRun();
    }
    if (!ProgramPath.empty())
        WriteString("MyProgramPath", ProgramPath);
    DlgRec.NamePart = "";   // it pointed into the finished path choice

    ExpandStringsSection(smWriteInf, SourceInfPath, TargetInfPath, "Strings");
    Publish("ProjectVersion", ProjectVersion);
    // Only the short names go into the script: the uninstallation runs where they are on the
    // search path again.
    Publish("rundll", OnSearchPath("rundll32", ".exe") ? "rundll32" : "rundll");
    UseSetupx = !OnSearchPath("setupAPI", ".dll");
    Publish("setupx", UseSetupx ? "setupx" : "setupAPI");
}
