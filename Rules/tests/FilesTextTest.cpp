#include "Rules/FilesText.h"

#include <gtest/gtest.h>

namespace {

TEST(SplitFilesKey, SubdirectoryPatternAndRecursiveMark)
{
    const struct {
        const char* Key;
        const char* SubDir;
        const char* Pattern;
        bool Recursive;
    } Cases[] = {
        {"readme.txt", "", "readme.txt", false},
        {"bin\\*.dll", "bin", "*.dll", false},
        {"\\setup.ini", "", "setup.ini", false},         // only a leading backslash: the INF's own
        {"data\\sub\\*.*", "data\\sub", "*.*", false},   // directory; else up to the last one
        {"bin\\*.dll/s", "bin", "*.dll", true},
        {"bin\\*.dll/S", "bin", "*.dll", true},
        {"bin\\*.dll /s", "bin", "*.dll ", true},   // nothing else is trimmed
        {"a.txt/s/s", "", "a.txt/s", true},         // one mark is taken, no more
        {"bin\\s", "bin", "s", false},
        {"/s", "", "", true},
        {"bin\\", "bin", "", false},
        {"", "", "", false},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Key);
        TFilesKey Key = SplitFilesKey(Case.Key);
        EXPECT_EQ(Case.SubDir, Key.SubDir);
        EXPECT_EQ(Case.Pattern, Key.Pattern);
        EXPECT_EQ(Case.Recursive, Key.Recursive);
    }
}

TEST(TNameIndex, FindsANameInAnyLetterCaseAndNothingElse)
{
    for (const char* Pattern : {"*.dll", "a?.txt", "a<", "a>", "\"a", "a.txt.", "a ", ""})
        EXPECT_FALSE(IsLiteralName(Pattern)) << Pattern;
    EXPECT_TRUE(IsLiteralName("Read Me.txt"));

    TNameIndex Index;
    for (const char* Name : {"b.txt", "A.TXT", "readme", "README.TXT", "\xc4rger.txt", "a.txt1"})
        Index.Add(Name, 7);
    Index.Seal();
    const struct {
        const char* Asked;
        const char* Found;   // nullptr: not in the index
    } Cases[] = {
        {"a.txt", "A.TXT"},
        {"Readme.Txt", "README.TXT"},
        {"README", "readme"},
        {"\xc4rger.txt", "\xc4rger.txt"},
        {"\xe4rger.txt", nullptr},   // only A-Z are folded
        {"a.tx", nullptr},
        {"a.txt ", nullptr},
        {"", nullptr},
    };
    for (const auto& Case : Cases) {
        const TNameIndex::TEntry* Entry = Index.Find(Case.Asked);
        EXPECT_EQ(Case.Found != nullptr, Entry != nullptr) << Case.Asked;
        if (Entry && Case.Found) {
            EXPECT_EQ(Case.Found, Entry->Name);
        }
    }
}

TEST(TempFileName, ItsOwnNamesAreKnownAgainAndNoOthers)
{
    EXPECT_EQ("~setupkv04d20007.tmp", TempFileName(1234, 7));
    EXPECT_TRUE(IsTempFileName(TempFileName(0, 0)));
    const struct {
        const char* Name;
        bool Temp;
    } Cases[] = {
        {"~SETUPKV000004D200000001.TMP", true},   // names compare without regard to case
        {"~setupkv04d20007.tmp", true},
        {"~SetupKv04D2fFfF.Tmp", true},
        {"~setupkv.tmp", false},   // only our own names are leftovers
        {"~setupkv my notes.tmp", false},
        {"~setupkv04d2000.tmp", false},   // 7, 9, 15 and 17 digits
        {"~setupkv04d200071.tmp", false},
        {"~setupkv000004d20000000.tmp", false},
        {"~setupkv000004d2000000011.tmp", false},
        {"~setupkv04d2000g.tmp", false},
        {"~setupkv04d2 007.tmp", false},
        {"~setupkv04d20007.tmp ", false},
        {"~setupkv.tm", false},
        {"~setupk.tmp", false},
        {"x~setupkv1.tmp", false},
        {"~setupkv1.tmp.txt", false},
        {"", false},
    };
    for (const auto& Case : Cases)
        EXPECT_EQ(Case.Temp, IsTempFileName(Case.Name)) << Case.Name;
}

