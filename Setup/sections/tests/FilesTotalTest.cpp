#include "Setup/sections/FilesTotal.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "Rules/FilesText.h"
#include "Setup/base/tests/TempDir.h"

namespace {

// Files whose sizes are powers of ten, so that a total tells which of them it counted; a folder
// whose name matches *.txt, which the walk enters without /s too; a leftover temporary file.
TEST(FilesTotal, CountsWhatTheWalkTakes)
{
    TTempDir Medium("FilesTotalTest");
    for (const char* Dir : {"\\sub", "\\sub\\deep", "\\f.txt"})
        CreateDirectoryA((Medium.Path + Dir).c_str(), nullptr);
    const struct {
        std::string Name;
        size_t Size;
    } Files[] = {{"a.txt", 1},
                 {"b.dat", 10},
                 {"sub\\c.txt", 100},
                 {"sub\\d.dat", 1000},
                 {"sub\\deep\\e.txt", 10000},
                 {"f.txt\\g.txt", 100000},
                 {"f.txt\\h.dat", 1000000},
                 {TempFileName(1, 1), 7}};
    for (const auto& File : Files) {
        HANDLE Handle = CreateFileA((Medium.Path + "\\" + File.Name).c_str(), GENERIC_WRITE, 0,
                                    nullptr, CREATE_ALWAYS, 0, nullptr);
        std::string Bytes(File.Size, 'x');
        DWORD Put;
        WriteFile(Handle, Bytes.data(), DWORD(Bytes.size()), &Put, nullptr);
        CloseHandle(Handle);
    }
    const struct {
        std::vector<TProfileLine> Entries;
        uint64_t Total;
    } Cases[] = {
        {{{"*.txt", ""}}, 100001},
        {{{"*.txt/s", ""}}, 110101},
        {{{"*.*", ""}}, 1111111},
        {{{"b.dat", ""}, {"sub\\*.dat", ""}, {"sub\\c.txt", ""}, {"none.txt", ""}}, 1110},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Entries[0].Key);
        EXPECT_EQ(Case.Total, FilesTotal(Case.Entries, Medium.Path + "\\"));
    }
}

}   // namespace
