#include "Setup/base/HeldTree.h"

#include <windows.h>

#include <sddl.h>

#include <gtest/gtest.h>

#include <string>

#include "Rules/BundleText.h"

namespace {

// A folder of the test's own in the temporary folder, with two subfolders "a" (holding a
// read-only file and a folder with a file) and "b"; Temp holds the temporary folder for listing.
struct HeldTreeTest : ::testing::Test {
    std::string Base, Name;
    HANDLE Temp = INVALID_HANDLE_VALUE;
    DWORD Serial = 0;
    void SetUp() override
    {
        char Path[MAX_PATH];
        GetTempPathA(sizeof Path, Path);
        Name = "HeldTreeTest" + std::to_string(GetCurrentProcessId());
        Base = Path + Name;
        for (const char* Sub : {"", "\\a", "\\a\\deep", "\\b"})
            CreateDirectoryA((Base + Sub).c_str(), nullptr);
        for (const char* File : {"\\a\\ro.txt", "\\a\\deep\\x.txt"})
            CloseHandle(CreateFileA((Base + File).c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, 0, nullptr));
        SetFileAttributesA((Base + "\\a\\ro.txt").c_str(), FILE_ATTRIBUTE_READONLY);
        Temp = OpenListing(Path, Serial);
        ASSERT_NE(INVALID_HANDLE_VALUE, Temp);
    }
    void TearDown() override
    {
        CloseHandle(Temp);
        SetFileAttributesA((Base + "\\a\\ro.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
        for (const char* File : {"\\a\\ro.txt", "\\a\\deep\\x.txt"})
            DeleteFileA((Base + File).c_str());
        for (const char* Sub : {"\\a\\deep", "\\a", "\\b", ""})
            RemoveDirectoryA((Base + Sub).c_str());
    }
    // The number that the file system gives the folder at Path.
    static LONGLONG IdOf(const std::string& Path)
    {
        HANDLE File = CreateFileA(Path.c_str(), FILE_READ_ATTRIBUTES, 7, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        BY_HANDLE_FILE_INFORMATION Info = {};
        GetFileInformationByHandle(File, &Info);
        CloseHandle(File);
        return LONGLONG(Info.nFileIndexHigh) << 32 | Info.nFileIndexLow;
    }
    HANDLE Open(const std::wstring& Wide, LONGLONG Id, DWORD Attributes = FILE_ATTRIBUTE_DIRECTORY)
    {
        THeldEntry Entry = {Wide.c_str(), ULONG(Wide.size() * sizeof(wchar_t)), Attributes, Id};
        return OpenListed(Temp, Entry, Serial);
    }
    std::wstring Wide() const { return std::wstring(Name.begin(), Name.end()); }
};

// What is opened must be what the listing showed: another folder under the name (a swap), a link,
// a file where a folder was listed, another volume: nothing is opened.
TEST_F(HeldTreeTest, OpensOnlyWhatTheListingShowed)
{
    const LONGLONG Id = IdOf(Base);
    const struct {
        const char* What;
        LONGLONG Id;
        DWORD Attributes;
        DWORD SerialChange;
    } Cases[] = {
        {"another folder's number", IdOf(Base + "\\b"), FILE_ATTRIBUTE_DIRECTORY, 0},
        {"listed as a link", Id, FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT, 0},
        {"listed as a file", Id, FILE_ATTRIBUTE_NORMAL, 0},
        {"another volume", Id, FILE_ATTRIBUTE_DIRECTORY, 1},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.What);
        Serial ^= Case.SerialChange;
        HANDLE Refused = Open(Wide(), Case.Id, Case.Attributes);
        Serial ^= Case.SerialChange;
        EXPECT_EQ(INVALID_HANDLE_VALUE, Refused);
        if (Refused != INVALID_HANDLE_VALUE)
            CloseHandle(Refused);
    }
    HANDLE Held = Open(Wide(), Id);
    ASSERT_NE(INVALID_HANDLE_VALUE, Held);
    // Held: no one else may delete or rename it meanwhile.
    EXPECT_FALSE(MoveFileA(Base.c_str(), (Base + "x").c_str()));
    CloseHandle(Held);
}

// Renamed and emptied through handles: the read-only file and the folders below go, and the
// folder itself with the last handle.
TEST_F(HeldTreeTest, RenamedAndRemovedWholeThroughItsHandle)
{
    HANDLE Held = Open(Wide(), IdOf(Base));
    ASSERT_NE(INVALID_HANDLE_VALUE, Held);
    std::string Fresh = Name + "x";
    EXPECT_TRUE(RenameHeld(Held, Temp, Fresh.c_str()));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(Base.c_str()));
    std::string Renamed = Base + "x";
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((Renamed + "\\a\\ro.txt").c_str()));
    EXPECT_TRUE(RemoveHeldTree(Held, Serial));
    CloseHandle(Held);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(Renamed.c_str()));
}

// The access list of a run's folder, read back from the descriptor the system builds of it: an
// elevated run's is owned by the administrators and admits the system and them only; neither
// inherits anything from the temporary folder.
TEST(MediumFolderSddl, BuildsTheDescriptorItSays)
{
    const std::string User = "S-1-5-21-1-2-3-1000";
    for (bool Elevated : {true, false}) {
        SCOPED_TRACE(Elevated ? "elevated" : "not elevated");
        PSECURITY_DESCRIPTOR Descriptor = nullptr;
        ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(
            MediumFolderSddl(Elevated, User).c_str(), SDDL_REVISION_1, &Descriptor, nullptr));
        char* Back = nullptr;
        ASSERT_TRUE(ConvertSecurityDescriptorToStringSecurityDescriptorA(
            Descriptor, SDDL_REVISION_1, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
            &Back, nullptr));
        EXPECT_STREQ(Elevated ? "O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)"
                              : "D:P(A;OICI;FA;;;S-1-5-21-1-2-3-1000)(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)",
                     Back);
        LocalFree(Back);
        LocalFree(Descriptor);
    }
}

}   // namespace
