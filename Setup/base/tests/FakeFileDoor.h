// An in-memory machine behind the file door, for testing the decisions natively. A file of it
// has its bytes, version and date in a real file (ReadFrom), as a file that a plan installed has.
#pragma once
#include "Setup/base/FileDoor.h"

#include <map>
#include <set>
#include <vector>

#include "Rules/CaseText.h"
#include "Rules/PathMatch.h"
#include "Rules/PathParts.h"

struct TFakeFiles : TFileDoor {
    std::set<std::string> Folders, Busy;        // folded paths; Busy: files in use
    std::map<std::string, std::string> Found;   // folded path: the real file of its bytes
    std::vector<std::string> Installed, AtRestart;

    TFakeFiles() { UseFileDoor(this); }
    ~TFakeFiles() override { UseFileDoor(nullptr); }

    bool IsFolder(const std::string& Path) override { return Folders.count(FoldedText(Path)); }
    bool MakeFolder(const std::string& Path) override
    {
        return Folders.insert(FoldedText(Path)).second;
    }
    DWORD Attributes(const std::string& Path) override
    {
        if (Found.count(FoldedText(Path)))
            return FILE_ATTRIBUTE_ARCHIVE;
        std::string Dir = DirectoryPart(Path);
        DropOneTrailingBackslash(Dir);
        SetLastError(IsFolder(Dir) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND);
        return IsFolder(Path) ? FILE_ATTRIBUTE_DIRECTORY : INVALID_FILE_ATTRIBUTES;
    }
    const std::string& ReadFrom(const std::string& Path) override
    {
        auto File = Found.find(FoldedText(Path));
        return File != Found.end() ? File->second : Path;
    }
    // The folders and files right in Dir that match Pattern, by their folded names.
    std::vector<TFoundEntry> Find(const std::string& Dir, const std::string& Pattern) override
    {
        std::vector<TFoundEntry> Entries;
        std::string In = FoldedText(Dir);
        AddTrailingBackslash(In);
        auto TakeIn = [&](const std::string& Path, DWORD Attributes) {
            if (DirectoryPart(Path) == In && WildcardMatch(Pattern, FileNamePart(Path)))
                Entries.push_back({FileNamePart(Path), Attributes, 0});
        };
        for (const std::string& Folder : Folders)
            TakeIn(Folder, FILE_ATTRIBUTE_DIRECTORY);
        for (const auto& File : Found)
            TakeIn(File.first, FILE_ATTRIBUTE_ARCHIVE);
        return Entries;
    }
    bool InUse(const std::string& Path) override { return Busy.count(FoldedText(Path)); }
    bool Install(HANDLE, const std::string& From, const std::string& To) override
    {
        SetLastError(ERROR_ACCESS_DENIED);
        if (InUse(To))
            return false;
        Installed.push_back(To);
        Found[FoldedText(To)] = ReadFrom(From);
        return true;
    }
    bool InstallAtRestart(HANDLE, const std::string&, const std::string& To, bool&) override
    {
        AtRestart.push_back(To);
        return true;
    }
    bool Remove(const std::string& Path) override { return Found.erase(FoldedText(Path)); }
    bool SetAttributes(const std::string&, DWORD) override { return true; }
    bool MayWriteIn(const std::string& Dir) override { return IsFolder(Dir); }
    void RemoveStaleTemps(const std::string&) override {}
    bool RemoveKilledFolder(HANDLE, DWORD) override { return true; }
};
