#include "LnkOleU/LnkOleU.h"

#include <windows.h>

#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>

namespace {

const int LinkFileSize = MAX_PATH;   // UTF-16 units of the saved path, NUL included

// Saves the link under LinkFile; -1 when the path does not convert into LinkFileSize units.
HRESULT SaveLink(IPersistFile* File, const char* LinkFile)
{
    WCHAR Wide[LinkFileSize];
    // MultiByteToWideChar gives 0, not a cut path, when the whole path does not fit.
    if (MultiByteToWideChar(CP_ACP, 0, LinkFile, -1, Wide, LinkFileSize) == 0)
        return -1;
    return File->Save(Wide, TRUE);
}

// Sets the link's fields and saves it. Stops at the first call that returns anything but S_OK,
// so nothing is written then. Link stays the caller's to release.
HRESULT FillAndSave(IShellLinkA* Link, const char* Target, const char* Arguments,
                    const char* WorkDir, const char* IconFile, int32_t IconIndex,
                    const char* LinkFile)
{
    HRESULT Result = Link->SetPath(Target);
    if (Result != S_OK)
        return Result;
    Result = Link->SetWorkingDirectory(WorkDir);
    if (Result != S_OK)
        return Result;
    if (*Arguments != '\0') {
        Result = Link->SetArguments(Arguments);
        if (Result != S_OK)
            return Result;
    }
    if (*IconFile != '\0') {
        Result = Link->SetIconLocation(IconFile, IconIndex);
        if (Result != S_OK)
            return Result;
    }
    if (LinkFile == nullptr)
        return S_OK;
    IPersistFile* File = nullptr;
    Result = Link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&File));
    if (Result == S_OK)
        Result = SaveLink(File, LinkFile);
    if (File != nullptr)
        File->Release();
    return Result;
}

}   // namespace

int32_t CreateShellLink(const char* Target, const char* Arguments, const char* WorkDir,
                        const char* IconFile, int32_t IconIndex, const char* LinkFile)
{
    // Every call initialises COM again, so any thread may call; a thread that already has it
    // only gets S_FALSE, which is no matter here.
    CoInitialize(nullptr);
    IShellLinkA* Link = nullptr;
    HRESULT Result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IShellLinkA, reinterpret_cast<void**>(&Link));
    if (Result != S_OK) {
        if (Link != nullptr)
            Link->Release();
        return Result;
    }
    // A missing text counts as an empty one.
    Result = FillAndSave(Link, Target ? Target : "", Arguments ? Arguments : "",
                         WorkDir ? WorkDir : "", IconFile ? IconFile : "", IconIndex, LinkFile);
    Link->Release();
    return Result;
}
