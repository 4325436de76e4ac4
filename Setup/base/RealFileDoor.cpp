// The run's door to folders and files: each change is made on the machine, each look asks it.
#include "Setup/base/FileDoor.h"

#include "Rules/FilesText.h"
#include "Rules/PathParts.h"
#include "Setup/base/AtomicCopy.h"
#include "Setup/base/HeldTree.h"

namespace {

const int WriteTestTries = 1000;   // names taken by others before the write test gives up

// A file of our own, made new in Dir under a name that nobody has (a name taken first, even by a
// link, only makes us take the next one), written and removed when closed, also when the run is
// killed.
bool WriteTest(const std::string& Dir)
{
    static const char Signature[] = "[Version]\r\nFormKv=KELVOR\r\n";
    static uint32_t Count = 0;
    for (int Tries = 0; Tries < WriteTestTries; ++Tries) {
        std::string Test = JoinPath(Dir, TempFileName(GetCurrentProcessId(), ++Count));
        HANDLE File = CreateFileA(Test.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (File == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_EXISTS)
            continue;
        if (File == INVALID_HANDLE_VALUE)
            return false;
        DWORD Written = 0;
        bool Wrote = WriteFile(File, Signature, sizeof Signature - 1, &Written, nullptr) &&
                     Written == sizeof Signature - 1;
        CloseHandle(File);
        return Wrote;
    }
    return false;
}

class TRealFiles : public TFileDoor {
public:
    bool IsFolder(const std::string& Path) override
    {
        DWORD Found = GetFileAttributesA(Path.c_str());
        return Found != INVALID_FILE_ATTRIBUTES && (Found & FILE_ATTRIBUTE_DIRECTORY);
    }
    bool MakeFolder(const std::string& Path) override
    {
        return CreateDirectoryA(Path.c_str(), nullptr) != FALSE;
    }
    DWORD Attributes(const std::string& Path) override { return GetFileAttributesA(Path.c_str()); }
    const std::string& ReadFrom(const std::string& Path) override { return Path; }
    std::vector<TFoundEntry> Find(const std::string& Dir, const std::string& Pattern) override
    {
        std::vector<TFoundEntry> Entries;
        WIN32_FIND_DATAA Found;
        HANDLE Search = FindFirstFileA((Dir + "\\" + Pattern).c_str(), &Found);
        if (Search == INVALID_HANDLE_VALUE)
            return Entries;
        do
            Entries.push_back({Found.cFileName, Found.dwFileAttributes,
                               uint64_t(Found.nFileSizeHigh) << 32 | Found.nFileSizeLow});
        while (FindNextFileA(Search, &Found));
        FindClose(Search);
        return Entries;
    }
    bool InUse(const std::string& Path) override { return FileInUseNow(Path); }
    bool Install(HANDLE Source, const std::string& From, const std::string& To) override
    {
        return Source != INVALID_HANDLE_VALUE ? CopyAtomic(Source, To) : CopyAtomic(From, To);
    }
    bool InstallAtRestart(HANDLE Source, const std::string& From, const std::string& To,
                          bool& Refused) override
    {
        return CopyAtRestart(Source, From, To, Refused);
    }
    bool Remove(const std::string& Path) override { return DeleteFileA(Path.c_str()) != FALSE; }
    bool SetAttributes(const std::string& Path, DWORD Attributes) override
    {
        return SetFileAttributesA(Path.c_str(), Attributes) != FALSE;
    }
    bool MayWriteIn(const std::string& Dir) override { return WriteTest(Dir); }
    void RemoveStaleTemps(const std::string& Dir) override { ::RemoveStaleTemps(Dir); }
    bool RemoveKilledFolder(HANDLE Folder, DWORD Serial) override
    {
        return RemoveHeldTree(Folder, Serial);
    }
};

TRealFiles RealFiles;

}   // namespace

TFileDoor& RealFileDoor()
{
    return RealFiles;
}
