#include "Setup/base/Journal.h"

#include <set>

#include "Rules/FilesText.h"
#include "Rules/PathParts.h"
#include "Setup/base/HeldTree.h"
#include "Setup/base/Log.h"
#include "Setup/base/OwnFile.h"
#include "Setup/base/OwnFolder.h"
#include "Setup/base/WinText.h"

namespace {

const int KeptNameTries = 100;   // kept names taken by others before a file can't be kept

struct TJournal {
    bool On = false;
    std::string Dir;                      // the folder of the run's own, once made
    HANDLE Held = INVALID_HANDLE_VALUE;   // held while the run lives
    HANDLE File = INVALID_HANDLE_VALUE;   // the journal, made with the first change
    uint32_t KeptCount = 0;
    std::set<std::string> Whole;   // upper-case paths of the files taken in place
    std::string LogNoted;          // the log that the journal names
} Journal;

// The user's temporary folder, ending in a backslash; "" when the system has none.
std::string TempFolder()
{
    char Temp[MAX_PATH + 1];
    DWORD Length = GetTempPathA(sizeof Temp, Temp);
    return Length == 0 || Length >= sizeof Temp ? std::string() : std::string(Temp, Length);
}

bool OwnFolderReady()
{
    std::string Temp = TempFolder();
    return Journal.Held != INVALID_HANDLE_VALUE ||
           (!Temp.empty() &&
            MakeOwnFolder(Temp.c_str(), JournalDirName, Journal.Dir, Journal.Held));
}

bool WriteAll(HANDLE File, const std::string& Text)
{
    DWORD Written = 0;
    return WriteFile(File, Text.data(), DWORD(Text.size()), &Written, nullptr) &&
           Written == Text.size();
}

bool JournalReady()
{
    if (Journal.File != INVALID_HANDLE_VALUE)
        return true;
    if (!OwnFolderReady())
        return false;
    Journal.File =
        CreateFileA(JoinPath(Journal.Dir, JournalFileName).c_str(), GENERIC_READ | GENERIC_WRITE,
                    FILE_SHARE_READ, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    return Journal.File != INVALID_HANDLE_VALUE &&
           WriteAll(Journal.File, std::string(JournalHead) + "\r\n");
}

// The records that name a change made: a void record takes the one before it away.
std::vector<TJournalRecord> ChangesOf(const std::string& Text)
{
    std::vector<TJournalRecord> Changes;
    if (Text.compare(0, std::string(JournalHead).size() + 2, std::string(JournalHead) + "\r\n"))
        return Changes;
    for (TJournalRecord& Record : JournalRecords(Text)) {
        if (Record.Kind != jkVoid)
            Changes.push_back(Record);
        else if (!Changes.empty())
            Changes.pop_back();
    }
    return Changes;
}

// Whether Path lies in a folder that Changes made, and so goes with the undoing.
bool InMadeFolder(const std::string& Path, const std::vector<TJournalRecord>& Changes)
{
    std::string Upper = UpperCase(Path);
    for (const TJournalRecord& Change : Changes) {
        std::string Folder = UpperCase(Change.Fields[0]) + "\\";
        if (Change.Kind == jkFolder && Upper.compare(0, Folder.size(), Folder) == 0)
            return true;
    }
    return false;
}

// A log made inside a folder that the undoing removes moves into the temporary folder first:
// this run's own log (Live), where the report names it, or a killed run's, which its journal
// named, beside it under a name of its own.
void MoveLogOutOf(const std::vector<TJournalRecord>& Changes, bool Live)
{
    std::string Log = Live && LogFileOpen ? LogFilePath : std::string();
    for (const TJournalRecord& Change : Changes)
        if (!Live && Change.Kind == jkLog)
            Log = Change.Fields[0];
    if (Log.empty() || !InMadeFolder(Log, Changes))
        return;
    std::string To = TempFolder();
    if (!Live)
        To += NumberedName(LogFileName, GetCurrentProcessId(), 0);
    if (Live ? MoveLogIntoTemp(To) : MoveFileExA(Log.c_str(), To.c_str(), MOVEFILE_COPY_ALLOWED))
        LogLine(LogMovedLine(To));
}

// Undoes Changes in reverse order and logs it; how many could not be undone.
int UndoChanges(const std::vector<TJournalRecord>& Changes, bool Live)
{
    LogLine(RollbackStartLine(Changes.size()));
    MoveLogOutOf(Changes, Live);
    int NotUndone = 0;
    for (auto Change = Changes.rbegin(); Change != Changes.rend(); ++Change)
        if (!UndoFileRecord(*Change, NotUndone))
            UndoSettingsRecord(*Change, NotUndone);
    LogLine(RollbackEndLine(NotUndone));
    return NotUndone;
}

// Whether the journal's Text ends kept: such a run was killed while it dropped its kept files.
bool EndsKept(const std::string& Text)
{
    const std::string Last = "\r\n" + JournalLine(jkKeep, {""});
    return Text.size() >= Last.size() &&
           Text.compare(Text.size() - Last.size(), Last.size(), Last) == 0;
}

// The run's changes stay: the journal says so first, so that a kill while the kept files are
// dropped never has the next run undo a run that ended well. Only the records of kept files are
// read, one at a time: a large installation's journal is not held as records. A record that the
// next one voids names a file that was never kept (perhaps another's of that name).
void KeepChanges(const std::string& Text)
{
    // Without that word the kept files stay where they are: the journal goes anyway, since a
    // later run must never undo this one.
    if (!EndsKept(Text) && !Note(jkKeep, {""}, true))
        return;
    const std::string Kept = "\r\n" + std::string(1, char(jkKept)) + "\t";
    const std::string Void = "\r\n" + std::string(1, char(jkVoid)) + "\t";
    for (size_t At = Text.find(Kept); At != std::string::npos; At = Text.find(Kept, At + 2)) {
        size_t End = Text.find("\r\n", At + 2);
        TJournalRecord Record;
        if (End != std::string::npos && Text.compare(End, Void.size(), Void) != 0 &&
            ParseJournalLine(Text.substr(At + 2, End - At - 2), Record))
            DropKept(Record);
    }
}

// The journal and the folder of the run's own go.
void RemoveJournal()
{
    if (Journal.File != INVALID_HANDLE_VALUE) {
        CloseHandle(Journal.File);
        DeleteFileA(JoinPath(Journal.Dir, JournalFileName).c_str());
    }
    Journal.File = INVALID_HANDLE_VALUE;
    if (Journal.Held != INVALID_HANDLE_VALUE) {
        CloseHandle(Journal.Held);
        RemoveDirectoryA(Journal.Dir.c_str());
    }
    Journal.Held = INVALID_HANDLE_VALUE;
}

}   // namespace

bool RollbackWanted = false;

bool Journaling()
{
    return Journal.On;
}

void StartJournal()
{
    Journal.On = true;
}

bool Note(TJournalKind Kind, std::initializer_list<std::string_view> Fields, bool Durable)
{
    // The log, once open, is named before the next change: a next run that undoes this one
    // when it was killed moves it out of a folder that goes.
    if (LogFileOpen && LogFilePath != Journal.LogNoted && JournalReady() &&
        WriteAll(Journal.File, JournalLine(jkLog, {LogFilePath})))
        Journal.LogNoted = LogFilePath;
    return JournalReady() && WriteAll(Journal.File, JournalLine(Kind, Fields)) &&
           (!Durable || FlushFileBuffers(Journal.File));
}

void VoidLast()
{
    DWORD Error = GetLastError();
    Note(jkVoid, {""}, false);
    SetLastError(Error);
}

bool MadeWhole(const std::string& Path)
{
    return Journal.Whole.count(UpperCase(Path)) != 0;
}

bool BeforeWhole(const std::string& Path, TReplacing& Replacing, DWORD Found)
{
    Replacing = TReplacing();
    if (Found == INVALID_FILE_ATTRIBUTES - 1)
        Found = GetFileAttributesA(Path.c_str());
    if (Found == INVALID_FILE_ATTRIBUTES) {
        Replacing.Noted = Note(jkNewFile, {Path}, false);
        return Replacing.Noted;
    }
    // What the write refuses anyway stays as it is, without a record.
    if (Found & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))
        return true;
    for (int Try = 0; Try < KeptNameTries; ++Try) {
        std::string Kept =
            JoinPath(DirectoryPart(Path), KeptFileName(GetCurrentProcessId(), ++Journal.KeptCount));
        if (!Note(jkKept, {Path, Kept}, true))
            return false;
        if (MoveFileExA(Path.c_str(), Kept.c_str(), 0)) {
            Replacing.Noted = true;
            Replacing.Kept = Kept;
            return true;
        }
        VoidLast();
        // Gone since the caller looked: a new file after all.
        if (GetLastError() == ERROR_FILE_NOT_FOUND)
            return BeforeWhole(Path, Replacing, INVALID_FILE_ATTRIBUTES);
        if (GetLastError() != ERROR_ALREADY_EXISTS && GetLastError() != ERROR_FILE_EXISTS)
            return false;
    }
    return false;
}

