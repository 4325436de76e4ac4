// Fuzz target: [Files] keys, file heads and versions, checked against plain readings of the rules;
// the copy decision between two files, its texts, and the temporary and device names.
#include "Rules/FilesText.h"

#include <cstdint>
#include <string>
#include <vector>

#include "Rules/PathParts.h"
#include "fuzz/FuzzInput.h"

// The key is rebuilt from its parts: nothing but one "/s" may get lost.
static void CheckKey(const std::string& Key)
{
    TFilesKey Parts = SplitFilesKey(Key);
    std::string Stem = Key;
    if (Parts.Recursive) {
        Check(Key.size() >= 2 && Key[Key.size() - 2] == '/' &&
                  (Key.back() == 's' || Key.back() == 'S'),
              "recursive only with /s");
        Stem.resize(Key.size() - 2);
    }
    Check(Parts.Pattern.find('\\') == std::string::npos, "pattern without backslash");
    bool Split = Stem.find('\\') != std::string::npos;
    Check(Stem == (Split ? Parts.SubDir + "\\" + Parts.Pattern : Parts.Pattern),
          "parts rebuild key");
}

static bool StartsWith(const std::string& Text, const std::string& Head)
{
    return Text.compare(0, Head.size(), Head) == 0;
}

static bool EndsWith(const std::string& Text, const std::string& Tail)
{
    return Text.size() >= Tail.size() &&
           Text.compare(Text.size() - Tail.size(), Tail.size(), Tail) == 0;
}

static void CheckPaths(const std::string& Dir, const std::string& B)
{
    std::string Name = FileNamePart(B);
    Check(Name.find('\\') == std::string::npos && EndsWith(B, Name), "the name ends the path");
    Check(Name.size() == B.size() || B[B.size() - Name.size() - 1] == '\\', "after a backslash");
    std::string Target = BackupTarget(Dir, B);
    Check(StartsWith(Target, Dir) && EndsWith(Target, "\\" + Name), "Dir, a backslash, the name");
    Check(Target.size() <= Dir.size() + 1 + Name.size(), "no backslash doubled");
}

// Of two files, at most one is kept over the other, and exactly one when their versions (or,
// without versions, their dates) differ.
static void CheckPlan(const TFileFacts& New, const TFileFacts& Old, const std::string& B,
                      const std::string& Dir)
{
    TCopyPlan Plan = PlanCopy(New, Old);
    TCopyPlan Reverse = PlanCopy(Old, New);
    Check(Plan.Conflict != cfVersion || (New.Value > 0 && Old.Value > 0), "versions on both");
    Check(Plan.Conflict != cfDate || (New.Value <= 0 && !Old.DateText.empty()), "a date to keep");
    Check(Plan.LabelA == (New.Value > 0 ? New.VersionText : New.DateText), "the new file's label");
    Check(Plan.LangA.empty() || New.Value > 0, "a language only beside a version");
    if (New.Value > 0 && Old.Value > 0) {
        int Order = CompareVersions(New.Version, Old.Version);
        Check((Plan.Conflict != cfNone) == (Order < 0), "the older version is the conflict");
        Check((Reverse.Conflict != cfNone) == (Order > 0), "and the other way round");
    }
    if (New.Value <= 0 && Old.Value <= 0 && !New.DateText.empty() && !Old.DateText.empty())
        Check(int(Plan.Conflict != cfNone) + int(Reverse.Conflict != cfNone) ==
                  int(New.WriteTime != Old.WriteTime),
              "one of two different dates is the newer");

    if (Plan.Conflict != cfNone) {
        std::string Message = ConflictMessage(B, Plan);
        Check(Message.find("\"" + B + "\"") != std::string::npos &&
                  Message.find(Plan.LabelA) != std::string::npos &&
                  Message.find(Plan.LabelB) != std::string::npos,
              "the question names the file and both labels");
    }
    std::string NewLabel = Plan.LabelA + " " + Plan.LangA;
    std::string Kept = OutcomeLine(B, Plan, false);
    Check(StartsWith(Kept, B + "\t") && EndsWith(Kept, " not replaced by " + NewLabel), "kept");
    std::string Copied = OutcomeLine(B, Plan, true);
    Check(StartsWith(Copied, B + "\t") &&
              (EndsWith(Copied, " refreshed") || EndsWith(Copied, " created") ||
               EndsWith(Copied, " replaced by " + NewLabel)),
          "copied");
    Check(StartsWith(BackupLine(B, Plan, Dir, true), B + "\t" + NewLabel) &&
              EndsWith(BackupLine(B, Plan, Dir, true), " backed up to " + Dir) &&
              EndsWith(BackupLine(B, Plan, Dir, false), " failed!"),
          "backup lines");
}

