#include "Setup/base/HeldTree.h"

#include <windows.h>

#include <sddl.h>

#include <gtest/gtest.h>

#include <string>

#include "Rules/BundleText.h"

namespace {

// A folder of the test's own in the temporary folder, with a subfolder "b"; Temp holds the
// temporary folder for listing.
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
        CreateDirectoryA(Base.c_str(), nullptr);
        CreateDirectoryA((Base + "\\b").c_str(), nullptr);
        Temp = OpenListing(Path, Serial);
        ASSERT_NE(INVALID_HANDLE_VALUE, Temp);
    }
    void TearDown() override
    {
        CloseHandle(Temp);
        RemoveDirectoryA((Base + "\\b").c_str());
        RemoveDirectoryA(Base.c_str());
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
};

// What is opened must be what the listing showed: another folder under the name (a swap), a link,
// a file where a folder was listed, another volume: nothing is opened. What is, is held: no one
// else may rename it meanwhile.
TEST_F(HeldTreeTest, OpensOnlyWhatTheListingShowed)
{
    const LONGLONG Id = IdOf(Base);
    const DWORD Folder = FILE_ATTRIBUTE_DIRECTORY;
    const struct {
        const char* What;
        LONGLONG Id;
        DWORD Attributes, Serial;
        bool Opens;
    } Cases[] = {
        {"another folder's number", IdOf(Base + "\\b"), Folder, Serial, false},
        {"a link", Id, Folder | FILE_ATTRIBUTE_REPARSE_POINT, Serial, false},
        {"a file", Id, FILE_ATTRIBUTE_NORMAL, Serial, false},
        {"another volume", Id, Folder, Serial + 1, false},
        {"the folder listed", Id, Folder, Serial, true},
    };
    std::wstring Wide(Name.begin(), Name.end());
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.What);
        THeldEntry Entry = {Wide.c_str(), ULONG(Wide.size() * sizeof(wchar_t)), Case.Attributes,
                            Case.Id};
        HANDLE Held = OpenListed(Temp, Entry, Case.Serial);
        EXPECT_EQ(Case.Opens, Held != INVALID_HANDLE_VALUE);
        if (Held != INVALID_HANDLE_VALUE) {
            EXPECT_FALSE(MoveFileA(Base.c_str(), (Base + "x").c_str()));
            CloseHandle(Held);
        }
    }
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
        EXPECT_STREQ(Elevated
                         ? "O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)"
                         : "D:P(A;OICI;FA;;;S-1-5-21-1-2-3-1000)(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)",
                     Back);
        LocalFree(Back);
        LocalFree(Descriptor);
    }
}

}   // namespace
