#include "Setup/base/Log.h"

#include "FileInfoKv/FileInfoKv.h"
#include "Rules/Capacities.h"
#include "Rules/PathParts.h"
#include "Setup/base/DirTree.h"
#include "Setup/base/OwnFile.h"
#include "Setup/base/Report.h"
#include "Setup/base/RunState.h"
#include "Setup/base/UserDoor.h"
#include "Setup/base/VarExpand.h"
#include "Setup/base/WinText.h"

HANDLE LogFile = INVALID_HANDLE_VALUE;
std::string LogFilePath;
bool LogFileOpen = false;

static bool WriteRaw(const std::string& Text)
{
    DWORD Written = 0;
    if (!WriteFile(LogFile, Text.data(), DWORD(Text.size()), &Written, nullptr))
        return false;
    if (Written == Text.size())
        return true;
    SetLastError(ERROR_DISK_FULL);   // a short write leaves no code of its own
    return false;
}

static bool OpenLogAt(std::string Path, bool Append, bool& Existed, std::string& Note);

// After a write has failed (a full disk under the installation directory), the rest of the log
// goes into the temporary directory, as it does when the file can't be opened at all: a line
// written nowhere is lost for whoever reads the log. Once only; false when there is nowhere
// to go, and then no log file is open, so that the exit procedure tries one of its own.
static bool MoveLogToTemp()
{
    static bool Moved = false;
    if (Moved)
        return false;
    Moved = true;
    std::string Failed = LogFilePath;
    DWORD Code = GetLastError();
    std::string Temp;
    if (!TempDirectory(Temp))
        return false;
    AddTrailingBackslash(Temp);
    Temp += LogFileName;
    if (lstrcmpiA(Temp.c_str(), Failed.c_str()) == 0)
        return false;   // it is there already: creating it anew would empty it
    CloseLogFile();
    LogFileOpen = false;
    bool Existed;
    std::string Note;
    if (!OpenLogAt(Temp, false, Existed, Note))
        return false;
    std::string Reason;
    SystemErrorText(Code, 0, Reason);
    return WriteRaw("Error: could not write to the LogFile " + Failed + ": " + Reason + "\r\n" +
                    "Trying to use " + Temp + " as Logfile\r\n" +
                    (Note.empty() ? Note : Note + "\r\n"));
}

bool WriteLog(const std::string& Text)
{
    if (LogFile == INVALID_HANDLE_VALUE)
        return false;
    return WriteRaw(Text) || (MoveLogToTemp() && WriteRaw(Text));
}

void LogNow(const std::string& Line)
{
    if (!WriteLog(Line + "\r\n"))
        LogLine(Line);
}

void FlushLogText()
{
    // Without a log file (none yet, none could be made, or a plan) the lines stay pending for the
    // exit procedure, which makes a last attempt: none is lost.
    if (LogText.empty() || !WriteLog(LogText + "\r\n"))
        return;
    LogText.clear();
}

// The log file at Path, made anew (Append: appended to when it is there; Existed tells). Where
// Path is another file's second name or a link (anyone may place one in the temporary folder),
// that file stays as it is and the log goes into a new file beside it: LogFilePath names it, and
// Note is the line that says so. A plan's side only asks what the run's open would find, and
// then no file is open though LogFileOpen says that the run would have it.
static bool OpenLogAt(std::string Path, bool Append, bool& Existed, std::string& Note)
{
    LogFilePath = Path;
    Existed = false;
    std::string Beside;
    TOwnOpen Found = User().OpenLog(Path, Append, LogFile, Existed, Beside);
    LogFileOpen = Found == ooOpened;
    if (Found == ooForeign) {
        Existed = false;
        Note = "Warning: " + Path +
               " is a link or has a second name, not a LogFile of ours: "
               "left as it is";
        if (!Beside.empty()) {
            LogFilePath = Beside;
            Note += ", using " + Beside + " as Logfile";
            LogFileOpen = true;
        }
    }
    return LogFileOpen;
}

// OpenLogAt, with its note in the log whether the log could be opened or not.
static bool OpenLog(const std::string& Path, bool Append, bool& Existed)
{
    std::string Note;
    bool Opened = OpenLogAt(Path, Append, Existed, Note);
    if (!Note.empty())
        LogLine(Note);
    return Opened;
}

