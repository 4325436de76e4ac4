#include "Setup/base/HeldTree.h"

#include <winternl.h>

#include <cstdlib>
#include <cstring>

#include "SysDll/SysDll.h"

namespace {

const ULONG ListingSize = 1 << 14;   // bytes of a folder's listing read at a time
const NTSTATUS NoMoreFiles = NTSTATUS(0x80000006);
const ULONG OpenOptions =
    FILE_SYNCHRONOUS_IO_NONALERT | FILE_OPEN_FOR_BACKUP_INTENT | FILE_OPEN_REPARSE_POINT;
const ACCESS_MASK HeldAccess = DELETE | READ_CONTROL | SYNCHRONIZE | FILE_READ_ATTRIBUTES |
                               FILE_WRITE_ATTRIBUTES | FILE_LIST_DIRECTORY;
const ACCESS_MASK ListAccess = SYNCHRONIZE | FILE_READ_ATTRIBUTES | FILE_LIST_DIRECTORY;

// The system's own calls for files: they open a file through the folder that holds it, and list
// and delete through a handle, which the Win32 calls of the oldest systems can't.
typedef NTSTATUS(NTAPI* TNtCreateFile)(HANDLE*, ACCESS_MASK, OBJECT_ATTRIBUTES*, IO_STATUS_BLOCK*,
                                       LARGE_INTEGER*, ULONG, ULONG, ULONG, ULONG, void*, ULONG);
typedef NTSTATUS(NTAPI* TNtQueryDirectoryFile)(HANDLE, HANDLE, void*, void*, IO_STATUS_BLOCK*,
                                               void*, ULONG, FILE_INFORMATION_CLASS, BOOLEAN,
                                               UNICODE_STRING*, BOOLEAN);
typedef NTSTATUS(NTAPI* TNtInformationFile)(HANDLE, IO_STATUS_BLOCK*, void*, ULONG,
                                            FILE_INFORMATION_CLASS);
TNtCreateFile NtCreate;
TNtQueryDirectoryFile NtList;
TNtInformationFile NtSetInfo, NtQueryInfo;

bool HaveNtCalls()
{
    return SystemFunc(NtCreate, "ntdll.dll", "NtCreateFile") &&
           SystemFunc(NtList, "ntdll.dll", "NtQueryDirectoryFile") &&
           SystemFunc(NtSetInfo, "ntdll.dll", "NtSetInformationFile") &&
           SystemFunc(NtQueryInfo, "ntdll.dll", "NtQueryInformationFile");
}

// Opens Name (NameBytes long) in the folder Dir through Dir, the link itself where it is one.
HANDLE OpenIn(HANDLE Dir, const wchar_t* Name, ULONG NameBytes, ACCESS_MASK Access, ULONG Share,
              ULONG Options)
{
    UNICODE_STRING Text = {USHORT(NameBytes), USHORT(NameBytes), const_cast<wchar_t*>(Name)};
    OBJECT_ATTRIBUTES Object;
    InitializeObjectAttributes(&Object, &Text, OBJ_CASE_INSENSITIVE, Dir, nullptr);
    IO_STATUS_BLOCK Io;
    HANDLE File = INVALID_HANDLE_VALUE;
    if (!HaveNtCalls() || NameBytes > 0xFFFF ||
        NtCreate(&File, Access, &Object, &Io, nullptr, 0, Share, FILE_OPEN, Options | OpenOptions,
                 nullptr, 0) != 0)
        return INVALID_HANDLE_VALUE;
    return File;
}

bool SetInfo(HANDLE File, void* Info, ULONG Size, FILE_INFORMATION_CLASS Class)
{
    IO_STATUS_BLOCK Io;
    return HaveNtCalls() && NtSetInfo(File, &Io, Info, Size, Class) == 0;
}

// Marks what File holds open for deletion when it is closed; a read-only file is made writable
// first, through the same handle.
bool DeleteHeld(HANDLE File, DWORD Attributes)
{
    if (Attributes & FILE_ATTRIBUTE_READONLY) {
        FILE_BASIC_INFORMATION Basic = {};   // times of 0 stay as they are
        Basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
        SetInfo(File, &Basic, sizeof Basic, FileBasicInformation);
    }
    FILE_DISPOSITION_INFORMATION Disposition = {TRUE};
    return SetInfo(File, &Disposition, sizeof Disposition, FileDispositionInformation);
}

// Whether the open File is the entry the listing showed: no link, a folder where the listing
// showed one, the same file (where the file system numbers its files), and for a folder, which
// could be another volume mounted in its place, the same volume. Under Wine a symbolic link opens
// as what it leads to, and only the number tells it. The volume is asked for folders only: under
// Wine each such question takes a quarter of a millisecond.
bool IsListedEntry(HANDLE File, const THeldEntry& Entry, DWORD Serial)
{
    FILE_INTERNAL_INFORMATION Id;
    FILE_ATTRIBUTE_TAG_INFORMATION Tag;
    IO_STATUS_BLOCK Io;
    BY_HANDLE_FILE_INFORMATION Info;
    bool Folder = Entry.Attributes & FILE_ATTRIBUTE_DIRECTORY;
    return HaveNtCalls() && NtQueryInfo(File, &Io, &Id, sizeof Id, FileInternalInformation) == 0 &&
           NtQueryInfo(File, &Io, &Tag, sizeof Tag, FileAttributeTagInformation) == 0 &&
           !((Tag.FileAttributes | Entry.Attributes) & FILE_ATTRIBUTE_REPARSE_POINT) &&
           !((Tag.FileAttributes ^ Entry.Attributes) & FILE_ATTRIBUTE_DIRECTORY) &&
           (Entry.Id == 0 || Entry.Id == Id.IndexNumber.QuadPart) &&
           (!Folder ||
            (GetFileInformationByHandle(File, &Info) && Info.dwVolumeSerialNumber == Serial));
}

// Entry of the folder Dir, opened through Dir and checked (IsListedEntry): held and ready to be
// deleted (Hold), else for listing it only, shared with the holder.
HANDLE OpenChecked(HANDLE Dir, const THeldEntry& Entry, DWORD Serial, bool Hold)
{
    ULONG Kind =
        Entry.Attributes & FILE_ATTRIBUTE_DIRECTORY ? FILE_DIRECTORY_FILE : FILE_NON_DIRECTORY_FILE;
    HANDLE File = Hold ? OpenIn(Dir, Entry.Name, Entry.NameBytes, HeldAccess,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, Kind)
                       : OpenIn(Dir, Entry.Name, Entry.NameBytes, ListAccess,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, Kind);
    if (File != INVALID_HANDLE_VALUE && !IsListedEntry(File, Entry, Serial)) {
        CloseHandle(File);
        return INVALID_HANDLE_VALUE;
    }
    return File;
}

// Which of two threads removes the file called Name: each takes the names of one parity.
int ShareOf(const THeldEntry& Entry)
{
    unsigned Sum = 0;
    for (ULONG I = 0; I < Entry.NameBytes / sizeof(wchar_t); ++I)
        Sum += Entry.Name[I];
    return int(Sum & 1);
}

// What a pass of RemoveInside removes: with Share 0 or 1, only the plain files whose names fall
// to that share (ShareOf), else everything.
struct TRemoval {
    DWORD Serial;
    int Share;
    bool Left;   // something stays
};

bool RemoveInside(HANDLE Dir, DWORD Serial, int Share);

void RemoveEntry(HANDLE Dir, const THeldEntry& Entry, void* Context)
{
    TRemoval& Removal = *static_cast<TRemoval*>(Context);
    bool Link = Entry.Attributes & FILE_ATTRIBUTE_REPARSE_POINT;
    bool Folder = !Link && (Entry.Attributes & FILE_ATTRIBUTE_DIRECTORY);
    if (Removal.Share >= 0 && (Link || (!Folder && ShareOf(Entry) != Removal.Share)))
        return;
    HANDLE File;
    if (Link)   // opened as itself: removing it leaves what it leads to alone
        File = OpenIn(Dir, Entry.Name, Entry.NameBytes, DELETE | SYNCHRONIZE,
                      FILE_SHARE_READ | FILE_SHARE_WRITE, 0);
    else   // a share's pass only looks for files in a folder
        File = OpenChecked(Dir, Entry, Removal.Serial, !Folder || Removal.Share < 0);
    if (File == INVALID_HANDLE_VALUE) {
        Removal.Left = true;
        return;
    }
    bool Gone = true;
    if (Folder)
        Gone = RemoveInside(File, Removal.Serial, Removal.Share);
    if (Removal.Share < 0 || !Folder)
        // A link's attributes are its target's under Wine, and the target is not ours to change.
        Gone = Gone && DeleteHeld(File, Link ? 0 : Entry.Attributes);
    Removal.Left = Removal.Left || !Gone;
    CloseHandle(File);
}

// Removes what the folder Dir holds, as far as the pass Share takes (TRemoval); false when
// something stays.
bool RemoveInside(HANDLE Dir, DWORD Serial, int Share)
{
    TRemoval Removal = {Serial, Share, false};
    return ListHeld(Dir, RemoveEntry, &Removal) && !Removal.Left;
}

struct TSecondShare {
    HANDLE Dir;
    DWORD Serial;
};

// The helper thread of RemoveHeldTree: the files of share 1.
DWORD WINAPI RemoveSecondShare(void* Second)
{
    TSecondShare& Share = *static_cast<TSecondShare*>(Second);
    RemoveInside(Share.Dir, Share.Serial, 1);
    return 0;
}

}   // namespace

