#include "Rules/FilesText.h"

#include <algorithm>

#include "Rules/CaseText.h"
#include "Rules/PathParts.h"

TFilesKey SplitFilesKey(const std::string& Key)
{
    TFilesKey Result;
    std::string Rest = Key;
    size_t Size = Rest.size();
    Result.Recursive =
        Size >= 2 && Rest[Size - 2] == '/' && (Rest[Size - 1] == 's' || Rest[Size - 1] == 'S');
    if (Result.Recursive)
        Rest.resize(Size - 2);
    size_t Slash = Rest.rfind('\\');
    if (Slash == std::string::npos) {
        Result.Pattern = Rest;
    } else {
        Result.SubDir = Rest.substr(0, Slash);
        Result.Pattern = Rest.substr(Slash + 1);
    }
    return Result;
}

bool IsLiteralName(const std::string& Pattern)
{
    return !Pattern.empty() && Pattern.find_first_of("*?<>\"") == std::string::npos &&
           Pattern.back() != '.' && Pattern.back() != ' ';
}

// Orders names as the index compares them: A-Z folded, every other byte as it is.
static bool NameBefore(const std::string& A, const std::string& B)
{
    size_t Common = A.size() < B.size() ? A.size() : B.size();
    for (size_t I = 0; I < Common; ++I) {
        unsigned char X = FoldedChar(A[I]), Y = FoldedChar(B[I]);
        if (X != Y)
            return X < Y;
    }
    return A.size() < B.size();
}

void TNameIndex::Add(const std::string& Name, uint32_t Attributes, uint64_t Size)
{
    Entries.push_back({Name, Attributes, Size});
}

void TNameIndex::Seal()
{
    std::sort(Entries.begin(), Entries.end(),
              [](const TEntry& A, const TEntry& B) { return NameBefore(A.Name, B.Name); });
}

const TNameIndex::TEntry* TNameIndex::Find(const std::string& Name) const
{
    auto At = std::lower_bound(
        Entries.begin(), Entries.end(), Name,
        [](const TEntry& Entry, const std::string& Key) { return NameBefore(Entry.Name, Key); });
    if (At == Entries.end() || NameBefore(Name, At->Name))
        return nullptr;
    return &*At;
}

std::string TempFileName(uint32_t ProcessId, uint32_t Count)
{
    // Short, as the temporary name must fit where the final one does: eight digits of both
    // numbers together. Names that meet are no harm: the file is created only where none is.
    static const char Digits[] = "0123456789abcdef";
    uint32_t Value = (ProcessId << 16) ^ Count;
    std::string Name = TempPrefix;
    for (int Shift = 28; Shift >= 0; Shift -= 4)
        Name += Digits[(Value >> Shift) & 15];
    return Name + TempSuffix;
}

static bool IsHexDigit(char C)
{
    return (C >= '0' && C <= '9') || (FoldedChar(C) >= 'A' && FoldedChar(C) <= 'F');
}

bool IsTempFileName(const std::string& Name)
{
    size_t Prefix = std::string(TempPrefix).size(), Suffix = std::string(TempSuffix).size();
    if (Name.size() != Prefix + 8 + Suffix && Name.size() != Prefix + 16 + Suffix)
        return false;
    size_t DigitsEnd = Name.size() - Suffix;
    for (size_t At = Prefix; At < DigitsEnd; ++At)
        if (!IsHexDigit(Name[At]))
            return false;
    return SameText(Name.substr(0, Prefix), TempPrefix) &&
           SameText(Name.substr(DigitsEnd), TempSuffix);
}

std::string BeforeExtension(const std::string& Name, const std::string& Insert)
{
    size_t Dot = Name.rfind('.');
    if (Dot == std::string::npos || Dot == 0)
        Dot = Name.size();
    return Name.substr(0, Dot) + Insert + Name.substr(Dot);
}

std::string NumberedName(const std::string& Name, uint32_t ProcessId, uint32_t Try)
{
    std::string Number = "-" + std::to_string(ProcessId);
    if (Try > 0)
        Number += "-" + std::to_string(Try);
    return BeforeExtension(Name, Number);
}

