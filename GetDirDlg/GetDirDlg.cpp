#include "GetDirDlg/GetDirDlg.h"

#include "Rules/Capacities.h"

const int PathSize = int(PathBufSize);

int CALLBACK BrowseCallback(HWND Browser, UINT Event, LPARAM, LPARAM Data)
{
    if (Event == BFFM_INITIALIZED)
        SendMessageA(Browser, BFFM_SETSELECTIONA, TRUE, Data);
    return 1;
}

int BrowseForDirectory(HWND Owner, std::string& Dir, std::string& DisplayName, BFFCALLBACK Callback,
                       int Flags, const char* Title)
{
    if (Flags == bfDefaultFlags)
        Flags = BIF_RETURNONLYFSDIRS;
    LPITEMIDLIST Root = nullptr;
    if (Flags & BIF_BROWSEFORPRINTER)
        SHGetSpecialFolderLocation(Owner, CSIDL_PRINTERS, &Root);
    else if (Flags & BIF_BROWSEFORCOMPUTER)
        SHGetSpecialFolderLocation(Owner, CSIDL_NETWORK, &Root);

    char Path[PathSize] = "";
    BROWSEINFOA Info = {};
    Info.hwndOwner = Owner;
    Info.pidlRoot = Root;
    Info.pszDisplayName = Path;
    Info.lpszTitle = Title;
    Info.ulFlags = UINT(Flags);
    Info.lpfn = Callback != nullptr ? Callback : BrowseCallback;
    Info.lParam = LPARAM(Dir.c_str());

    int Result = 2;
    if (LPITEMIDLIST Item = SHBrowseForFolderA(&Info)) {
        DisplayName = Path;
        // An item without a file-system path gives an empty directory rather than stale text.
        if (!SHGetPathFromIDListA(Item, Path))
            Path[0] = 0;
        Dir = Path;
        CoTaskMemFree(Item);
        Result = 0;
    }
    if (Root != nullptr)
        CoTaskMemFree(Root);
    return Result;
}