bool CreateLogFile(const std::string& Path)
{
    bool Existed;
    return OpenLog(Path, false, Existed);   // Path may be LogFilePath itself
}

bool MoveLogIntoTemp(std::string& To)
{
    std::string Temp, Old = LogFilePath, Text;
    if (LogFile == INVALID_HANDLE_VALUE || !TempDirectory(Temp))
        return false;
    AddTrailingBackslash(Temp);
    HANDLE Reading = CreateFileA(Old.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (Reading == INVALID_HANDLE_VALUE)
        return false;
    Text = ReadAllOf(Reading);
    CloseHandle(Reading);
    CloseLogFile();
    bool Existed;
    if (!OpenLog(Temp + LogFileName, true, Existed)) {
        OpenLog(Old, true, Existed);
        return false;
    }
    WriteRaw((Existed ? "\r\n" + std::string(50, '=') + "\r\n" : std::string()) + Text);
    DeleteOwnFile(Old);
    To = LogFilePath;
    return true;
}

bool CloseLogFile()
{
    if (LogFile == INVALID_HANDLE_VALUE)
        return false;
    bool Closed = CloseHandle(LogFile);
    LogFile = INVALID_HANDLE_VALUE;
    return Closed;
}

static std::string NowText()
{
    char Date[100] = "", Time[100] = "";
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, Date, sizeof Date);
    GetTimeFormatA(LOCALE_USER_DEFAULT, 0, nullptr, nullptr, Time, sizeof Time);
    return std::string(Date) + " " + Time;
}

// The separator after an earlier run's part (Existed), this run's head and everything pending,
// which stays pending when it can't be written anywhere.
static void WriteLogHead(const std::string& SourceInfPath, bool Existed)
{
    int64_t Time;
    std::string CreatedDate, ChangedDate;
    GetFileDate(SourceInfPath.c_str(), fdCreation, Time, CreatedDate);
    GetFileDate(SourceInfPath.c_str(), fdLastWrite, Time, ChangedDate);
    std::string Head = Existed ? "\r\n" + std::string(50, '=') + "\r\n" : "";
    Head += "Date/Time:\t" + NowText() + "\r\n" + "SourceInfFile\t" + SourceInfPath +
            " Created:" + CreatedDate + ", Changed:" + ChangedDate + "\r\n";
    if (WriteLog(Head + LogText + "\r\n"))
        LogText.clear();
}

void OpenLogFile(const std::string& SourceInfPath)
{
    std::string Dir;
    // A longer installation path than a path may be counts as none.
    if (!ReadEnv("MyProgramPath", Dir) || Dir.empty() || Dir.size() >= PathBufSize) {
        if (!TempDirectory(Dir)) {
            ReportAndEnd("Error: no ProgramPath given, no temp or tmp found!", true);
        }
        LogLine("No ProgramPath given, using " + Dir + " for the LogFile!");
    }
    Dir = ExpandVars(Dir);
    AddTrailingBackslash(Dir);

    std::string Created;   // levels made for the log are not worth a line
    if (CreateDirTree(Dir, Created) < 0) {
        ReportAndEnd("Error: can't create directory " + Dir + " (Access-Rights?)", true,
                     "Error: can't create directory " + Dir);
    }

    // An existing log gets a separator before this run's part; a new one starts empty.
    bool Existed = false;
    if (!OpenLog(Dir + LogFileName, true, Existed)) {
        // The doubled "the" and the two blanks are the line as readers of old logs know it.
        LogLine("Error: could not create/open the the LogFile  " + Dir + LogFileName);
        Existed = false;   // the temporary log is made anew
        std::string Temp;
        if (TempDirectory(Temp)) {
            AddTrailingBackslash(Temp);
            LogLine("Trying to use " + Temp + LogFileName + " as Logfile");
            CreateLogFile(Temp + LogFileName);
        }
    }

    // Without any log file the pending lines stay for the exit procedure's last attempt; a
    // plan's stay for the plan's file.
    if (!LogFileOpen || !User().KeepsLog(LogFilePath))
        return;
    WriteLogHead(SourceInfPath, Existed);
}