bool IsDeviceName(const std::string& Name)
{
    // The base name counts: everything before the first dot, without trailing blanks.
    std::string Base = Name.substr(0, Name.find('.'));
    while (!Base.empty() && Base.back() == ' ')
        Base.pop_back();
    if (Base.size() == 3)
        return SameText(Base, "CON") || SameText(Base, "PRN") || SameText(Base, "AUX") ||
               SameText(Base, "NUL");
    if (Base.size() < 4 ||
        (!SameText(Base.substr(0, 3), "COM") && !SameText(Base.substr(0, 3), "LPT")))
        return false;
    std::string Digit = Base.substr(3);
    // Windows takes the superscript digits one to three for ports as well: as the ANSI byte
    // of the Western code page or as UTF-8, however the name came to us.
    return (Digit.size() == 1 && Digit[0] >= '1' && Digit[0] <= '9') || Digit == "\xB9" ||
           Digit == "\xB2" || Digit == "\xB3" || Digit == "\xC2\xB9" || Digit == "\xC2\xB2" ||
           Digit == "\xC2\xB3";
}

std::string CopyFailedLine(const std::string& A, const std::string& B, unsigned long Code,
                           const std::string& Reason)
{
    return "Error: can't copy " + A + " to " + B + ": Error " + std::to_string(Code) + ", " +
           Reason;
}

bool MayHoldVersion(const char* Head, size_t Size)
{
    return Size >= 2 && Head[1] == 'Z' && (Head[0] == 'M' || Head[0] == 'S');
}

int CompareVersions(const TVersionNumbers& A, const TVersionNumbers& B)
{
    const uint16_t PartsA[] = {A.Major, A.Minor, A.Release, A.Build};
    const uint16_t PartsB[] = {B.Major, B.Minor, B.Release, B.Build};
    for (int Part = 0; Part < 4; ++Part) {
        if (PartsA[Part] != PartsB[Part])
            return PartsA[Part] < PartsB[Part] ? -1 : 1;
    }
    return 0;
}

TCopyPlan PlanCopy(const TFileFacts& New, const TFileFacts& Old)
{
    TCopyPlan Plan;
    Plan.Conflict = cfNone;
    // A translation counts only beside a real version; 0.0.0.0 is none.
    Plan.LangA = New.Value > 0 ? New.Translation : "";
    Plan.LangB = Old.Value > 0 ? Old.Translation : "";
    if (New.Value > 0) {
        Plan.LabelA = New.VersionText;
        Plan.LabelB = Old.VersionText;
        // A system file without a version of its own can't be newer than a versioned one.
        if (Old.Value > 0 && CompareVersions(New.Version, Old.Version) < 0)
            Plan.Conflict = cfVersion;
        return Plan;
    }
    // The new file has no version: dates decide, and a system file whose date can't be read
    // (missing, or being written by someone) is simply replaced.
    Plan.LabelA = New.DateText;
    Plan.LabelB = Old.DateText;
    if (!Old.DateText.empty() && New.WriteTime < Old.WriteTime)
        Plan.Conflict = cfDate;
    return Plan;
}

std::string ConflictMessage(const std::string& B, const TCopyPlan& Plan)
{
    if (Plan.Conflict == cfVersion)
        return "The file \"" + B + "\" in your system has the version " + Plan.LabelB +
               " and you tried to install version " + Plan.LabelA + ", you should skip!";
    return "The file \"" + B + "\" in your system has the Date " + Plan.LabelB +
           " and you tried to install a file dated " + Plan.LabelA + ", you should skip!";
}

// The blank between a label and its language is written also when the language is empty.
static std::string Labelled(const std::string& Label, const std::string& Lang)
{
    return Label + " " + Lang;
}

bool IsRefresh(const TCopyPlan& Plan)
{
    return Plan.LabelA == Plan.LabelB && Plan.LangA == Plan.LangB;
}

std::string OutcomeLine(const std::string& B, const TCopyPlan& Plan, bool Copied)
{
    std::string New = Labelled(Plan.LabelA, Plan.LangA);
    std::string Old = Labelled(Plan.LabelB, Plan.LangB);
    if (!Copied)
        return B + "\t" + Old + " not replaced by " + New;
    if (IsRefresh(Plan))
        return B + "\t" + New + " refreshed";
    if (Plan.LabelB.empty())
        return B + "\t" + New + " created";
    return B + "\t" + Old + " replaced by " + New;
}

std::string BackupLine(const std::string& B, const TCopyPlan& Plan, const std::string& Dir,
                       bool Done)
{
    // Both lines carry the new file's label. Log readers match "backeup" as it is: keep it.
    std::string Head = B + "\t" + Labelled(Plan.LabelA, Plan.LangA);
    return Done ? Head + " backed up to " + Dir : Head + " backeup to " + Dir + " failed!";
}

std::string BackupTarget(const std::string& Dir, const std::string& B)
{
    std::string Target = Dir;
    if (Target.empty() || Target.back() != '\\')
        Target += '\\';
    return Target + FileNamePart(B);
}
