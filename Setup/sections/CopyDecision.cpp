#include "Setup/sections/CopyDecision.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "FileInfoKv/FileInfoKv.h"
#include "Rules/BackupText.h"
#include "Rules/Capacities.h"
#include "Rules/FilesText.h"
#include "Rules/InUseText.h"
#include "Rules/PathParts.h"
#include "Setup/base/AtomicCopy.h"
#include "Setup/base/Dialogs.h"
#include "Setup/base/FileDoor.h"
#include "Setup/base/Log.h"
#include "Setup/base/Progress.h"
#include "Setup/base/Report.h"
#include "Setup/base/RunState.h"
#include "Setup/base/Unattended.h"
#include "Setup/base/WinText.h"

namespace {

// Numbered names tried for a backup beside earlier ones before the backup counts as failed.
const int BackupNamesMax = 9999;

// The dialog's edit field reads into this and it outlives the dialog, so that "always" with a
// backup goes on using the directory that the user confirmed.
char BackupDir[BackupDirSize] = "";

// Copies Text into BackupDir whole; false, leaving it empty, when it does not fit: a cut path
// would name another directory.
bool SetBackupDir(const std::string& Text)
{
    if (Text.size() >= sizeof BackupDir) {
        BackupDir[0] = '\0';
        return false;
    }
    memcpy(BackupDir, Text.c_str(), Text.size() + 1);
    return true;
}

// Nothing at a path whose attributes are Attributes, so that reading its version or date could
// only find nothing.
bool Missing(DWORD Attributes)
{
    if (Attributes != INVALID_FILE_ATTRIBUTES)
        return false;
    DWORD Error = GetLastError();
    return Error == ERROR_FILE_NOT_FOUND || Error == ERROR_PATH_NOT_FOUND;
}

// Opens File once. Asking the version library instead opens it several times, yet most
// installed files are no executable images and hold no version resource at all. Kept, the open
// file serves the copy too.
TFirstLook LookAt(const std::string& File, THandle& Kept)
{
    TFirstLook Look = {false, true, 0};
    Kept.Handle = CreateFileA(File.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (Kept.Handle == INVALID_HANDLE_VALUE)
        return Look;   // the library and the date reader will say what there is to say
    char Head[VersionHeadSize];
    DWORD Got = 0;
    FILETIME Written;
    if (ReadFile(Kept.Handle, Head, sizeof Head, &Got, nullptr) &&
        GetFileTime(Kept.Handle, nullptr, nullptr, &Written)) {
        Look.Opened = true;
        Look.MayHoldVersion = MayHoldVersion(Head, Got);
        Look.WriteTime = int64_t((uint64_t(Written.dwHighDateTime) << 32) | Written.dwLowDateTime);
    }
    return Look;
}

// Whether the installed file (open as Old, looked at in LookB, its attributes AttributesB) already
// is what copying the new one (open as New, looked at in LookA) over it would make: the same
// last-write time, attributes, size and bytes. Replacing it would then change nothing but its
// creation time, at the price of a temporary file, a rename and, under some systems, a search of
// the folder for each; a repair installation over an intact one is that case for every file.
bool AlreadyThere(HANDLE New, const TFirstLook& LookA, HANDLE Old, const TFirstLook& LookB,
                  DWORD AttributesB)
{
    // Every new file gets "archive"; the others the copy takes from the new file.
    const DWORD Compared = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                           FILE_ATTRIBUTE_NOT_CONTENT_INDEXED | FILE_ATTRIBUTE_READONLY |
                           FILE_ATTRIBUTE_DIRECTORY;
    DWORD AttributesA;
    FILETIME WrittenA;
    LARGE_INTEGER SizeA, SizeB;
    if (!LookA.Opened || !LookB.Opened || LookA.WriteTime != LookB.WriteTime ||
        !(AttributesB & FILE_ATTRIBUTE_ARCHIVE) || !FileBasics(New, AttributesA, WrittenA) ||
        (AttributesB & Compared) != (CopiedAttributes(AttributesA) & Compared) ||
        !GetFileSizeEx(New, &SizeA) || !GetFileSizeEx(Old, &SizeB) ||
        SizeA.QuadPart != SizeB.QuadPart ||
        SetFilePointer(New, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER ||
        SetFilePointer(Old, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER)
        return false;
    static std::vector<char> BytesA(1u << 16), BytesB(1u << 16);
    for (;;) {
        DWORD GotA = 0, GotB = 0;
        if (!ReadFile(New, BytesA.data(), DWORD(BytesA.size()), &GotA, nullptr) ||
            !ReadFile(Old, BytesB.data(), DWORD(BytesB.size()), &GotB, nullptr) || GotA != GotB ||
            memcmp(BytesA.data(), BytesB.data(), GotA) != 0)
            return false;
        if (GotA == 0)
            return true;
    }
}

// The date of File as GetFileDate gives it, from the look when that opened the file the same way.
void ReadDate(const std::string& File, const TFirstLook& Look, TFileFacts& Facts)
{
    if (!Look.Opened) {
        GetFileDate(File.c_str(), fdLastWrite, Facts.WriteTime, Facts.DateText);
        return;
    }
    Facts.WriteTime = Look.WriteTime;
    // The time is known from the first look: GetFileDate would open the file once more, which
    // costs as much as a third of copying a small file.
    Facts.DateText = FileTimeText(Look.WriteTime);
}

// The version of File as the decision needs it; the date is read only when versions can't decide.
TFileFacts ReadVersionFacts(const std::string& File, const TFirstLook& Look)
{
    TFileFacts Facts{};
    if (Look.Opened && !Look.MayHoldVersion) {
        Facts.Value = -1;   // what the library would say, VersionInfo left as it is
        return Facts;
    }
    Facts.Value = ReadVersionInfo(File.c_str(), Facts.VersionText);
    if (Facts.Value > 0) {
        Facts.Version = {VersionInfo.Major, VersionInfo.Minor, VersionInfo.Release,
                         VersionInfo.Build};
        // A file without a translation table has no language: the library's table would be an
        // earlier file's, and the log line must describe the file it names.
        Facts.Translation = TranslationFound ? VersionInfo.Translation : "";
    }
    return Facts;
}

TFileFacts MissingFacts()
{
    TFileFacts Facts{};
    Facts.Value = -1;
    return Facts;
}

// Copies B into the backup directory and logs it. A failure lets the user choose between going
// on without the backup and ending the run; a quiet run has nobody to agree to losing the file,
// so B stays, which fails the run. False when B must stay.
bool BackUp(const std::string& B, const TCopyPlan& Plan)
{
    std::string Dir = BackupDir;
    std::string Target;
    // The backup directory is made the way the dialog makes it: one level.
    bool Done = FolderReady(BackupDir) && FreeBackupTarget(Dir, B, Target) &&
                Files().Install(INVALID_HANDLE_VALUE, B, Target);
    std::string Line = BackupLine(B, Plan, Dir, Done);
    if (Done && Target != BackupTarget(Dir, B))
        Line += " as " + FileNamePart(Target);   // beside an earlier backup of the same name
    LogNow(Line);
    if (Done)
        return true;
    if (Switches.Quiet) {
        // The box's default button would overwrite what may be the only copy of a newer file.
        LogNow(BackupKeptLine(B));
        MarkFatal();
        return false;
    }
    // Users know this box by its words: keep "crete" as it is. It has no title and no icon.
    if (MessageOrDefault("Sorry, crete Backup failed, continue without Backup?", "", MB_OKCANCEL) ==
        IDCANCEL) {
        RunEnd = reCancelled;
        EndRun();
    }
    return true;
}

// What an answer to a conflict leaves to do.
enum TResolution {
    rsKeep,         // B stays: skipped
    rsReplace,      // the new file replaces B, after its backup when one was asked for
    rsKeptUnsafe,   // B stays because its backup failed in a quiet run: logged and marked fatal
};

// The user cancelled the installation at a file's question: the run ends there.
[[noreturn]] void CancelFileCopy()
{
    CancelRun(FileCopyCancelledLine);
}

// The user's answer to a conflict: the dialog, or the remembered answer while "always" holds.
// Backs B up when told to; returns what is left to do with B.
TResolution ResolveConflict(const std::string& B, const TCopyPlan& Plan)
{
    DlgRec.Kind = dkFileConflict;
    DlgRec.Text = ConflictMessage(B, Plan);
    DlgRec.Buf = BackupDir;
    DlgRec.BufSize = sizeof BackupDir;
    int Answer;
    if (DlgRec.Always) {
        Answer = DlgRec.Result;
    } else {
        std::string ProgramPath;
        ReadEnv("MyProgramPath", ProgramPath);
        // An installation path too long for the field proposes nothing: the user types one.
        SetBackupDir(ProgramPath + "\\old");
        // An answer file's choice comes preset (and, quiet, is the answer).
        TRecordedAnswer Given;
        if (RecordedAnswerFor(B, Given)) {
            DlgRec.Preset = Given.Button;
            DlgRec.Always = Given.Always;
            DlgRec.Backup = Given.Backup;
            if (!Given.BackupDir.empty())
                SetBackupDir(Given.BackupDir);
        }
        Answer = ShowDialog("MsgBoxSOC");
        DlgRec.Preset = 0;
        // A typed folder is used, remembered and recorded whole, where a relative one is made
        // now; a full path too long for the field keeps the entry as it is.
        std::string Full = AbsolutePath(BackupDir);
        if (Full.size() < sizeof BackupDir)
            SetBackupDir(Full);
        RecordConflict(B, Plan.LabelB, Plan.LabelA,
                       {Answer, DlgRec.Always, DlgRec.Backup, BackupDir});
    }
    switch (Answer) {
    case IDCANCEL:
        CancelFileCopy();
    case idOverwrite:
        return DlgRec.Backup && !BackUp(B, Plan) ? rsKeptUnsafe : rsReplace;
    case IDOK:
        return rsKeep;
    default:
        ReportAndEnd("internal Error: unexpected Result from Skip/Overwrite-Messagebox", false);
    }
}

// The log line of a copy that failed with Code: which file, and why.
void LogCopyFailure(const std::string& A, const std::string& B, DWORD Code)
{
    std::string Reason;
    SystemErrorText(Code, 0, Reason);
    LogNow(CopyFailedLine(A, B, Code, Reason));
}

// A failed copy: the log says which and why, then the box; all later copying stops.
bool CopyFailed(const std::string& A, const std::string& B, DWORD Code)
{
    ProgressEndIfCancelled();   // a copy that the user stopped ends the run as cancelled
    LogCopyFailure(A, B, Code);
    ErrorBox("Error: can't copy " + A + " to " + B);
    MarkFatal();
    return false;
}

// Copies A over B now: the file as it was looked at (Source), or by its name when that look
// could not open it.
bool CopyNow(const std::string& A, const std::string& B, const THandle& Source)
{
    return Files().Install(Source.Handle, A, B);
}

// A copy that failed with Code failed because B is in use: the codes that a replacement of a
// file held open or mapped as a program gives, and the file refuses others now.
bool InUse(DWORD Code, const std::string& B)
{
    return (Code == ERROR_ACCESS_DENIED || Code == ERROR_SHARING_VIOLATION ||
            Code == ERROR_LOCK_VIOLATION) &&
           Files().InUse(B);
}

// The in-use dialog about B, the answer file's answer preset; returns idRetry, idAtRestart or
// IDCANCEL.
int AskInUse(const std::string& B)
{
    // While "always" holds, the file-conflict dialog repeats the last result: not this one's.
    int32_t Remembered = DlgRec.Result;
    DlgRec.Kind = dkInUse;
    DlgRec.Text = InUseMessage(B);
    DlgRec.Buf = nullptr;
    TInUseAnswer Given = RecordedInUseAnswer();
    DlgRec.Preset = Given == iaRestart ? idAtRestart : Given == iaCancel ? IDCANCEL : 0;
    int Answer = ShowDialog("MsgBoxInUse");
    DlgRec.Preset = 0;
    DlgRec.Result = Remembered;
    // A retry is no answer another machine could replay: there the file may be free.
    if (Answer == idAtRestart || Answer == IDCANCEL)
        RecordInUse(Answer == IDCANCEL ? iaCancel : iaRestart);
    return Answer;
}

// B, in use, is replaced by A when Windows starts next; a refusal of the system is a failed copy
// (its in-use Code), after a line that says why.
bool ReplaceAtRestart(const std::string& A, const std::string& B, const THandle& Source,
                      const TCopyPlan& Plan, DWORD Code)
{
    bool Refused;
    if (Files().InstallAtRestart(Source.Handle, A, B, Refused)) {
        LogNow(RestartLine(B, Plan));
        RestartNeeded = true;
        return true;
    }
    DWORD Why = GetLastError();
    if (!Refused)
        return CopyFailed(A, B, Why);   // the waiting file could not be written
    std::string Reason;
    SystemErrorText(Why, 0, Reason);
    LogNow(RefusedLine(B, Reason));
    return CopyFailed(A, B, Code);
}

// The user's answer to B in use: the dialog when the script asks, else (and in a quiet run) the
// replacement at the next restart.
int AnswerInUse(const std::string& B)
{
    return FilesInUse == fuAsk ? AskInUse(B) : idAtRestart;
}

}   // namespace

TFilesInUse FilesInUse = fuFail;

bool FreeBackupTarget(const std::string& Dir, const std::string& B, std::string& Target)
{
    std::string Name = FileNamePart(B);
    for (int Number = 1; Number <= BackupNamesMax; ++Number) {
        Target = BackupTarget(Dir, Number == 1 ? Name : BackupName(Name, Number));
        if (Files().Attributes(Target) == INVALID_FILE_ATTRIBUTES &&
            GetLastError() == ERROR_FILE_NOT_FOUND)
            return true;
    }
    return false;
}

bool LookAtCopy(const std::string& A, const std::string& B, TCopyLook& Look)
{
    // Opening a device's name opens the device, which may wait for input for ever.
    if (IsDeviceName(FileNamePart(A)))
        return false;
    // A as the door shows it too: in a plan, a file that an earlier step installed there.
    const std::string& ReadA = Files().ReadFrom(A);
    Look.LookA = LookAt(ReadA, Look.Source);
    Look.New = ReadVersionFacts(ReadA, Look.LookA);
    // B as the run's door shows it: in a plan, what the plan has installed there by now.
    Look.AttributesB = Files().Attributes(B);
    Look.OldMissing = Missing(Look.AttributesB);
    const std::string& ReadB = Files().ReadFrom(B);
    Look.LookB = Look.OldMissing ? TFirstLook{} : LookAt(ReadB, Look.Installed);
    Look.Old = Look.OldMissing ? MissingFacts() : ReadVersionFacts(ReadB, Look.LookB);
    if (Look.New.Value <= 0) {
        ReadDate(ReadA, Look.LookA, Look.New);
        if (!Look.OldMissing)
            ReadDate(ReadB, Look.LookB, Look.Old);
    }
    Look.Plan = PlanCopy(Look.New, Look.Old);
    // A read-only file that someone else made stays: a copy could not open it for writing,
    // and replacing it by a rename, which some systems allow, must not do more than a copy.
    Look.ReadOnlyB = !Look.OldMissing && Look.AttributesB != INVALID_FILE_ATTRIBUTES &&
                     (Look.AttributesB & FILE_ATTRIBUTE_READONLY);
    // Only a refresh without a question is weighed so: after a question both files are looked at
    // anew by the copy.
    Look.AlreadyThere = Look.Plan.Conflict == cfNone && !Look.ReadOnlyB && IsRefresh(Look.Plan) &&
                        Look.Source.Handle != INVALID_HANDLE_VALUE &&
                        Look.Installed.Handle != INVALID_HANDLE_VALUE &&
                        AlreadyThere(Look.Source.Handle, Look.LookA, Look.Installed.Handle,
                                     Look.LookB, Look.AttributesB);
    return true;
}

bool CopyOneFile(const std::string& A, const std::string& B)
{
    TCopyLook Look;
    if (!LookAtCopy(A, B, Look))
        return CopyFailed(A, B, ERROR_BAD_DEVICE);
    const TCopyPlan& Plan = Look.Plan;
    if (Plan.Conflict != cfNone) {
        // While the user thinks about a question, neither file is held open: whatever happens
        // to them meanwhile is what the copy finds.
        Look.Source.Close();
        Look.Installed.Close();
        TResolution Resolution = ResolveConflict(B, Plan);
        if (Resolution == rsKeep) {
            LogNow(OutcomeLine(B, Plan, false));
            return true;
        }
        // A file that could not be installed safely: the run has failed, as by a failed copy,
        // and copies nothing more.
        if (Resolution == rsKeptUnsafe)
            return false;
    }
    if (Look.ReadOnlyB)
        return CopyFailed(A, B, ERROR_ACCESS_DENIED);
    if (Look.AlreadyThere) {
        LogNow(OutcomeLine(B, Plan, true));
        return true;
    }
    Look.Installed.Close();   // replaced by a rename, which an open file would refuse
    if (CopyNow(A, B, Look.Source)) {
        LogNow(OutcomeLine(B, Plan, true));
        return true;
    }
    // Whether B is in use is asked only now: the ordinary copy pays nothing for it.
    DWORD Code = GetLastError();
    if (FilesInUse == fuFail || !InUse(Code, B))
        return CopyFailed(A, B, Code);
    switch (AnswerInUse(B)) {
    case idRetry:
        // Weighed anew: the program that held B may have kept it from being read, and a newer
        // file there asks first, as ever.
        Look.Source.Close();
        return CopyOneFile(A, B);
    case idAtRestart:
        return ReplaceAtRestart(A, B, Look.Source, Plan, Code);
    default:
        LogCopyFailure(A, B, Code);
        CancelFileCopy();
    }
}

TConflictAnswer SaveConflictAnswer()
{
    return {DlgRec.Always, DlgRec.Result, DlgRec.Backup, BackupDir};
}

void RestoreConflictAnswer(const TConflictAnswer& Answer)
{
    DlgRec.Always = Answer.Always;
    // Without a remembered answer the check boxes stay as the user left them last.
    if (!Answer.Always)
        return;
    DlgRec.Result = Answer.Result;
    DlgRec.Backup = Answer.Backup;
    SetBackupDir(Answer.BackupDir);
}