TEST(NumberedName, NumberGoesBeforeTheExtension)
{
    EXPECT_EQ("LOGFILKV-1234.LOG", NumberedName("LOGFILKV.LOG", 1234, 0));
    EXPECT_EQ("LOGFILKV-1234-2.LOG", NumberedName("LOGFILKV.LOG", 1234, 2));
    EXPECT_EQ("a.b-7.c", NumberedName("a.b.c", 7, 0));
    EXPECT_EQ("LOG-7", NumberedName("LOG", 7, 0));
}

TEST(IsDeviceName, DevicesWithAndWithoutExtension)
{
    // The superscript digits as the Western code page's bytes and as UTF-8.
    for (const char* Device :
         {"CON", "con", "PRN", "AUX", "NUL", "nul.txt", "COM1", "com9.log", "LPT1", "CON .x",
          "NUL.tar.gz", "COM\xB9", "com\xB2.txt", "LPT\xB3 .x", "COM\xC2\xB9", "lpt\xC2\xB2.log"})
        EXPECT_TRUE(IsDeviceName(Device)) << Device;
    for (const char* File :
         {"CONS", "CO", "COM", "COM0", "COMA", "LPT10", "xNUL", "a.CON", "", ".con", "console.txt",
          "COM\xB4", "COM\xC2\xB4", "COM\xC2", "COM\xB9\xB9", "COM\xC2\xB9x"})
        EXPECT_FALSE(IsDeviceName(File)) << File;
}

TEST(MayHoldVersion, OnlyImagesAndCompressedFiles)
{
    const struct {
        const char* Head;
        size_t Size;
        bool May;
    } Cases[] = {
        {"MZ", 2, true},  {"SZ", 2, true},   // an image; "SZDD", a compressed file
        {"ZM", 2, false}, {"mz", 2, false}, {"PK", 2, false},
        {"[V", 2, false}, {"M", 1, false},  {"", 0, false},   // too short for any header
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Head);
        EXPECT_EQ(Case.May, MayHoldVersion(Case.Head, Case.Size));
    }
}

TEST(CompareVersions, EveryPartCountsInFull)
{
    const struct {
        TVersionNumbers A, B;
        int Order;
    } Cases[] = {
        {{1, 2, 0, 0}, {1, 3, 0, 0}, -1},
        {{1, 3, 0, 0}, {1, 2, 0, 0}, 1},
        {{1, 2, 3, 4}, {1, 2, 3, 4}, 0},
        // A value made by multiplying with 1000 takes these two for equal and for newer.
        {{1, 0, 1000, 0}, {1, 1, 0, 0}, -1},
        {{1, 0, 0, 1500}, {1, 0, 1, 0}, -1},
        {{2, 0, 0, 0}, {1, 65535, 65535, 65535}, 1},
        {{0, 0, 0, 65535}, {0, 0, 1, 0}, -1},
        {{65535, 65535, 65535, 65535}, {65535, 65535, 65535, 65534}, 1},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(::testing::Message() << Case.A.Major << "." << Case.A.Minor << "."
                                          << Case.A.Release << "." << Case.A.Build);
        EXPECT_EQ(Case.Order, CompareVersions(Case.A, Case.B));
        EXPECT_EQ(-Case.Order, CompareVersions(Case.B, Case.A));
    }
}

TFileFacts Versioned(uint16_t Major, uint16_t Minor, uint16_t Release, uint16_t Build,
                     const char* Text, const char* Translation = "04E40409")
{
    // The value as the version reader computes it; the decision must not rely on it.
    int64_t Value = ((Major * 1000LL + Minor) * 1000 + Release) * 1000 + Build;
    return {Value, {Major, Minor, Release, Build}, Text, Translation, "1.6.2020 12:00:00", 1500};
}

TFileFacts Dated(const char* Date, int64_t Time)
{
    return {-1, {0, 0, 0, 0}, "", "04E40409", Date, Time};   // translation kept from elsewhere
}

const TFileFacts Missing = {-1, {0, 0, 0, 0}, "", "", "", 0};

