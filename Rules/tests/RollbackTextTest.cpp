#include "Rules/RollbackText.h"

#include <gtest/gtest.h>

namespace {

// Every field comes back as it was written, whatever bytes it holds: a value's data may hold
// tabs, line ends, NULs and backslashes, and a path a kept name beside it.
TEST(JournalLine, FieldsComeBackWhateverTheyHold)
{
    using namespace std::string_literals;
    const std::string Data = "a\tb\r\nc\\d\0e\\\\"s;
    std::string Text = std::string(JournalHead) + "\r\n" +
                       JournalLine(jkValue, {"HKLM", "Software\\x", "Name", "1", "7", Data}) +
                       JournalLine(jkKept, {"C:\\A\\b.dll", "C:\\A\\~setupkv00010001.kept"}) +
                       JournalLine(jkFolder, {"C:\\A"}) + JournalLine(jkKeep, {""});
    std::vector<TJournalRecord> Records = JournalRecords(Text);
    // The last one, the word that a run ended kept, must be read back too: without it the next
    // run would undo a run killed while it dropped its kept files, with some of them gone.
    ASSERT_EQ(4u, Records.size());
    EXPECT_EQ(jkKeep, Records[3].Kind);
    EXPECT_EQ(jkValue, Records[0].Kind);
    EXPECT_EQ(Data, Records[0].Fields[5]);
    EXPECT_EQ("Software\\x", Records[0].Fields[1]);
    EXPECT_EQ("C:\\A\\~setupkv00010001.kept", Records[1].Fields[1]);
    EXPECT_EQ("C:\\A", Records[2].Fields[0]);
}

// A run killed while it wrote leaves a last line cut short; a line that is no record of ours is
// never followed.
TEST(JournalLine, CutOrForeignLinesAreNoRecords)
{
    const char* const Bad[] = {
        "D",                 // no fields
        "D\tC:\\A\tC:\\B",   // a field too many for its kind
        "K\tC:\\A",          // one too few
        "Z\tC:\\A",          // an unknown kind
        "N\tC:\\A\\q",       // an escape that is none
        "N\tC:\\A\\",        // a backslash at the end
    };
    TJournalRecord Record;
    for (const char* Line : Bad)
        EXPECT_FALSE(ParseJournalLine(Line, Record)) << Line;
    std::string Cut = std::string(JournalHead) + "\r\n" + JournalLine(jkNewFile, {"C:\\A\\one"}) +
                      JournalLine(jkNewFile, {"C:\\A\\two"}).substr(0, 8);
    EXPECT_EQ(1u, JournalRecords(Cut).size());
}

TEST(JournalNames, OnlyOurFormsAreTaken)
{
    char Name[JournalDirNameSize];
    JournalDirName(0x0123456789abcdefULL, Name);
    EXPECT_STREQ("~setupkvj0123456789abcdef", Name);
    EXPECT_TRUE(IsJournalDirName("~SETUPKVJ0123456789ABCDEF"));
    EXPECT_FALSE(IsJournalDirName("~setupkvb0123456789abcdef"));   // a bundle's folder
    EXPECT_FALSE(IsJournalDirName("~setupkvj0123456789abcde"));
    EXPECT_FALSE(IsJournalDirName("~setupkvj0123456789abcdeg"));
    EXPECT_TRUE(IsKeptFileName(KeptFileName(0x1234, 7)));
    EXPECT_FALSE(IsKeptFileName("~setupkv00010001.tmp"));   // a temporary file is no kept one
    EXPECT_FALSE(IsKeptFileName("~setupkv0001000.kept"));
}

TEST(RollbackWords, CountsAndNumbers)
{
    EXPECT_EQ("Rollback: undoing 1 change", RollbackStartLine(1));
    EXPECT_EQ("Rollback: the machine was left as it was", RollbackEndLine(0));
    EXPECT_EQ("Rollback: 2 changes could not be undone", RollbackEndLine(2));
    EXPECT_EQ("The machine was left as it was.", RollbackReport(0));
    unsigned long Value = 0;
    EXPECT_EQ("0", HexNumber(0));
    EXPECT_TRUE(ParseHexNumber(HexNumber(0x80000020), Value));
    EXPECT_EQ(0x80000020ul, Value);
    EXPECT_FALSE(ParseHexNumber("", Value));
    EXPECT_FALSE(ParseHexNumber("123456789", Value));
    EXPECT_FALSE(ParseHexNumber("-1", Value));
}

}   // namespace
