#include "Setup/run/InfCopy.h"

#include "Rules/Capacities.h"
#include "Rules/DlgText.h"
#include "Rules/FilesText.h"
#include "Rules/PathParts.h"
#include "Setup/base/AtomicCopy.h"
#include "Setup/base/Dialogs.h"
#include "Setup/base/FileDoor.h"
#include "Setup/base/Log.h"
#include "Setup/base/PlanBooks.h"
#include "Setup/base/Report.h"
#include "Setup/base/RunState.h"
#include "Setup/base/WinText.h"
#include "Setup/sections/StringsSection.h"

namespace {

const size_t MessageWidth = 70;   // columns of an error text shown in a message box
const DWORD FoundPathSize = PathFieldSize;

// The text for Code, or an empty one after telling the user that there is none.
std::string ErrorTextOrBox(DWORD Code, size_t Width)
{
    std::string Text;
    if (!SystemErrorText(Code, Width, Text))
        MessageOrDefault("FormatMessage failed", Caption.c_str(), MB_OK);
    return Text;
}

// Whole or not at all: a run killed here leaves the earlier installation's copy as it was.
bool CopyInf()
{
    return Files().Install(INVALID_HANDLE_VALUE, SourceInfPath, TargetInfPath);
}

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
        TargetInfPath = JoinPath(ProgramPath, FileNamePart(TargetInfPath));
        if (CopyInf()) {
            LogLine("using " + TargetInfPath + " as INF-File");
            return;
        }
        Code = GetLastError();
    }
    Text = ErrorTextOrBox(Code, MessageWidth);
    ReportAndEnd("Error: coundn't copy INF-File to " + TargetInfPath + "\r" + Text, true,
                 "Error: coundn't copy INF-File to " + TargetInfPath + ": " + Text);
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

// A file at TargetInfPath that the copy could not replace (read-only, or denied to us) makes the
// INF directory as good as unwritable for this INF. Opening it for writing tells, and changes
// nothing in it; a link is opened as itself.
bool MayReplace(const std::string& TargetInfPath)
{
    if (Files().Attributes(TargetInfPath) == INVALID_FILE_ATTRIBUTES)
        return true;
    return MayOpen(TargetInfPath, GENERIC_WRITE, FILE_FLAG_OPEN_REPARSE_POINT);
}

}   // namespace

// The test writes a file of our own: a file of TargetInfPath's own name, maybe another vendor's
// INF, stays untouched until the copy really replaces it.
bool InfDirWritable(const std::string& TargetInfPath)
{
    return Files().MayWriteIn(DirectoryPart(TargetInfPath)) && MayReplace(TargetInfPath);
}

void InstallInfCopy()
{
    std::string ProgramPath;
    if (!ReadEnv("MyProgramPath", ProgramPath))
        ProgramPath.clear();
    CopyInfFile(ProgramPath);
    // A copy from a read-only medium must stay writable for the uninstallation.
    Files().SetAttributes(TargetInfPath, FILE_ATTRIBUTE_ARCHIVE);

    // The installed INF keeps the directory with its backslash, the variable without it.
    std::string InfDir = DirectoryPart(TargetInfPath);
    if (!WriteString("InfPath", InfDir)) {
        std::string Text = ErrorTextOrBox(GetLastError(), 0);
        ReportAndEnd("Error: coundn't write to " + TargetInfPath + "\r" + Text, true,
                     "Error: coundn't write to " + TargetInfPath + ": " + Text);
    }
    std::string InfVar = InfDir;
    DropOneTrailingBackslash(InfVar);
    if (!SetEnv("InfPath", InfVar)) {
        ReportAndEnd("Error: can't set environment variable", false);
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
