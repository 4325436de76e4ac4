// copyloop.exe FROM TO: the least a Win32 program must do to copy a tree, as the yardstick for
// SETUP.EXE's [Files] walk. Walks FROM with FindFirstFileA, makes each directory with
// CreateDirectoryA and copies each file with CopyFileA, overwriting. Exit code 0 when every file
// was copied, 1 otherwise.
#include <windows.h>

#include <cstdio>
#include <string>

static bool CopyDir(const std::string& From, const std::string& To)
{
    CreateDirectoryA(To.c_str(), nullptr);   // fails harmlessly when it exists
    WIN32_FIND_DATAA Found;
    HANDLE Find = FindFirstFileA((From + "\\*").c_str(), &Found);
    if (Find == INVALID_HANDLE_VALUE)
        return false;
    bool Ok = true;
    do {
        std::string Name = Found.cFileName;
        if (Name == "." || Name == "..")
            continue;
        if (Found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            Ok = CopyDir(From + "\\" + Name, To + "\\" + Name) && Ok;
        else
            Ok = CopyFileA((From + "\\" + Name).c_str(), (To + "\\" + Name).c_str(), FALSE) && Ok;
    } while (FindNextFileA(Find, &Found));
    FindClose(Find);
    return Ok;
}

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: copyloop.exe FROM TO\n");
        return 2;
    }
    return CopyDir(argv[1], argv[2]) ? 0 : 1;
}
