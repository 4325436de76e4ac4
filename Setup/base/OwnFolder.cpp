#include "Setup/base/OwnFolder.h"

#include <aclapi.h>
#include <sddl.h>

#include <cstring>

#include "Rules/BundleText.h"
#include "Setup/base/HeldTree.h"
#include "SysDll/SysDll.h"

namespace {

const int RandomTries = 16;   // new names to try when one is taken

// The access list that the run's folder gets (MediumFolderSddl): only the run's own user, the
// system and the administrators may use it, and only the latter two when the run is elevated. In
// the Windows folder's Temp, where an installation as SYSTEM unpacks, any user may create files,
// and a file slipped into the medium would be installed with it. Descriptor is the caller's to
// free (LocalFree); false, and the folder gets the default, when the system can't say who we are.
bool OwnOnly(SECURITY_ATTRIBUTES& Attributes, PSECURITY_DESCRIPTOR& Descriptor)
{
    const size_t SidSize = 192;   // a SID as text, with its NUL
    HANDLE Token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &Token))
        return false;
    alignas(TOKEN_USER) char User[SECURITY_MAX_SID_SIZE + sizeof(TOKEN_USER)];
    DWORD Size;
    bool Ok = GetTokenInformation(Token, TokenUser, User, sizeof User, &Size);
    CloseHandle(Token);
    char* Sid = nullptr;
    if (!Ok || !ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(User)->User.Sid, &Sid))
        return false;
    std::string Sddl = MediumFolderSddl(RunElevated(), Sid);
    Ok = std::strlen(Sid) < SidSize;
    LocalFree(Sid);
    Attributes = {sizeof Attributes, nullptr, FALSE};
    if (!Ok || !ConvertStringSecurityDescriptorToSecurityDescriptorA(Sddl.c_str(), SDDL_REVISION_1,
                                                                     &Descriptor, nullptr))
        return false;
    Attributes.lpSecurityDescriptor = Descriptor;
    return true;
}

// Whether the access list Acl admits nobody but the system, the administrators and Owner.
bool AdmitsOnlyOurs(PACL Acl, PSID Owner)
{
    SID_IDENTIFIER_AUTHORITY Nt = SECURITY_NT_AUTHORITY;
    PSID System = nullptr, Admins = nullptr;
    bool Ok =
        Acl &&
        AllocateAndInitializeSid(&Nt, 1, SECURITY_LOCAL_SYSTEM_RID, 0, 0, 0, 0, 0, 0, 0, &System) &&
        AllocateAndInitializeSid(&Nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0,
                                 0, 0, 0, 0, &Admins);
    for (DWORD I = 0; Ok && I < Acl->AceCount; ++I) {
        ACE_HEADER* Ace;
        Ok = GetAce(Acl, I, reinterpret_cast<void**>(&Ace));
        if (!Ok || Ace->AceType != ACCESS_ALLOWED_ACE_TYPE)
            continue;   // a denial takes nothing from us
        PSID Who = &reinterpret_cast<ACCESS_ALLOWED_ACE*>(Ace)->SidStart;
        Ok = EqualSid(Who, System) || EqualSid(Who, Admins) || EqualSid(Who, Owner);
    }
    if (System)
        FreeSid(System);
    if (Admins)
        FreeSid(Admins);
    return Ok;
}

// Whether the folder Folder holds was made as this run makes its own: with the owner that the
// run's own folder got (Own: the administrators for an elevated run, else the run's user; a
// folder that another account made has that account for its owner) and an access list that
// admits nobody else.
bool MadeAsOurs(HANDLE Folder, HANDLE Own)
{
    PSID Owner = nullptr, Ours = nullptr;
    PACL Acl = nullptr;
    PSECURITY_DESCRIPTOR Descriptor = nullptr, OwnDescriptor = nullptr;
    bool Ok = GetSecurityInfo(Folder, SE_FILE_OBJECT,
                              OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &Owner,
                              nullptr, &Acl, nullptr, &Descriptor) == ERROR_SUCCESS &&
              GetSecurityInfo(Own, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &Ours, nullptr,
                              nullptr, nullptr, &OwnDescriptor) == ERROR_SUCCESS &&
              Owner && Ours && EqualSid(Owner, Ours) && AdmitsOnlyOurs(Acl, Owner);
    LocalFree(Descriptor);
    LocalFree(OwnDescriptor);
    return Ok;
}

typedef BOOLEAN(WINAPI* TGenRandom)(void*, ULONG);
TGenRandom GenRandom;

