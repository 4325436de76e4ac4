#include "Setup/sections/FilesTotal.h"

#include <map>

#include "Rules/FilesText.h"
#include "Rules/InUseText.h"
#include "Rules/PathMatch.h"
#include "Rules/PathParts.h"
#include "Setup/base/FileDoor.h"

namespace {

// One folder as listed; its index, made for the first single name looked up in it, finds the
// names of scripts that name every file by a key of its own without a pass over thousands.
struct TCountedDir {
    std::vector<TFoundEntry> Entries;
    TNameIndex Index;
    bool Indexed = false;
};
typedef std::map<std::string, TCountedDir> TCountedDirs;   // by the folder's path as spelled

TCountedDir& Listed(const std::string& Dir, TCountedDirs& Dirs)
{
    auto At = Dirs.emplace(Dir, TCountedDir());
    if (At.second)
        At.first->second.Entries = Files().Find(Dir, "*");
    return At.first->second;
}

const TNameIndex& Indexed(const std::string& Dir, TCountedDirs& Dirs)
{
    TCountedDir& Counted = Listed(Dir, Dirs);
    if (!Counted.Indexed) {
        Counted.Indexed = true;
        for (const TFoundEntry& Entry : Counted.Entries)
            Counted.Index.Add(Entry.Name, Entry.Attributes, Entry.Size);
        Counted.Index.Seal();
    }
    return Counted.Index;
}

uint64_t BytesIn(const std::string& Dir, const std::string& Pattern, bool Recursive,
                 TCountedDirs& Dirs);

// The bytes that the walk takes of one entry of Dir that a search for Pattern finds: a file's
// size, or what it takes below a folder that it enters.
uint64_t BytesOf(const std::string& Dir, const std::string& Name, uint32_t Attributes,
                 uint64_t Size, const std::string& Pattern, bool Recursive, TCountedDirs& Dirs)
{
    if (IsTempFileName(Name) || IsWaitingFileName(Name))
        return 0;
    if (!(Attributes & FILE_ATTRIBUTE_DIRECTORY))
        return Size;
    return Name == "." || Name == ".." ? 0 : BytesIn(Dir + "\\" + Name, Pattern, Recursive, Dirs);
}

// The bytes that the walk takes in Dir and below it for Pattern: the matching files, and the
// matching folders with the same pattern; with Recursive, every folder.
uint64_t BytesIn(const std::string& Dir, const std::string& Pattern, bool Recursive,
                 TCountedDirs& Dirs)
{
    uint64_t Bytes = 0;
    if (IsLiteralName(Pattern) && !Recursive) {
        if (const TNameIndex::TEntry* Entry = Indexed(Dir, Dirs).Find(Pattern))
            Bytes = BytesOf(Dir, Entry->Name, Entry->Attributes, Entry->Size, Pattern, false, Dirs);
        return Bytes;
    }
    for (const TFoundEntry& Entry : Listed(Dir, Dirs).Entries) {
        bool Folder = (Entry.Attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if ((Folder && Recursive) || WildcardMatch(Pattern, Entry.Name))
            Bytes +=
                BytesOf(Dir, Entry.Name, Entry.Attributes, Entry.Size, Pattern, Recursive, Dirs);
    }
    return Bytes;
}

}   // namespace

uint64_t FilesTotal(const std::vector<TProfileLine>& Entries, const std::string& InfDir)
{
    TCountedDirs Dirs;
    uint64_t Total = 0;
    for (const TProfileLine& Line : Entries) {
        TFilesKey Parts = SplitFilesKey(Line.Key);
        std::string Dir = InfDir + Parts.SubDir;
        DropOneTrailingBackslash(Dir);   // as the walk does
        Total += BytesIn(Dir, Parts.Pattern, Parts.Recursive, Dirs);
    }
    return Total;
}
