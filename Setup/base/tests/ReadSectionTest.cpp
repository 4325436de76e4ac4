// ReadSection must give what the profile functions give key by key, whatever the file holds:
// each case is an INI text, compared section by section against ReadKeyList and ReadProfile. The
// plan's door, which writes nothing, must read as the real one reads after the same writes.
#include "Setup/base/WinText.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace {

const char* const Texts[] = {
    // names, blanks, quotes, values with '=', lines without one, comments, duplicates
    "[S]\r\na=1\r\nb = 2 \r\nc=\"quoted\"\r\nd='single'\r\ne=\"half\r\nf=\"\r\ng=\r\nh\r\n"
    "dup=first\r\nDUP=second\r\ni=x=y\r\n  spaced key  =  v  \r\n; comment\r\nj=;not one\r\n"
    "k=\"a\" b\"\r\nl=\"'\r\ntab\t=\tv\t\r\n=no name\r\n   \r\n[Other]\r\nz=9\r\n",
    // a section twice, and one that is empty
    "[S]\r\nx=1\r\n[T]\r\ny=2\r\n[s]\r\nx=3\r\nw=4\r\n[Empty]\r\n",
    // letters beyond ASCII, LF line ends, no line end at the end
    "[S]\nKey\xC4=1\nkey\xE4=2\nlast=\"end\"",
    // comments of both kinds, a line in brackets inside the section
    "[S]\r\n;a=1\r\n#b=2\r\nc=3 ; trailing\r\n[not closed\r\nd=4\r\n",
    // quotes inside blanks, empty quotes, names that meet once trimmed, text behind a header
    "[S]\r\nq=  \"x\"  \r\nr=''\r\na =1\r\na=2\r\n[T] text\r\ny=1\r\n",
};

std::string TempIni(const std::string& Name)
{
    char Dir[MAX_PATH] = "";
    GetTempPathA(sizeof Dir, Dir);
    return std::string(Dir) + Name + "." + std::to_string(GetCurrentProcessId()) + ".ini";
}

TEST(ReadSection, GivesWhatTheProfileFunctionsGiveKeyByKey)
{
    std::string File = TempIni("ReadSectionTest");
    for (const char* Text : Texts) {
        SCOPED_TRACE(Text);
        {
            std::ofstream(File, std::ios::binary) << Text;
        }
        for (const char* Section : {"S", "s", "T", "Other", "Empty", "Missing"}) {
            SCOPED_TRACE(Section);
            std::vector<std::string> Keys = ReadKeyList(Section, File);
            std::vector<TProfileLine> Lines = ReadSection(Section, File);
            ASSERT_EQ(Keys.size(), Lines.size());
            for (size_t I = 0; I < Keys.size(); ++I) {
                EXPECT_EQ(Keys[I], Lines[I].Key);
                EXPECT_EQ(ReadProfile(Section, Keys[I].c_str(), File), Lines[I].Value) << Keys[I];
            }
        }
    }
    DeleteFileA(File.c_str());
}

// A key that is there keeps its place, a new one comes last (unlisted after a line without a
// name), a key written twice stays where it was first written, a new section comes with its keys;
// values read back trimmed and unquoted.
TEST(PlanReadEntries, GivesWhatTheRealDoorReadsAfterTheSameWrites)
{
    const TIniEntry Writes[] = {
        {"S", "b", " new b ", "", false}, {"S", "NEW", "\"quoted\"", "", false},
        {"s", "A", "2", "", false},       {"Fresh", "k", "v", "", false},
        {"S", "dup", "d", "", false},     {"S", "later", "", "", false},
        {"S", "new", "again", "", false}, {"Fresh", "first", "'1'", "", false},
    };
    for (size_t Case = 0; Case < std::size(Texts); ++Case) {
        SCOPED_TRACE(Texts[Case]);
        std::string Planned = TempIni("PlanReadEntries" + std::to_string(Case));
        std::string Real = TempIni("RealReadEntries" + std::to_string(Case));
        for (const std::string& File : {Planned, Real})
            std::ofstream(File, std::ios::binary) << Texts[Case];
        for (TIniEntry Entry : Writes) {
            Entry.File = Planned;
            EXPECT_TRUE(PlanSettingsDoor().WriteEntry(Entry));
            Entry.File = Real;
            EXPECT_TRUE(RealSettingsDoor().WriteEntry(Entry));
        }
        for (const char* Section : {"S", "Fresh", "Other", "Missing"}) {
            SCOPED_TRACE(Section);
            std::vector<TProfileLine> Want = ReadSection(Section, Real);
            std::vector<TProfileLine> Got = PlanSettingsDoor().ReadEntries(Section, Planned);
            ASSERT_EQ(Want.size(), Got.size());
            for (size_t I = 0; I < Want.size(); ++I) {
                EXPECT_EQ(Want[I].Key, Got[I].Key);
                EXPECT_EQ(Want[I].Value, Got[I].Value) << Want[I].Key;
                EXPECT_EQ(Want[I].Value,
                          PlanSettingsDoor().ReadEntry(Section, Want[I].Key.c_str(), Planned));
            }
        }
        DeleteFileA(Planned.c_str());
        DeleteFileA(Real.c_str());
    }
}

}   // namespace