// A number that no one could know beforehand.
bool FreshRandom(uint64_t& Random)
{
    return SystemFunc(GenRandom, "advapi32.dll", "SystemFunction036") &&
           GenRandom(&Random, sizeof Random);
}

struct TListing {
    TIsFolderName IsName;
    std::vector<TKilledFolder> Found;
};

void NoteKilled(HANDLE, const THeldEntry& Entry, void* Context)
{
    TListing& Listing = *static_cast<TListing*>(Context);
    TKilledFolder Folder;
    size_t Length = Entry.NameBytes / sizeof(wchar_t);
    if (Listing.Found.size() == size_t(KilledFoldersAtMost) || Length >= OwnFolderNameSize ||
        (Entry.Attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) !=
            FILE_ATTRIBUTE_DIRECTORY)
        return;
    for (size_t I = 0; I < Length; ++I)
        Folder.Name[I] = Entry.Name[I] < 0x80 ? char(Entry.Name[I]) : '?';
    Folder.Name[Length] = '\0';
    Folder.Id = Entry.Id;
    if (Listing.IsName(Folder.Name))
        Listing.Found.push_back(Folder);
}

}   // namespace

// Whether the run has an administrator's full rights: elevated where the system knows elevation,
// else a member of the administrators (as the system itself is).
bool RunElevated()
{
    HANDLE Token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &Token))
        return false;
    TOKEN_ELEVATION Elevation = {};
    DWORD Size;
    bool Known = GetTokenInformation(Token, TokenElevation, &Elevation, sizeof Elevation, &Size);
    CloseHandle(Token);
    if (Known)
        return Elevation.TokenIsElevated != 0;
    SID_IDENTIFIER_AUTHORITY Nt = SECURITY_NT_AUTHORITY;
    PSID Admins;
    BOOL Member = FALSE;
    if (AllocateAndInitializeSid(&Nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0,
                                 0, 0, 0, 0, &Admins)) {
        CheckTokenMembership(nullptr, Admins, &Member);
        FreeSid(Admins);
    }
    return Member != FALSE;
}

bool MakeOwnFolder(const char* Temp, TNameFolder NameOf, std::string& Path, HANDLE& Held)
{
    SECURITY_ATTRIBUTES Attributes;
    PSECURITY_DESCRIPTOR Descriptor = nullptr;
    bool Secured = OwnOnly(Attributes, Descriptor);
    Held = INVALID_HANDLE_VALUE;
    for (int Try = 0; Try < RandomTries && Held == INVALID_HANDLE_VALUE; ++Try) {
        uint64_t Random;
        TOwnFolderName Name;
        if (!FreshRandom(Random))
            break;
        NameOf(Random, Name);
        Path = std::string(Temp) + Name;
        if (!CreateDirectoryA(Path.c_str(), Secured ? &Attributes : nullptr))
            continue;
        // Taken away between the two calls: another name.
        Held = CreateFileA(Path.c_str(), FILE_LIST_DIRECTORY | READ_CONTROL,
                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    }
    LocalFree(Descriptor);
    return Held != INVALID_HANDLE_VALUE;
}

std::vector<TKilledFolder> ListKilledFolders(HANDLE Temp, TIsFolderName IsName)
{
    TListing Listing = {IsName, {}};
    ListHeld(Temp, NoteKilled, &Listing);
    return Listing.Found;
}

HANDLE OpenFolderIn(HANDLE Temp, DWORD Serial, const char* Name, LONGLONG Id)
{
    wchar_t Wide[OwnFolderNameSize];
    int Length = MultiByteToWideChar(CP_ACP, 0, Name, -1, Wide, OwnFolderNameSize);
    THeldEntry Entry = {Wide, ULONG(Length > 0 ? Length - 1 : 0) * sizeof(wchar_t),
                        FILE_ATTRIBUTE_DIRECTORY, Id};
    return Length > 1 ? OpenListed(Temp, Entry, Serial) : INVALID_HANDLE_VALUE;
}

HANDLE OpenKilledFolder(HANDLE Temp, DWORD Serial, const TKilledFolder& Found, HANDLE Own)
{
    HANDLE Folder = OpenFolderIn(Temp, Serial, Found.Name, Found.Id);
    if (Folder != INVALID_HANDLE_VALUE && !MadeAsOurs(Folder, Own)) {
        CloseHandle(Folder);
        Folder = INVALID_HANDLE_VALUE;
    }
    return Folder;
}
