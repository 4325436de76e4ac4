// A folder of a test's own below the temporary directory, removed with everything in it.
#pragma once
#include <windows.h>

#include <shellapi.h>

#include <string>

struct TTempDir {
    std::string Path;
    explicit TTempDir(const std::string& Name)
    {
        char Base[MAX_PATH];
        GetTempPathA(sizeof Base, Base);
        Path = std::string(Base) + Name + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(Path.c_str(), nullptr);
    }
    ~TTempDir()
    {
        std::string From = Path + '\0';
        SHFILEOPSTRUCTA Op = {};
        Op.wFunc = FO_DELETE;
        Op.pFrom = From.c_str();
        Op.fFlags = FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
        SHFileOperationA(&Op);
    }
};
