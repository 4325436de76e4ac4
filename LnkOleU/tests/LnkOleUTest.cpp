// CreateShellLink: each link is written into a folder of the test's own and read back through
// the shell's link object.
#include "LnkOleU/LnkOleU.h"

#include <windows.h>

#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>

namespace {

// What a link file holds, as the shell's link object reads it back.
struct TLinkFields {
    HRESULT Loaded = E_FAIL;
    std::string Target, Arguments, WorkDir, IconFile;
    int IconIndex = -1;
};

TLinkFields ReadLink(const std::string& Path)
{
    TLinkFields Fields;
    IShellLinkA* Link = nullptr;
    if (CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                         reinterpret_cast<void**>(&Link)) != S_OK)
        return Fields;
    IPersistFile* File = nullptr;
    if (Link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&File)) == S_OK) {
        WCHAR Wide[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, Path.c_str(), -1, Wide, MAX_PATH);
        Fields.Loaded = File->Load(Wide, STGM_READ);
        File->Release();
    }
    if (Fields.Loaded == S_OK) {
        char Text[1024];
        Text[0] = 0;
        Link->GetPath(Text, sizeof Text, nullptr, SLGP_RAWPATH);
        Fields.Target = Text;
        Text[0] = 0;
        Link->GetArguments(Text, sizeof Text);
        Fields.Arguments = Text;
        Text[0] = 0;
        Link->GetWorkingDirectory(Text, sizeof Text);
        Fields.WorkDir = Text;
        Text[0] = 0;
        Link->GetIconLocation(Text, sizeof Text, &Fields.IconIndex);
        Fields.IconFile = Text;
    }
    Link->Release();
    return Fields;
}

bool FileExists(const std::string& Path)
{
    return GetFileAttributesA(Path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A folder of the test's own below %TEMP%, removed with its files afterwards; Target is an
// existing file to link to.
struct CreateShellLinkTest : ::testing::Test {
    std::string Dir;
    std::string Target;

    void SetUp() override
    {
        CoInitialize(nullptr);
        char Temp[MAX_PATH + 1];
        GetTempPathA(sizeof Temp, Temp);
        const ::testing::TestInfo* Info = ::testing::UnitTest::GetInstance()->current_test_info();
        Dir = std::string(Temp) + "LnkOleU." + Info->name() + "." +
              std::to_string(GetCurrentProcessId());
        ASSERT_TRUE(CreateDirectoryA(Dir.c_str(), nullptr)) << Dir;
        Target = Dir + "\\Tool.exe";
        char Own[MAX_PATH + 1];
        GetModuleFileNameA(nullptr, Own, sizeof Own);
        ASSERT_TRUE(CopyFileA(Own, Target.c_str(), FALSE));
    }
    void TearDown() override
    {
        WIN32_FIND_DATAA Found;
        HANDLE Search = FindFirstFileA((Dir + "\\*").c_str(), &Found);
        if (Search != INVALID_HANDLE_VALUE) {
            do
                DeleteFileA((Dir + "\\" + Found.cFileName).c_str());
            while (FindNextFileA(Search, &Found));
            FindClose(Search);
        }
        RemoveDirectoryA(Dir.c_str());
    }
};

TEST_F(CreateShellLinkTest, EveryFieldReadsBackAndReplacesAnEarlierLink)
{
    std::string Link = Dir + "\\Every.LNK";
    ASSERT_EQ(0, CreateShellLink(Target.c_str(), "earlier", "", "", 0, Link.c_str()));
    ASSERT_EQ(0, CreateShellLink(Target.c_str(), "/a \"b c\"", Dir.c_str(), Target.c_str(), 3,
                                 Link.c_str()));
    TLinkFields Fields = ReadLink(Link);
    ASSERT_EQ(S_OK, Fields.Loaded);
    EXPECT_EQ(Target, Fields.Target);
    EXPECT_EQ("/a \"b c\"", Fields.Arguments);
    EXPECT_EQ(Dir, Fields.WorkDir);
    EXPECT_EQ(Target, Fields.IconFile);
    EXPECT_EQ(3, Fields.IconIndex);
}

TEST_F(CreateShellLinkTest, EmptyArgumentsIconAndWorkingDirectoryGiveNone)
{
    std::string Link = Dir + "\\Bare.LNK";
    ASSERT_EQ(0, CreateShellLink(Target.c_str(), "", "", "", 7, Link.c_str()));
    TLinkFields Fields = ReadLink(Link);
    ASSERT_EQ(S_OK, Fields.Loaded);
    EXPECT_EQ(Target, Fields.Target);
    EXPECT_EQ("", Fields.Arguments);
    EXPECT_EQ("", Fields.WorkDir);
    EXPECT_EQ("", Fields.IconFile);
    EXPECT_EQ(0, Fields.IconIndex);   // the index goes only with an icon file
}

// 260 UTF-16 units hold a path of 259 characters and its NUL.
TEST_F(CreateShellLinkTest, PathOf259CharactersFitsAnd260DoNot)
{
    for (size_t Length : {259u, 260u, 300u}) {
        SCOPED_TRACE(Length);
        std::string Link = Dir + "\\";
        ASSERT_LT(Link.size() + 5, Length);
        Link += std::string(Length - Link.size() - 4, 'x') + ".LNK";
        ASSERT_EQ(Length, Link.size());
        int32_t Code = CreateShellLink(Target.c_str(), "", "", "", 0, Link.c_str());
        if (Length < MAX_PATH) {
            EXPECT_EQ(0, Code);
            EXPECT_TRUE(FileExists(Link));
        } else {
            EXPECT_EQ(-1, Code);
            EXPECT_FALSE(FileExists(Link));
        }
    }
}

TEST_F(CreateShellLinkTest, MissingFolderFailsWithTheSaveCode)
{
    std::string Link = Dir + "\\Missing\\Link.LNK";
    int32_t Code = CreateShellLink(Target.c_str(), "", "", "", 0, Link.c_str());
    EXPECT_LT(Code, 0) << std::hex << Code;   // a failure HRESULT, not -1's path case
    EXPECT_NE(-1, Code);
    EXPECT_FALSE(FileExists(Link));
}

// The shell answers S_FALSE to a target that does not exist: a success code, yet no link.
TEST_F(CreateShellLinkTest, SuccessCodeOtherThanOkStopsBeforeTheSave)
{
    std::string Link = Dir + "\\NoTarget.LNK";
    int32_t Code = CreateShellLink((Dir + "\\NoSuch.exe").c_str(), "", "", "", 0, Link.c_str());
    EXPECT_EQ(S_FALSE, Code);
    EXPECT_FALSE(FileExists(Link));
}

}   // namespace