HANDLE OpenListing(const char* Path, DWORD& Serial)
{
    HANDLE Dir =
        CreateFileA(Path, ListAccess, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    BY_HANDLE_FILE_INFORMATION Info;
    if (Dir != INVALID_HANDLE_VALUE && !GetFileInformationByHandle(Dir, &Info)) {
        CloseHandle(Dir);
        return INVALID_HANDLE_VALUE;
    }
    Serial = Dir != INVALID_HANDLE_VALUE ? Info.dwVolumeSerialNumber : 0;
    return Dir;
}

bool ListHeld(HANDLE Dir, THeldVisit Visit, void* Context)
{
    char* Listing = static_cast<char*>(std::malloc(ListingSize));
    IO_STATUS_BLOCK Io;
    NTSTATUS Status = 0;
    for (BOOLEAN First = TRUE; Listing && HaveNtCalls(); First = FALSE) {
        Status = NtList(Dir, nullptr, nullptr, nullptr, &Io, Listing, ListingSize,
                        FileIdBothDirectoryInformation, FALSE, nullptr, First);
        if (Status != 0)
            break;
        for (ULONG At = 0;;) {
            auto* Found = reinterpret_cast<FILE_ID_BOTH_DIR_INFORMATION*>(Listing + At);
            THeldEntry Entry = {Found->FileName, Found->FileNameLength, Found->FileAttributes,
                                Found->FileId.QuadPart};
            bool Dots = (Entry.NameBytes == 2 && Entry.Name[0] == L'.') ||
                        (Entry.NameBytes == 4 && Entry.Name[0] == L'.' && Entry.Name[1] == L'.');
            if (!Dots)
                Visit(Dir, Entry, Context);
            if (Found->NextEntryOffset == 0)
                break;
            At += Found->NextEntryOffset;
        }
    }
    std::free(Listing);
    return Status == NoMoreFiles;
}

HANDLE OpenListed(HANDLE Dir, const THeldEntry& Entry, DWORD Serial)
{
    return OpenChecked(Dir, Entry, Serial, true);
}

bool RemoveHeldTree(HANDLE Dir, DWORD Serial)
{
    // The second thread lists the folder through a handle of its own: a listing goes on where
    // the last one on the same handle stopped.
    TSecondShare Second = {OpenIn(Dir, L"", 0, ListAccess,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  FILE_DIRECTORY_FILE),
                           Serial};
    HANDLE Helper = Second.Dir == INVALID_HANDLE_VALUE
                        ? nullptr
                        : CreateThread(nullptr, 0, RemoveSecondShare, &Second, 0, nullptr);
    if (Helper) {
        RemoveInside(Dir, Serial, 0);
        WaitForSingleObject(Helper, INFINITE);
        CloseHandle(Helper);
    }
    if (Second.Dir != INVALID_HANDLE_VALUE)
        CloseHandle(Second.Dir);
    // The folders, the links, and what a share left; then the folder itself.
    return RemoveInside(Dir, Serial, -1) && DeleteHeld(Dir, 0);
}