TEST(PlanCopy, DecisionTable)
{
    const TFileFacts V120 = Versioned(1, 2, 0, 0, "1.02.0000.0000");
    const TFileFacts V130 = Versioned(1, 3, 0, 0, "1.03.0000.0000");
    const TFileFacts Zero = Versioned(0, 0, 0, 0, "0.00.0000.0000");
    const TFileFacts Early = Dated("1.6.2019 12:00:00", 1000);
    const TFileFacts Late = Dated("1.6.2021 12:00:00", 2000);
    const struct {
        const char* What;
        TFileFacts New, Old;
        TConflict Conflict;
        const char *LabelA, *LangA, *LabelB, *LangB;
    } Cases[] = {
        {"older version asks", V120, V130, cfVersion, "1.02.0000.0000", "04E40409",
         "1.03.0000.0000", "04E40409"},
        {"newer version copies", V130, V120, cfNone, "1.03.0000.0000", "04E40409", "1.02.0000.0000",
         "04E40409"},
        {"equal version copies", V120, V120, cfNone, "1.02.0000.0000", "04E40409", "1.02.0000.0000",
         "04E40409"},
        {"spilling build number asks", Versioned(1, 0, 1000, 0, "1.00.1000.0000"),
         Versioned(1, 1, 0, 0, "1.01.0000.0000"), cfVersion, "1.00.1000.0000", "04E40409",
         "1.01.0000.0000", "04E40409"},
        {"over a file without version", V120, Early, cfNone, "1.02.0000.0000", "04E40409", "", ""},
        {"over nothing", V120, Missing, cfNone, "1.02.0000.0000", "04E40409", "", ""},
        {"over version 0.0.0.0", V120, Zero, cfNone, "1.02.0000.0000", "04E40409", "0.00.0000.0000",
         ""},
        // Without a version of its own the new file is compared by date, whatever the other is.
        {"earlier date asks", Early, Late, cfDate, "1.6.2019 12:00:00", "", "1.6.2021 12:00:00",
         ""},
        {"later date copies", Late, Early, cfNone, "1.6.2021 12:00:00", "", "1.6.2019 12:00:00",
         ""},
        {"equal date copies", Early, Early, cfNone, "1.6.2019 12:00:00", "", "1.6.2019 12:00:00",
         ""},
        {"date over nothing", Early, Missing, cfNone, "1.6.2019 12:00:00", "", "", ""},
        {"version 0.0.0.0 is dated", Zero, V130, cfNone, "1.6.2020 12:00:00", "",
         "1.6.2020 12:00:00", "04E40409"},
        {"dated file over a later versioned one", Early, V130, cfDate, "1.6.2019 12:00:00", "",
         "1.6.2020 12:00:00", "04E40409"},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.What);
        TCopyPlan Plan = PlanCopy(Case.New, Case.Old);
        EXPECT_EQ(Case.Conflict, Plan.Conflict);
        EXPECT_EQ(Case.LabelA, Plan.LabelA);
        EXPECT_EQ(Case.LangA, Plan.LangA);
        EXPECT_EQ(Case.LabelB, Plan.LabelB);
        EXPECT_EQ(Case.LangB, Plan.LangB);
    }
}

TEST(OutcomeLine, RefreshedOnlyWhenLabelsAndLanguagesAgree)
{
    const std::string B = "C:\\App\\a.dll";
    TCopyPlan Same = {cfNone, "1.02.0000.0000", "04E40409", "1.02.0000.0000", "04E40409"};
    EXPECT_EQ(B + "\t1.02.0000.0000 04E40409 refreshed", OutcomeLine(B, Same, true));
    Same.LangB = "04B00407";   // same version, other language: a replacement
    EXPECT_EQ(B + "\t1.02.0000.0000 04B00407 replaced by 1.02.0000.0000 04E40409",
              OutcomeLine(B, Same, true));
    // Without a label on the system there is nothing to name as replaced, whatever the language.
    TCopyPlan New = {cfNone, "1.02.0000.0000", "04E40409", "", "04E40409"};
    EXPECT_EQ(B + "\t1.02.0000.0000 04E40409 created", OutcomeLine(B, New, true));
    // Dates carry no language, but the blank before it stays.
    TCopyPlan Dates = {cfDate, "1.6.2019", "", "1.6.2021", ""};
    EXPECT_EQ(B + "\t1.6.2021  not replaced by 1.6.2019 ", OutcomeLine(B, Dates, false));
}

}   // namespace