void AfterWhole(const std::string& Path, const TReplacing& Replacing, bool Written)
{
    if (Written || !Replacing.Noted)
        return;
    DWORD Error = GetLastError();
    if (!Replacing.Kept.empty())
        MoveFileExA(Replacing.Kept.c_str(), Path.c_str(), MOVEFILE_REPLACE_EXISTING);
    VoidLast();
    SetLastError(Error);
}

bool BeforeInPlace(const std::string& Path)
{
    if (MadeWhole(Path))
        return true;
    DWORD Found = GetFileAttributesA(Path.c_str());
    TReplacing Replacing;
    // A file reached through a link is written where the link leads, as it always was; its
    // entries are not undone.
    if (Found != INVALID_FILE_ATTRIBUTES && (Found & FILE_ATTRIBUTE_REPARSE_POINT))
        return true;
    if (!BeforeWhole(Path, Replacing))
        return false;
    bool Copied =
        Replacing.Kept.empty() || CopyFileA(Replacing.Kept.c_str(), Path.c_str(), TRUE) != FALSE;
    AfterWhole(Path, Replacing, Copied);
    if (!Copied)
        return false;
    // Kept whole once: the run's later entries in it need no records of their own.
    Journal.Whole.insert(UpperCase(Path));
    ProfileFileReplaced(Path);
    return true;
}