static void CheckNames(uint32_t ProcessId, uint32_t Count, const std::string& Name)
{
    std::string Temp = TempFileName(ProcessId, Count);
    Check(Temp.size() == 20 && IsTempFileName(Temp) && IsTempFileName(UpperAscii(Temp)),
          "a temporary name is known as one in any case");
    Check(!IsDeviceName(Temp), "a temporary name is no device");
    Check(TempFileName(ProcessId, Count + 1) != Temp, "another count, another name");
    Check(IsTempFileName(Name) == IsTempFileName(UpperAscii(Name)), "letter case does not count");
    Check(!IsTempFileName(Name) || Name.size() == 20 || Name.size() == 28,
          "eight or sixteen digits between prefix and suffix");

    bool Device = IsDeviceName(Name);
    Check(IsDeviceName(UpperAscii(Name)) == Device, "a device in any case");
    Check(IsDeviceName(Name + ".txt") == Device, "an extension does not count");
    if (Name.find('.') == std::string::npos)
        Check(IsDeviceName(Name + " .txt") == Device, "nor do blanks before it");
    size_t Base = Name.substr(0, Name.find('.')).find_last_not_of(' ') + 1;
    Check(!Device || Base == 3 || Base == 4, "a device has three or four letters");

    std::string Line = CopyFailedLine(Name, Temp, Count, Name);
    Check(StartsWith(Line, "Error: can't copy " + Name + " to " + Temp + ": Error ") &&
              EndsWith(Line, ", " + Name),
          "the box's words, the code and the reason");
}

static uint64_t Packed(const TVersionNumbers& V)
{
    return uint64_t(V.Major) << 48 | uint64_t(V.Minor) << 32 | uint64_t(V.Release) << 16 | V.Build;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    std::string Text(reinterpret_cast<const char*>(Data), Size);
    CheckKey(Text);

    // Exactly Size bytes on the heap, so that a read beyond them is reported.
    std::vector<char> Head(Data, Data + Size);
    bool May = MayHoldVersion(Size ? Head.data() : nullptr, Size);
    Check(!May || (Size >= 2 && Head[1] == 'Z'), "version only after MZ or SZ");

    if (Size >= 16) {
        auto Word = [&](size_t At) { return uint16_t(Data[At] | Data[At + 1] << 8); };
        TVersionNumbers A = {Word(0), Word(2), Word(4), Word(6)};
        TVersionNumbers B = {Word(8), Word(10), Word(12), Word(14)};
        int Order = CompareVersions(A, B);
        Check(Order == -CompareVersions(B, A), "antisymmetric");
        Check(Order == (Packed(A) < Packed(B)   ? -1
                        : Packed(A) > Packed(B) ? 1
                                                : 0),
              "orders like the packed number");
    }

    TFuzzBytes In = {Data, Size};
    TFileFacts Facts[2];
    for (TFileFacts& File : Facts) {
        uint32_t Kind = TakeNumber(In, 1);
        File.Value = Kind % 3 == 0 ? -1 : Kind % 3 == 1 ? 0 : 1 + TakeNumber(In, 4);
        File.Version = {uint16_t(TakeNumber(In, 2)), uint16_t(TakeNumber(In, 2)),
                        uint16_t(TakeNumber(In, 2)), uint16_t(TakeNumber(In, 2))};
        File.WriteTime = int64_t(TakeNumber(In, 4)) - 0x7fffffff;
    }
    uint32_t ProcessId = TakeNumber(In, 4);
    uint32_t Count = TakeNumber(In, 4);
    std::vector<std::string> Fields = TakeFields(In, 8);
    for (int I = 0; I < 2; ++I) {
        Facts[I].VersionText = Fields[3 * I];
        Facts[I].Translation = Fields[3 * I + 1];
        Facts[I].DateText = Fields[3 * I + 2];
    }
    CheckPaths(Fields[6], Fields[7]);
    CheckPlan(Facts[0], Facts[1], Fields[7], Fields[6]);
    CheckNames(ProcessId, Count, Fields[7]);
    return 0;
}
