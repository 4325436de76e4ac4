// The door to the machine's folders and files: every change to them passes here, and so does every
// look at them that decides on a change. The run's door changes the machine; the plan's changes
// nothing, keeps books of what the run would have made by then, and answers the later looks as
// the machine would answer them after the run's changes.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// One entry that a directory search gave: its name as spelled there, its attributes and, for a
// file, its size (which the search tells at no cost of its own).
struct TFoundEntry {
    std::string Name;
    DWORD Attributes;
    uint64_t Size;
};

class TFileDoor {
public:
    virtual ~TFileDoor() = default;

    // Whether a folder (hidden and system ones included) is at Path.
    virtual bool IsFolder(const std::string& Path) = 0;
    // Makes the one folder Path, whose parent is there; false with the system's code when not.
    virtual bool MakeFolder(const std::string& Path) = 0;

    // The attributes of what is at Path, as GetFileAttributesA gives them: INVALID_FILE_ATTRIBUTES
    // with the system's code in GetLastError when nothing is there.
    virtual DWORD Attributes(const std::string& Path) = 0;
    // The file to read for the bytes, version and date that Path holds now: Path itself, or the
    // file that a plan installed at Path.
    virtual const std::string& ReadFrom(const std::string& Path) = 0;
    // What a directory search of the folder Dir for Pattern (a name or wildcards) finds, in the
    // order the search gives it; nothing when Dir is missing or nothing matches.
    virtual std::vector<TFoundEntry> Find(const std::string& Dir, const std::string& Pattern) = 0;
    // Whether replacing the file at Path would fail now because a program uses it.
    virtual bool InUse(const std::string& Path) = 0;

    // Installs the file From at To whole (as CopyAtomic does), from Source when the caller has it
    // open already (INVALID_HANDLE_VALUE: by From's name), and withdraws a replacement of To that
    // waits for the next restart. False with the system's code in GetLastError.
    virtual bool Install(HANDLE Source, const std::string& From, const std::string& To) = 0;
    // Has From put in To's place, which is in use, at the next restart (as CopyAtRestart does).
    virtual bool InstallAtRestart(HANDLE Source, const std::string& From, const std::string& To,
                                  bool& Refused) = 0;
    // Removes the file at Path.
    virtual bool Remove(const std::string& Path) = 0;
    // Gives the file at Path exactly Attributes.
    virtual bool SetAttributes(const std::string& Path, DWORD Attributes) = 0;

    // Whether a new file can be written in the folder Dir now.
    virtual bool MayWriteIn(const std::string& Dir) = 0;
    // Removes what killed runs left in Dir (as RemoveStaleTemps does).
    virtual void RemoveStaleTemps(const std::string& Dir) = 0;
    // Removes a killed run's folder, which Folder holds (as RemoveHeldTree does); false when
    // something stays.
    virtual bool RemoveKilledFolder(HANDLE Folder, DWORD Serial) = 0;
};

// The run's door to folders and files.
TFileDoor& Files();

// Chooses it: the plan's when Plan, else the real one (which a run has from its start).
void ChooseFileDoor(bool Plan);

// The two doors a run chooses between, and the one that journals around the real one.
TFileDoor& RealFileDoor();
TFileDoor& PlanFileDoor();
TFileDoor& JournalFileDoor();

// Sets Door as the run's (a test's fake); nullptr: the real one again.
void UseFileDoor(TFileDoor* Door);

// The folder Path is there, or is made now (one level, the parent must be there).
bool FolderReady(const std::string& Path);
