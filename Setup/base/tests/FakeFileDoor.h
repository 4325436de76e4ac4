// An in-memory machine behind the file door, for testing the decisions natively: folders and
// files are entries of its own, and an installed file's bytes are read from the real file it was
// installed from (ReadFrom), as the plan's door does.
#pragma once
#include "Setup/base/FileDoor.h"

#include <map>
#include <set>
#include <vector>

#include "Rules/CaseText.h"
#include "Rules/PathParts.h"

struct TFakeFiles : TFileDoor {
    struct TFile {
        std::string Bytes;   // the real file that holds its bytes, version and date
        DWORD Attributes;
    };
    std::set<std::string> Folders;
    std::map<std::string, TFile> Found;   // by the path's folded text
    std::set<std::string> Busy;           // in use, folded
    std::vector<std::string> Installed, AtRestart;

    TFakeFiles() { UseFileDoor(this); }
    ~TFakeFiles() override { UseFileDoor(nullptr); }

    void Put(const std::string& Path, const std::string& Bytes,
             DWORD Attributes = FILE_ATTRIBUTE_ARCHIVE)
    {
        Found[FoldedText(Path)] = {Bytes, Attributes};
    }
    bool IsFolder(const std::string& Path) override { return Folders.count(FoldedText(Path)); }
    bool MakeFolder(const std::string& Path) override
    {
        return Folders.insert(FoldedText(Path)).second;
    }
    DWORD Attributes(const std::string& Path) override
    {
        auto File = Found.find(FoldedText(Path));
        if (File != Found.end())
            return File->second.Attributes;
        if (IsFolder(Path))
            return FILE_ATTRIBUTE_DIRECTORY;
        std::string Dir = DirectoryPart(Path);
        DropOneTrailingBackslash(Dir);
        SetLastError(IsFolder(Dir) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND);
        return INVALID_FILE_ATTRIBUTES;
    }
    const std::string& ReadFrom(const std::string& Path) override
    {
        auto File = Found.find(FoldedText(Path));
        return File != Found.end() ? File->second.Bytes : Path;
    }
    bool InUse(const std::string& Path) override { return Busy.count(FoldedText(Path)); }
    bool Install(HANDLE, const std::string& From, const std::string& To) override
    {
        if (InUse(To)) {
            SetLastError(ERROR_ACCESS_DENIED);
            return false;
        }
        Installed.push_back(To);
        Put(To, ReadFrom(From));
        return true;
    }
    bool InstallAtRestart(HANDLE, const std::string&, const std::string& To, bool& Refused) override
    {
        Refused = false;
        AtRestart.push_back(To);
        return true;
    }
    bool Remove(const std::string& Path) override { return Found.erase(FoldedText(Path)) != 0; }
    bool SetAttributes(const std::string& Path, DWORD Attributes) override
    {
        auto File = Found.find(FoldedText(Path));
        return File != Found.end() && (File->second.Attributes = Attributes, true);
    }
    bool MayWriteIn(const std::string& Dir) override { return IsFolder(Dir); }
    void RemoveStaleTemps(const std::string&) override {}
    bool RemoveKilledFolder(HANDLE, DWORD) override { return true; }
};