int EndJournal(bool Undo)
{
    int NotUndone = 0;
    if (Journal.File != INVALID_HANDLE_VALUE) {
        std::string Text = ReadAllOf(Journal.File);
        if (Undo)
            NotUndone = UndoChanges(ChangesOf(Text), true);
        else
            KeepChanges(Text);
    } else if (Undo) {
        LogLine(RollbackEndLine(0));
    }
    RemoveJournal();
    Journal.Whole.clear();
    return NotUndone;
}

namespace {

// The journal of a killed run in the folder Folder holds (its path Dir), undone; the folder goes.
void UndoKilledRun(HANDLE Folder, DWORD Serial, const std::string& Dir)
{
    std::string Path = JoinPath(Dir, JournalFileName);
    HANDLE File = CreateFileA(Path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (File != INVALID_HANDLE_VALUE) {
        std::string Text = ReadAllOf(File);
        CloseHandle(File);
        if (EndsKept(Text)) {
            KeepChanges(Text);
        } else {
            LogLine(KilledRunLine(Path));
            UndoChanges(ChangesOf(Text), false);
        }
    }
    RemoveHeldTree(Folder, Serial);
}

}   // namespace

bool UndoKilledRuns()
{
    std::string Temp = TempFolder();
    DWORD Serial;
    HANDLE Listing = Temp.empty() ? INVALID_HANDLE_VALUE : OpenListing(Temp.c_str(), Serial);
    if (Listing == INVALID_HANDLE_VALUE)
        return false;
    bool Undone = false;
    std::vector<TKilledFolder> Found = ListKilledFolders(Listing, IsJournalDirName);
    // A killed run's folder is taken for one of ours only when it was made as the run's own is.
    if (!Found.empty() && OwnFolderReady()) {
        for (const TKilledFolder& Killed : Found) {
            HANDLE Folder = OpenKilledFolder(Listing, Serial, Killed, Journal.Held);
            if (Folder == INVALID_HANDLE_VALUE)
                continue;
            UndoKilledRun(Folder, Serial, Temp + Killed.Name);
            CloseHandle(Folder);
            Undone = true;
        }
    }
    CloseHandle(Listing);
    return Undone;
}
