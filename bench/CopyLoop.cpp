// copyloop.exe FROM TO [/flush]: the least a Win32 program must do to copy a tree, as the
// yardstick for SETUP.EXE's [Files] walk. Walks FROM with FindFirstFileA, makes each directory
// with CreateDirectoryA and copies each file with CopyFileA, overwriting. With /flush each copy is
// then opened and flushed to the disk, as SETUP.EXE flushes each file before it takes its final
// name. Exit code 0 when every file was copied, 1 otherwise.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

static bool Flush = false;

static bool FlushCopy(const std::string& To)
{
    HANDLE File = CreateFileA(To.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (File == INVALID_HANDLE_VALUE)
        return false;
    bool Flushed = FlushFileBuffers(File);
    return CloseHandle(File) && Flushed;
}

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
            Ok = CopyFileA((From + "\\" + Name).c_str(), (To + "\\" + Name).c_str(), FALSE) &&
                 (!Flush || FlushCopy(To + "\\" + Name)) && Ok;
    } while (FindNextFileA(Find, &Found));
    FindClose(Find);
    return Ok;
}

int main(int argc, char** argv)
{
    Flush = argc == 4 && std::strcmp(argv[3], "/flush") == 0;
    if (argc != 3 && !Flush) {
        std::fprintf(stderr, "usage: copyloop.exe FROM TO [/flush]\n");
        return 2;
    }
    return CopyDir(argv[1], argv[2]) ? 0 : 1;
}
