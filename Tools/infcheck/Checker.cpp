#include "Tools/infcheck/Checker.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <unordered_map>
#include <unordered_set>

#include "Rules/DriverText.h"
#include "Rules/FilesText.h"
#include "Rules/IniWriteText.h"
#include "Rules/InstallText.h"
#include "Rules/LinkText.h"
#include "Rules/RegReadText.h"
#include "Rules/RegSyntax.h"
#include "Rules/RegWriteText.h"
#include "Rules/StringsText.h"
#include "Rules/VarExpandText.h"

namespace {

// The sections that SETUP.EXE carries out, and the two that the system's INF engine always reads
// for the uninstallation. Any other section is named by one of these (ErrSection, the lists of
// the uninstall section) or is a mistake.
const char* const OwnSections[] = {
    "Version",           "Info",      "Strings",  "RegRead",          "RegWrite",       "Files",
    "RegWriteUninstall", "SetMnuLNK", "IniWrite", "DefaultUninstall", "DestinationDirs"};

// The sections whose lines are all Key=Value for SETUP.EXE.
const char* const KeyValueSections[] = {"Version",           "Info",      "Strings",
                                        "RegRead",           "RegWrite",  "Files",
                                        "RegWriteUninstall", "SetMnuLNK", "IniWrite"};

// Keys of the sections whose keys have a meaning; the keys of the other sections are names the
// author chooses. Signature and AdvancedINF are for the system's INF engines.
const char* const VersionKeys[] = {"FormKv", "ProjectVersionFile", "Signature", "AdvancedINF"};
const char* const InfoKeys[] = {"Before", "BeforeTitle", "DifferentDir", "DifferentDirTitle",
                                "URL",    "After"};
// The [Info] keys that name text files of the medium.
const char* const InfoFiles[] = {"Before", "DifferentDir", "After"};

// Variables that every Windows from XP on sets in every process.
const char* const WindowsVariables[] = {"windir",
                                        "SystemRoot",
                                        "SystemDrive",
                                        "ProgramFiles",
                                        "CommonProgramFiles",
                                        "TEMP",
                                        "TMP",
                                        "USERPROFILE",
                                        "APPDATA",
                                        "ALLUSERSPROFILE",
                                        "HOMEDRIVE",
                                        "HOMEPATH",
                                        "USERNAME",
                                        "USERDOMAIN",
                                        "COMPUTERNAME",
                                        "ComSpec",
                                        "PATH",
                                        "PATHEXT",
                                        "OS",
                                        "PROCESSOR_ARCHITECTURE",
                                        "NUMBER_OF_PROCESSORS",
                                        "PROCESSOR_IDENTIFIER",
                                        "PROCESSOR_LEVEL",
                                        "PROCESSOR_REVISION"};
// Variables of some Windows versions only: missing on XP or on a 32-bit Windows.
const char* const SomeWindowsVariables[] = {"LOCALAPPDATA",
                                            "PUBLIC",
                                            "ProgramData",
                                            "ProgramFiles(x86)",
                                            "CommonProgramFiles(x86)",
                                            "ProgramW6432",
                                            "CommonProgramW6432"};
// The variables that SETUP.EXE sets once the script is copied (step 10 of the run).
const char* const InfCopyVariables[] = {"InfPath", "ProjectVersion", "rundll", "setupx"};

// Sample values for the length checks: a Windows 7 user named "User".
const char* const SampleValues[][2] = {
    {"windir", "C:\\Windows"},
    {"SystemRoot", "C:\\Windows"},
    {"SystemDrive", "C:"},
    {"ProgramFiles", "C:\\Program Files"},
    {"CommonProgramFiles", "C:\\Program Files\\Common Files"},
    {"TEMP", "C:\\Users\\User\\AppData\\Local\\Temp"},
    {"TMP", "C:\\Users\\User\\AppData\\Local\\Temp"},
    {"USERPROFILE", "C:\\Users\\User"},
    {"APPDATA", "C:\\Users\\User\\AppData\\Roaming"},
    {"LOCALAPPDATA", "C:\\Users\\User\\AppData\\Local"},
    {"ALLUSERSPROFILE", "C:\\ProgramData"},
    {"InfPath", "C:\\Windows\\inf"},
    {"ProjectVersion", "1.00"},
    {"rundll", "rundll32"},
    {"setupx", "setupAPI"},
};
const char* const SampleProgramsMenu =
    "C:\\Users\\User\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs";

// The steps of the run that matter for variables, in their order.
enum TStep {
    stRegRead = 5,   // first pass; read again in step 11 with everything above
    stStrings = 6,   // first pass; the path dialog proposes MyProgramPath from it in step 7
    stPathDialog = 7,
    stProgramPath = 8,   // MyProgramPath set
    stInfCopy = 10,      // InfPath, ProjectVersion, rundll, setupx set
    stRegReadAgain = 11,
    stStringsAgain = 12,
    stRegWrite = 13,   // [RegWrite] and the links of its ErrSection
    stUninstallEntry = 14,
    stFiles = 16,
    stLinks = 17,   // MyStartMenu and MenuPath set just before
    stIniWrite = 18,
    stNever = 1000,
};

const std::string UninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
// The same key as a 64-bit program sees it: SETUP.EXE, a 32-bit program, writes there.
const std::string UninstallKey64 =
    "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// The directives of an uninstall section that list sections, and those of them whose sections
// list files, each in the folder that [DestinationDirs] gives the section.
const char* const ListDirectives[] = {"DelFiles",   "DelReg",
                                      "CopyFiles",  "RenFiles",
                                      "AddReg",     "UpdateInis",
                                      "RunPreSetupCommands", "RunPostSetupCommands"};
const char* const FileDirectives[] = {"DelFiles", "CopyFiles", "RenFiles"};
const char* const CommandDirectives[] = {"RunPreSetupCommands", "RunPostSetupCommands"};
// The [Version] Signature values that the system's INF engines accept.
const char* const EngineSignatures[] = {"$CHICAGO$", "$Windows NT$", "$Windows 95$"};
// How deep the checker follows a [Files] tree on the medium; a link loop must not hang it.
const int MediumDepth = 32;
// The longest path of a link file that the system writes.
const size_t LinkPathLimit = 259;

std::string Folded(const std::string& Name)
{
    std::string Out = Name;
    for (char& C : Out)
        if (C >= 'a' && C <= 'z')
            C = char(C - 'a' + 'A');
    return Out;
}

std::string Trimmed(const std::string& Text)
{
    size_t First = Text.find_first_not_of(" \t");
    if (First == std::string::npos)
        return std::string();
    return Text.substr(First, Text.find_last_not_of(" \t") - First + 1);
}

bool StartsWithText(const std::string& Text, const std::string& Head)
{
    return Text.size() >= Head.size() && SameText(Text.substr(0, Head.size()), Head);
}

// Levenshtein distance, letter case ignored, giving up beyond Limit: names are short.
size_t Distance(const std::string& A, const std::string& B, size_t Limit)
{
    if ((A.size() > B.size() ? A.size() - B.size() : B.size() - A.size()) > Limit)
        return Limit + 1;
    std::string FA = Folded(A), FB = Folded(B);
    std::vector<size_t> Row(FB.size() + 1);
    for (size_t J = 0; J <= FB.size(); ++J)
        Row[J] = J;
    for (size_t I = 1; I <= FA.size(); ++I) {
        size_t Diagonal = Row[0];
        Row[0] = I;
        for (size_t J = 1; J <= FB.size(); ++J) {
            size_t Above = Row[J];
            Row[J] = std::min({Row[J] + 1, Row[J - 1] + 1, Diagonal + (FA[I - 1] != FB[J - 1])});
            Diagonal = Above;
        }
    }
    return Row[FB.size()];
}

// The letters of a name, sorted and upper-cased: [ReadReg] has those of [RegRead].
std::string Letters(const std::string& Name)
{
    std::string Sorted = Folded(Name);
    std::sort(Sorted.begin(), Sorted.end());
    return Sorted;
}

const char* NameText(const char* Name)
{
    return Name;
}
const char* NameText(const std::string& Name)
{
    return Name.c_str();
}

// A known name that Name misses only by a slip: its letters in another order, or a few letters
// wrong (a third of the name, at least 2); null when there is none. Known is a list of names.
template <class TNames> const char* LikelyName(const std::string& Name, const TNames& Known)
{
    for (const auto& Candidate : Known)
        if (Letters(Name) == Letters(Candidate))
            return NameText(Candidate);
    const char* Best = nullptr;
    size_t BestDistance = std::max<size_t>(2, Name.size() / 3) + 1;
    for (const auto& Candidate : Known) {
        size_t D = Distance(Name, Candidate, BestDistance);
        if (D < BestDistance) {
            Best = NameText(Candidate);
            BestDistance = D;
        }
    }
    return Best;
}

template <class TNames> bool IsOneOf(const std::string& Name, const TNames& Known)
{
    for (const auto& Candidate : Known)
        if (SameText(Name, Candidate))
            return true;
    return false;
}

// A reference that names a variable rather than a text such as "%1" or "100% sure, 50%".
bool LooksLikeName(const std::string& Name)
{
    if (Name.empty() || !(std::isalpha((unsigned char)Name[0]) || Name[0] == '_'))
        return false;
    for (unsigned char C : Name)
        if (!std::isalnum(C) && !std::strchr("_().-", C))
            return false;
    return true;
}

// A line as the system's INF engine reads it: a ';' anywhere starts a comment.
std::string EngineText(const std::string& Text)
{
    return Trimmed(Text.substr(0, Text.find(';')));
}

// Whether Path is Dir or lies below it (both folded, without a trailing backslash).
bool IsAtOrBelow(const std::string& Path, const std::string& Dir)
{
    return Path.compare(0, Dir.size(), Dir) == 0 &&
           (Path.size() == Dir.size() || Path[Dir.size()] == '\\');
}

// A field that a variable fills in can only be judged on the user's machine.
bool HasReference(const std::string& Text)
{
    return Text.find('%') != std::string::npos;
}

// The names of a comma-separated list, blanks trimmed, empty ones left out.
std::vector<std::string> NameList(const std::string& List)
{
    std::vector<std::string> Names;
    size_t Begin = 0;
    while (Begin <= List.size()) {
        size_t Comma = std::min(List.find(',', Begin), List.size());
        std::string Name = Trimmed(List.substr(Begin, Comma - Begin));
        if (!Name.empty())
            Names.push_back(Name);
        Begin = Comma + 1;
    }
    return Names;
}

// The sample environment that the length checks expand with; ExpandText takes a plain function.
const std::unordered_map<std::string, std::string>* SampleEnvironment = nullptr;

// What one expansion may still insert. Past every limit that the checks compare with, a longer
// text tells nothing more, and a hostile script could make each line cost megabytes.
const size_t SampleBudget = size_t(1) << 20;
size_t SampleLeft = 0;

bool SampleLookup(const char* Name, std::string& Value)
{
    auto Found = SampleEnvironment->find(Folded(Name));
    if (Found == SampleEnvironment->end() || Found->second.size() > SampleLeft)
        return false;
    SampleLeft -= Found->second.size();
    Value = Found->second;
    return true;
}

// A registry key (ValueName empty) or value as a text to compare: root and subkey folded, the
// value name after two backslashes.
std::string RegistryItem(const std::string& Root, const std::string& SubKey,
                         const std::string& ValueName);

// A section as the profile functions show it: the first of its name, each key's first line.
struct TSectionIndex {
    const TInfSection* Section = nullptr;
    std::vector<const TInfLine*> Keys;   // the first line of each key, in file order
    std::unordered_map<std::string, const TInfLine*> ByName;
};

class TChecker {
public:
    TChecker(const TInfFile& File, const TCheckOptions& Options) : File(File), Options(Options) {}
    std::vector<TFinding> Run();

private:
    const TInfFile& File;
    const TCheckOptions& Options;
    std::vector<TFinding> Findings;
    std::unordered_map<std::string, TSectionIndex> Sections;   // by folded name
    std::unordered_set<std::string> NamedSections;             // folded names
    std::unordered_map<std::string, int> DefinedStep;          // folded variable name
    std::unordered_map<std::string, std::string> Sample;       // folded variable name
    std::string UninstallSection;   // named by the uninstall command; empty when none
    std::string UninstallCommand;   // the UninstallString as written
    // The sections that the system's INF engine carries out to uninstall, as the script spells
    // them: the one the command names and [DefaultUninstall], those that the script has.
    std::vector<std::string> EngineSections;
    // What [Files] installs, as the medium shows it: a file or a folder Name in the destination
    // folder Dir (as written, with the subfolders below it).
    struct TInstalled {
        const TInfLine* Line;
        std::string Dir;
        std::string Name;
        bool Folder;
        std::string Where;   // Dir\Name expanded with the sample values, folded
    };
    std::vector<TInstalled> Installed;
    // Each [Files] line with its destination folder, expanded and folded like Where.
    std::vector<std::pair<const TInfLine*, std::string>> Destinations;

    void Add(int Line, TSeverity Severity, const std::string& Text, const char* Check)
    {
        Findings.push_back({Line, Severity, Text, Check});
    }
    const TSectionIndex* Find(const std::string& Name) const
    {
        auto Found = Sections.find(Folded(Name));
        return Found == Sections.end() ? nullptr : &Found->second;
    }
    const TInfLine* Key(const std::string& Section, const std::string& Name) const
    {
        const TSectionIndex* Index = Find(Section);
        if (!Index)
            return nullptr;
        auto Found = Index->ByName.find(Folded(Name));
        return Found == Index->ByName.end() ? nullptr : Found->second;
    }
    // The first lines of a section's keys; none when the section is missing.
    const std::vector<const TInfLine*>& Keys(const std::string& Section) const
    {
        static const std::vector<const TInfLine*> None;
        const TSectionIndex* Index = Find(Section);
        return Index ? Index->Keys : None;
    }
    std::string Expanded(const std::string& Text) const
    {
        SampleEnvironment = &Sample;
        SampleLeft = SampleBudget;
        return ExpandText(Text.c_str(), SampleLookup);
    }

    void IndexSections();
    void CheckSignature();
    void CollectNamedSections();
    void CheckSections();
    void CheckKeyNames(const TSectionIndex& Index, const std::string& Name);
    void CheckRegWrite(const std::string& Section);
    void CheckRegRead();
    void CheckRoot(int Line, const std::string& Root, const char* Code);
    void CheckLinks(const std::string& Section);
    void CheckIniWrite();
    void CheckFiles();
    void CheckMedium();
    void CollectVariables();
    void CheckReferences(const TInfLine& Line, const std::string& Section, int Step);
    void CheckVariables();
    void BuildSample();
    // As SETUP.EXE sets a variable: a value the system can't take is not set at all.
    void SetSample(const std::string& Name, const std::string& Value)
    {
        if (Value.size() < SystemTextSize)
            Sample[Folded(Name)] = Value;
    }
    void CheckLimits();
    void CheckUninstallEntry();
    void CheckUninstallCompleteness();
    std::vector<std::pair<const TInfLine*, std::string>> EngineLists(const char* Directive) const;
    void CheckUninstallSection();
    void CheckEngineSignature();
    void CheckDestinationDirs();
    void CheckEngineFolder(int Line, const std::string& Text);
    void CheckStringsKeys();
    void CheckLiteralNames();
    void CollectInstalled();
    void WalkMedium(const TInfLine& Line, const TFilesKey& Key, const std::string& SubDir,
                    const std::string& Dir, const std::string& Where, int Depth);
    bool InstalledByFiles(const std::string& Path, bool& ByKey) const;
    void CheckLinkTargets(const std::string& Section, int Step);
};

void TChecker::IndexSections()
{
    for (const TInfSection& Section : File.Sections) {
        TSectionIndex& Index = Sections[Folded(Section.Name)];
        if (Index.Section) {
            Add(Section.Line, svWarning,
                "[" + Section.Name + "] is given twice: only the first one, in line " +
                    std::to_string(Index.Section->Line) + ", is read",
                "duplicate-section");
            continue;
        }
        Index.Section = &Section;
        for (const TInfLine& Line : Section.Lines) {
            if (!Line.HasEquals)
                continue;
            auto Inserted = Index.ByName.emplace(Folded(Line.Key), &Line);
            if (Inserted.second)
                Index.Keys.push_back(&Line);
            else if (IsOneOf(Section.Name, KeyValueSections))
                Add(Line.Line, svWarning,
                    "key '" + Line.Key + "' is given twice in [" + Section.Name + "]: " +
                        (SameText(Section.Name, "Version") || SameText(Section.Name, "Info")
                             ? "only the first one counts, in line "
                             : "SETUP.EXE carries it out each time with the value of line ") +
                        std::to_string(Inserted.first->second->Line),
                    "duplicate-key");
        }
    }
}

void TChecker::CheckSignature()
{
    const TSectionIndex* Version = Find("Version");
    const TInfLine* FormKv = Key("Version", "FormKv");
    if (!FormKv) {
        Add(Version ? Version->Section->Line : 1, svError,
            "no signature: SETUP.EXE passes over a script without [Version] FormKv=KELVOR",
            "signature");
        return;
    }
    // The installer reads only the first characters of the value (SignatureSize with its NUL).
    const std::string& Value = FormKv->Value;
    if (SignaturePosition(Value.substr(0, SignatureSize - 1).c_str()) > 0)
        return;
    if (SignaturePosition(Value.c_str()) > 0) {
        Add(FormKv->Line, svError,
            "the signature KELVOR must begin within the first " +
                std::to_string(SignatureSize - 6) + " characters of FormKv",
            "signature");
        return;
    }
    // A slip in the word: a word of the value close to KELVOR.
    size_t Begin = Value.find_first_not_of(" \t");
    while (Begin != std::string::npos) {
        size_t End = std::min(Value.find_first_of(" \t", Begin), Value.size());
        std::string Word = Value.substr(Begin, End - Begin);
        if (Distance(Word, "KELVOR", 2) <= 2) {
            Add(FormKv->Line, svError, "misspelled signature '" + Word + "': it must be KELVOR",
                "signature");
            return;
        }
        Begin = Value.find_first_not_of(" \t", End);
    }
    Add(FormKv->Line, svError, "FormKv does not hold the signature KELVOR", "signature");
}

void TChecker::CollectNamedSections()
{
    for (const char* Name : {"RegWrite", "RegWriteUninstall"})
        if (const TInfLine* Err = Key(Name, "ErrSection"))
            NamedSections.insert(Folded(Err->Value));
    for (const TInfLine* Line : Keys("RegWriteUninstall")) {
        TRegWriteLine Fields;
        if (SplitRegWriteLine(Line->Value, Fields) &&
            SameText(Fields.ValueName, "UninstallString")) {
            UninstallSection = ::UninstallSection(Fields.Value);
            UninstallCommand = Fields.Value;
        }
    }
    if (!UninstallSection.empty())
        NamedSections.insert(Folded(UninstallSection));
    for (const std::string& Name : {UninstallSection, std::string("DefaultUninstall")})
        if (const TSectionIndex* Index = Name.empty() ? nullptr : Find(Name))
            if (!IsOneOf(Name, EngineSections))
                EngineSections.push_back(Index->Section->Name);
    // The system's INF engine: every key of an uninstall section names sections, and so does
    // every key of [DestinationDirs].
    for (const std::string& Name : {std::string("DefaultUninstall"), UninstallSection})
        for (const TInfLine* Line : Keys(Name))
            for (const std::string& Listed : NameList(Line->Value))
                NamedSections.insert(Folded(Listed));
    for (const TInfLine* Line : Keys("DestinationDirs"))
        NamedSections.insert(Folded(Line->Key));
}

void TChecker::CheckSections()
{
    for (const TInfSection& Section : File.Sections) {
        const TSectionIndex& Index = *Find(Section.Name);
        if (Index.Section != &Section)
            continue;   // a repetition, reported already
        if (IsOneOf(Section.Name, KeyValueSections))
            for (const TInfLine& Line : Section.Lines)
                if (!Line.HasEquals)
                    Add(Line.Line, svError,
                        "line without '=' in [" + Section.Name +
                            "]: it is no key, and SETUP.EXE skips it without a word; put a name "
                            "and '=' in front",
                        "missing-equals");
        if (IsOneOf(Section.Name, OwnSections)) {
            CheckKeyNames(Index, Section.Name);
        } else if (!NamedSections.count(Folded(Section.Name))) {
            const char* Likely = LikelyName(Section.Name, OwnSections);
            if (Likely)
                Add(Section.Line, svError,
                    "unknown section [" + Section.Name + "]; did you mean [" + Likely + "]?",
                    "unknown-section");
            else
                Add(Section.Line, svWarning,
                    "unknown section [" + Section.Name +
                        "]: neither SETUP.EXE nor the uninstallation reads it",
                    "unknown-section");
        }
    }
}

void TChecker::CheckKeyNames(const TSectionIndex& Index, const std::string& Name)
{
    auto Check = [&](const auto& Known) {
        for (const TInfLine* Line : Index.Keys) {
            if (IsOneOf(Line->Key, Known))
                continue;
            const char* Likely = LikelyName(Line->Key, Known);
            Add(Line->Line, svError,
                "unknown key '" + Line->Key + "' in [" + Name + "]" +
                    (Likely ? std::string("; did you mean '") + Likely + "'?"
                            : ": SETUP.EXE never reads it"),
                "unknown-key");
        }
    };
    if (SameText(Name, "Version"))
        Check(VersionKeys);
    else if (SameText(Name, "Info"))
        Check(InfoKeys);
}

// A registry line's root. SETUP.EXE expands the whole line before it reads the root, so a
// variable may give it: that is valid, and only the run shows what it names.
void TChecker::CheckRoot(int Line, const std::string& Root, const char* Code)
{
    if (HasReference(Root))
        Add(Line, svNote,
            "the root '" + Root + "' is known only at run time: SETUP.EXE ends the run unless it "
            "is HKLM, HKCU or HKCR",
            Code);
    else if (ScanRootKey(Root.c_str()) == rkNone)
        Add(Line, svError, "unknown root '" + Root + "': HKLM, HKCU or HKCR", Code);
}

void TChecker::CheckRegWrite(const std::string& Section)
{
    for (const TInfLine* Line : Keys(Section)) {
        // The installer skips an empty value, and ErrSection names a section.
        if (Line->Value.empty() || SameText(Line->Key, "ErrSection"))
            continue;
        TRegWriteLine Fields;
        if (!SplitRegWriteLine(Line->Value, Fields)) {
            Add(Line->Line, svError,
                "too few fields: a registry line is Root,SubKey,ValueName,Type,Value; SETUP.EXE "
                "stops the section at this line",
                "registry-line");
            continue;
        }
        CheckRoot(Line->Line, Fields.Root, "registry-line");
        TValueType Type = ScanValueType(Fields.Type);
        if (!HasReference(Fields.Type) && Type == vtUnknown)
            Add(Line->Line, svError,
                "unknown value type '" + Fields.Type +
                    "': Reg_SZ or Reg_DWORD (SETUP.EXE writes a string and fails the run)",
                "registry-line");
        uint32_t Number;
        if (Type == vtDWord && !HasReference(Fields.Value)) {
            TDWordScan Scan = ScanDWordText(Fields.Value.c_str(), Number);
            if (Scan != dsOk)
                Add(Line->Line, svError,
                    "Reg_DWORD value '" + Fields.Value + "' " +
                        (Scan == dsTooLong ? "has more than 8 hexadecimal digits"
                                           : "is not a hexadecimal number") +
                        "; SETUP.EXE stops the section at this line",
                    "registry-line");
        }
    }
    if (const TInfLine* Err = Key(Section, "ErrSection")) {
        if (!Find(Err->Value))
            Add(Err->Line, svError,
                "ErrSection names [" + Err->Value + "], which the script does not have",
                "missing-section");
        if (Keys(Section)[0] != Err)
            Add(Err->Line, svWarning,
                "ErrSection holds only for the lines below it: a line above it whose key can't "
                "be written has no links to stand in for it; write ErrSection first",
                "registry-line");
    }
}

void TChecker::CheckRegRead()
{
    for (const TInfLine* Line : Keys("RegRead")) {
        if (Line->Value.empty())
            continue;
        TRegReadLine Fields;
        if (!SplitRegReadLine(Line->Value, Fields)) {
            Add(Line->Line, svError,
                "no comma: a [RegRead] line is Root,SubKey[,ValueName[,Default]]; SETUP.EXE ends "
                "the run",
                "regread-line");
            continue;
        }
        CheckRoot(Line->Line, Fields.Root, "regread-line");
        if (IsOneOf(Line->Key, InfCopyVariables))
            Add(Line->Line, svWarning,
                "SETUP.EXE ignores a [RegRead] line named " + Line->Key +
                    ": it sets that variable itself",
                "regread-line");
    }
}

void TChecker::CheckLinks(const std::string& Section)
{
    for (const TInfLine* Line : Keys(Section)) {
        if (Line->Value.empty())
            continue;
        TLinkLine Fields;
        if (!SplitLinkLine(Line->Value, Fields)) {
            Add(Line->Line, svError,
                "no target: a link line is Name,Target[,Arguments[,IconFile[,IconIndex[,"
                "WorkDir]]]]; SETUP.EXE stops the section at this line",
                "link-line");
            continue;
        }
        std::string Name = Trimmed(Fields.Name);
        if (Name.size() > 4 && SameText(Name.substr(Name.size() - 4), ".lnk"))
            Add(Line->Line, svWarning,
                "the link name ends in .lnk, and SETUP.EXE appends .LNK all the same: the file is "
                "named " + FileNamePart(Name) + ".LNK; leave the extension out",
                "link-line");
        std::string Index = Trimmed(Fields.IconIndex);
        bool Zero = !Index.empty() && Index.find_first_not_of("+-0") == std::string::npos;
        if (!Index.empty() && !HasReference(Index) && IconIndexOf(Index) == 0 && !Zero)
            Add(Line->Line, svError,
                "icon index '" + Fields.IconIndex + "' is no number: the link gets icon 0",
                "link-line");
    }
}

void TChecker::CheckIniWrite()
{
    // Every key counts here, repeated ones too: the installer reads each one's first value.
    for (const TInfLine* Line : Keys("IniWrite")) {
        TIniWriteLine Fields;
        if (!SplitIniWriteLine(Line->Value, Fields))
            Add(Line->Line, svError,
                "too few fields: an [IniWrite] line is Section,Key,Value,File; SETUP.EXE shows \"" +
                    IniWriteSyntaxText(Line->Value) + "\" and fails the run",
                "iniwrite-line");
    }
}

// A destination that names a folder on its own: a variable, a drive's root or a share.
bool IsAbsoluteFolder(const std::string& Path)
{
    return Path[0] == '%' || Path.compare(0, 2, "\\\\") == 0 ||
           (Path.size() >= 3 && std::isalpha((unsigned char)Path[0]) && Path[1] == ':' &&
            Path[2] == '\\');
}

void TChecker::CheckFiles()
{
    for (const TInfLine* Line : Keys("Files"))
        if (!Line->Value.empty() && !IsAbsoluteFolder(Line->Value))
            Add(Line->Line, svError,
                "destination '" + Line->Value +
                    "' is no full path: leave it empty for the installation folder, or begin "
                    "it with %MyProgramPath% or a drive",
                "files-destination");
}

void TChecker::CheckMedium()
{
    if (!Options.Medium)
        return;
    const TMedium& Medium = *Options.Medium;
    // Started without an argument, SETUP.EXE takes the first signed script in the order the
    // folder lists its files, which differs between file systems: a second script on the medium,
    // or one planted beside it, may win on the user's machine.
    std::vector<std::string> Scripts = Medium.SignedScripts();
    const TInfLine* FormKv = Key("Version", "FormKv");
    bool Signed = FormKv && SignaturePosition(FormKv->Value.substr(0, SignatureSize - 1).c_str());
    if (Signed && std::none_of(Scripts.begin(), Scripts.end(), [&](const std::string& Name) {
            return SameText(Name, Options.ScriptName);
        }))
        Scripts.insert(Scripts.begin(), Options.ScriptName);
    if (Scripts.size() > 1) {
        std::string List;
        for (const std::string& Name : Scripts)
            List += (List.empty() ? "" : ", ") + Name;
        Add(FormKv ? FormKv->Line : 1, svWarning,
            "the medium holds " + std::to_string(Scripts.size()) + " signed scripts (" + List +
                "): SETUP.EXE takes the first that the folder lists, and that order differs "
                "between file systems; keep one script on the medium",
            "several-scripts");
    }
    for (const TInfLine* Line : Keys("Files")) {
        TFilesKey Key = SplitFilesKey(Line->Key);
        if (!Medium.Matches(Key.SubDir, Key.Pattern))
            Add(Line->Line, svError,
                "'" + Line->Key +
                    "' matches no file on the medium: the entry installs nothing, without a word",
                "medium-file");
    }
    bool HasVersion;
    for (const char* Name : InfoFiles)
        if (const TInfLine* Line = Key("Info", Name))
            if (!Line->Value.empty() && FirstReference(Line->Value).empty() &&
                !Medium.FileExists(Line->Value, HasVersion))
                Add(Line->Line, svError,
                    "[Info] " + std::string(Name) + " names '" + Line->Value +
                        "', which is not on the medium",
                    "medium-file");
    const TInfLine* Line = Key("Version", "ProjectVersionFile");
    if (Line && FirstReference(Line->Value).empty()) {
        if (!Medium.FileExists(Line->Value, HasVersion))
            Add(Line->Line, svError,
                "ProjectVersionFile names '" + Line->Value +
                    "', which is not on the medium: ProjectVersion stays empty",
                "medium-file");
        else if (!HasVersion)
            Add(Line->Line, svWarning,
                "'" + Line->Value + "' has no version resource: ProjectVersion stays empty",
                "medium-file");
    }
}

void TChecker::CollectVariables()
{
    for (const char* Name : WindowsVariables)
        DefinedStep[Folded(Name)] = 0;
    for (const std::string& Name : Options.Defines)
        DefinedStep[Folded(Name)] = 0;
    for (const char* Name : InfCopyVariables)
        DefinedStep.emplace(Folded(Name), stInfCopy);
    DefinedStep.emplace(Folded("MyStartMenu"), stLinks);
    DefinedStep.emplace(Folded("MenuPath"), stLinks);
    DefinedStep.emplace(Folded("MyProgramPath"), stProgramPath);
    for (const TInfLine* Line : Keys("RegRead"))
        if (!IsOneOf(Line->Key, InfCopyVariables)) {
            int& Step = DefinedStep.emplace(Folded(Line->Key), stRegRead).first->second;
            Step = std::min<int>(Step, stRegRead);
        }
    for (const TInfLine* Line : Keys("Strings")) {
        // MyProgramPath only in this spelling is the installation folder, set by the path dialog.
        if (Line->Key == "MyProgramPath")
            continue;
        int& Step = DefinedStep.emplace(Folded(Line->Key), stStrings).first->second;
        Step = std::min<int>(Step, stStrings);
    }
}

// Every %NAME% of a line's value, read as the installer expands it: each % opens a reference
// that the next one closes, and after a reference the scan goes on behind its closing %.
void TChecker::CheckReferences(const TInfLine& Line, const std::string& Section, int Step)
{
    const std::string& Text = Line.Value;
    size_t Open = Text.find('%');
    while (Open != std::string::npos) {
        size_t Close = Text.find('%', Open + 1);
        if (Close == std::string::npos)
            break;
        std::string Name = Text.substr(Open + 1, Close - Open - 1);
        Open = Text.find('%', Close + 1);
        if (!LooksLikeName(Name))
            continue;
        auto Found = DefinedStep.find(Folded(Name));
        if (Found == DefinedStep.end() && IsOneOf(Name, SomeWindowsVariables)) {
            Add(Line.Line, svWarning,
                "%" + Name +
                    "% is not defined on every Windows (not on XP, or not on a 32-bit system); "
                    "there it stays as written",
                "undefined-variable");
        } else if (Found == DefinedStep.end()) {
            Add(Line.Line, svError,
                "%" + Name +
                    "% is not defined: no [Strings] key, [RegRead] name, variable of SETUP.EXE "
                    "or of Windows has that name, so it stays as written",
                "undefined-variable");
        } else if (Found->second > Step) {
            Add(Line.Line, svError,
                "%" + Name + "% is used in [" + Section +
                    "] before it is defined: SETUP.EXE sets it in step " +
                    std::to_string(Found->second) + " of the run, and reads this line in step " +
                    std::to_string(Step),
                "variable-order");
        }
    }
}

void TChecker::CheckVariables()
{
    CollectVariables();
    struct {
        const char* Section;
        int Step;
    } const Uses[] = {{"RegRead", stRegReadAgain}, {"Strings", stStringsAgain},
                      {"RegWrite", stRegWrite},    {"RegWriteUninstall", stUninstallEntry},
                      {"Files", stFiles},          {"SetMnuLNK", stLinks},
                      {"IniWrite", stIniWrite}};
    for (const auto& Use : Uses) {
        const TSectionIndex* Index = Find(Use.Section);
        for (const TInfLine* Line : Keys(Use.Section)) {
            if (SameText(Line->Key, "ErrSection"))
                continue;
            // The path dialog proposes the first pass's MyProgramPath.
            int Step = Line->Key == "MyProgramPath" && SameText(Use.Section, "Strings")
                           ? stPathDialog
                           : Use.Step;
            if (SameText(Use.Section, "IniWrite")) {
                // Section and key are written as they stand; only value and file are expanded.
                TIniWriteLine Fields;
                if (!SplitIniWriteLine(Line->Value, Fields))
                    continue;
                TInfLine Expanded = *Line;
                Expanded.Value = Fields.Value + "," + Fields.File;
                CheckReferences(Expanded, Index->Section->Name, Step);
                continue;
            }
            CheckReferences(*Line, Index->Section->Name, Step);
        }
    }
    // The links that stand in for a registry line that could not be written.
    for (const char* Name : {"RegWrite", "RegWriteUninstall"})
        if (const TInfLine* Err = Key(Name, "ErrSection"))
            if (const TSectionIndex* Links = Find(Err->Value))
                for (const TInfLine* Line : Links->Keys)
                    CheckReferences(*Line, Links->Section->Name,
                                    SameText(Name, "RegWrite") ? stRegWrite : stUninstallEntry);
}

// The sample values of the variables for the length checks: Windows' own, SETUP.EXE's with the
// sample installation folder, and the script's from [RegRead] defaults and [Strings] values.
void TChecker::BuildSample()
{
    for (const auto& Value : SampleValues)
        Sample[Folded(Value[0])] = Value[1];
    for (const std::string& Name : Options.Defines)
        Sample[Folded(Name)] = "";
    for (const TInfLine* Line : Keys("RegRead")) {
        TRegReadLine Fields;
        if (SplitRegReadLine(Expanded(Line->Value), Fields) && Fields.HasDefault)
            SetSample(Line->Key, Fields.Default);
    }
    std::string Proposed;
    for (const TInfLine* Line : Keys("Strings")) {
        if (Line->Key == "MyProgramPath")
            Proposed = Expanded(Line->Value);
        else if (!SameText(Line->Key, "ProgramFiles"))
            SetSample(Line->Key, Line->Value.empty() ? "C:\\Users\\User\\" + Line->Key
                                                     : Expanded(Line->Value));
    }
    std::string InstallDir = Options.InstallDir;
    if (InstallDir.empty())
        InstallDir = Proposed.empty() || HasReference(Proposed)
                         ? "C:\\Program Files\\" + Options.ScriptName
                         : Proposed;
    Sample[Folded("MyProgramPath")] = InstallDir;
    // The [Strings] values that refer to the installation folder resolve in the later passes.
    for (const TInfLine* Line : Keys("Strings"))
        if (Line->Key != "MyProgramPath" && !Line->Value.empty() &&
            !SameText(Line->Key, "ProgramFiles"))
            SetSample(Line->Key, Expanded(Line->Value));
    if (!Sample.count(Folded("MyStartMenu"))) {
        const TInfLine* LnkName = Key("Strings", "LnkName");
        Sample[Folded("MyStartMenu")] =
            std::string(SampleProgramsMenu) + "\\" + (LnkName ? LnkName->Value : "");
    }
    Sample[Folded("MenuPath")] = Sample[Folded("MyStartMenu")];
}

void TChecker::CheckLimits()
{
    BuildSample();
    const std::string& InstallDir = Sample[Folded("MyProgramPath")];
    std::string Where = " for the installation folder " + InstallDir;
    for (const TInfLine* Line : Keys("Strings")) {
        std::string Value = Expanded(Line->Value);
        if (Value.size() >= SystemTextSize)
            Add(Line->Line, svError,
                "the value of " + Line->Key + " would be " + std::to_string(Value.size()) +
                    " characters long" + Where + ": a variable holds at most " +
                    std::to_string(SystemTextSize - 1) + ", and SETUP.EXE sets none",
                "length-limit");
    }
    for (const TInfLine* Line : Keys("RegRead")) {
        size_t Length = Expanded(Line->Value).size();
        if (!RegReadLineFits(Line->Value.size(), Length))
            Add(Line->Line, svError,
                "the [RegRead] line has " + std::to_string(Line->Value.size()) +
                    " characters as written and " + std::to_string(Length) + " expanded" + Where +
                    ": SETUP.EXE ends the run beyond " + std::to_string(RegReadLineLimit - 1) +
                    " as written or " + std::to_string(RegReadLineLimit) + " expanded",
                "length-limit");
    }
    std::vector<std::pair<std::string, std::string>> LinkSections = {
        {"SetMnuLNK", Sample[Folded("MyStartMenu")]}};
    for (const char* Name : {"RegWrite", "RegWriteUninstall"})
        if (const TInfLine* Err = Key(Name, "ErrSection"))
            LinkSections.push_back({Err->Value, ""});
    for (const auto& Section : LinkSections)
        for (const TInfLine* Line : Keys(Section.first)) {
            TLinkLine Fields;
            if (!SplitLinkLine(Expanded(Line->Value), Fields))
                continue;
            std::string Path = LinkFilePath(Fields.Name, Section.second);
            if (Path.size() > LinkPathLimit)
                Add(Line->Line, svError,
                    "the link file's path would be " + std::to_string(Path.size()) +
                        " characters long" + Where + ": the system writes at most " +
                        std::to_string(LinkPathLimit),
                    "length-limit");
        }
}

void TChecker::CheckUninstallEntry()
{
    const std::vector<const TInfLine*>& Lines = Keys("RegWriteUninstall");
    const TSectionIndex* Entry = Find("RegWriteUninstall");
    if (!Entry) {
        if (const TSectionIndex* Files = Find("Files"))
            Add(Files->Section->Line, svNote,
                "no [RegWriteUninstall]: the software list gets no entry to remove the "
                "installation, and a later run proposes no earlier folder",
                "uninstall-entry");
        return;
    }
    // A later run looks for the earlier installation below the first line's subkey, in HKLM.
    const TInfLine* First = Lines.empty() ? nullptr : Lines[0];
    if (First && SameText(First->Key, "ErrSection"))
        First = Lines.size() > 1 ? Lines[1] : nullptr;
    std::string SubKey;
    bool Literal = false;   // the first line gives the subkey that a later run reads
    if (First && LineSubKey(First->Value, SubKey)) {
        TRegWriteLine Fields;
        bool Split = SplitRegWriteLine(First->Value, Fields);
        if (HasReference(SubKey))
            Add(First->Line, svError,
                "the first line's subkey holds a variable: a later run takes it as written, "
                "so write it out",
                "uninstall-entry");
        else if (!StartsWithText(SubKey, UninstallKey) || SubKey.size() == UninstallKey.size() ||
                 (Split && ScanRootKey(Fields.Root.c_str()) != rkHKLM))
            Add(First->Line, svError,
                "the first line must write below HKLM\\" + UninstallKey +
                    "<Id>: a later run looks for the earlier installation there",
                "uninstall-entry");
        else
            Literal = true;
    }
    const TInfLine* Command = nullptr;
    TRegWriteLine CommandFields;
    for (const TInfLine* Line : Lines) {
        TRegWriteLine Fields;
        if (SplitRegWriteLine(Line->Value, Fields) &&
            SameText(Fields.ValueName, "UninstallString") && !Command) {
            Command = Line;
            CommandFields = Fields;
        }
    }
    if (!Command) {
        Add(Entry->Section->Line, svError,
            "[RegWriteUninstall] writes no UninstallString: the software list can't remove the "
            "installation, and a later run does not find it",
            "uninstall-entry");
        return;
    }
    // A later run reads UninstallString below the first line's subkey, in HKLM, and nowhere else.
    std::string CommandKey;
    if (Literal && Command != First && LineSubKey(Command->Value, CommandKey) &&
        !HasReference(CommandKey) && !HasReference(CommandFields.Root) &&
        RegistryItem("HKLM", SubKey, "") != RegistryItem(CommandFields.Root, CommandKey, ""))
        Add(Command->Line, svError,
            "UninstallString is written to " + CommandFields.Root + "\\" + CommandKey +
                ", but a later run reads it below the first line's key HKLM\\" + SubKey +
                ": it does not find this installation",
            "uninstall-entry");
    std::string Expected = "%InfPath%\\" + Options.ScriptName;
    std::string Path = UninstallInfPath(CommandFields.Value);
    if (!SameText(Path, Expected))
        Add(Command->Line, svError,
            "UninstallString must end with the installed script's path " + Expected +
                ": a later run takes the earlier installation's script from there",
            "uninstall-entry");
    if (UninstallSection.empty())
        Add(Command->Line, svError, "UninstallString runs no section: name one after InstallHinfSection, or after the "
            "script's path behind LaunchINFSection",
            "uninstall-entry");
    else if (!Find(UninstallSection))
        Add(Command->Line, svError,
            "UninstallString names [" + UninstallSection + "], which the script does not have",
            "missing-section");
}

// What the uninstall section removes: files by folder (as written in [DestinationDirs], folded)
// and name, and registry keys and values.
struct TRemoved {
    std::unordered_set<std::string> Files;   // folded "folder\name"
    std::vector<std::string> Keys;           // folded "ROOT\subkey" or "ROOT\subkey\\valuename"
    bool UpdatesInis = false;
};

// The folder of a [DestinationDirs] entry as a text to compare: -1,<folder> or a number of the
// system's (17 the INF folder).
std::string DestinationFolder(const std::string& Value)
{
    std::vector<std::string> Parts = NameList(EngineText(Value));
    if (Parts.empty())
        return std::string();
    if (Parts[0] == "-1" && Parts.size() > 1)
        return Folded(Parts[1]);
    if (Parts[0] == "17")
        return Folded("%InfPath%");
    return Folded("#" + Parts[0]);
}

std::string RegistryItem(const std::string& Root, const std::string& SubKey,
                         const std::string& ValueName)
{
    TRootKey Key = ScanRootKey(Trimmed(Root).c_str());
    std::string Item = Folded(std::string(RootKeyText(Key)) + "\\" + Trimmed(SubKey));
    while (!Item.empty() && Item.back() == '\\')
        Item.pop_back();
    return ValueName.empty() ? Item : Item + "\\\\" + Folded(ValueName);
}

void TChecker::CheckUninstallCompleteness()
{
    if (UninstallSection.empty() || !Find(UninstallSection))
        return;
    TRemoved Removed;
    for (const TInfLine* Line : Keys(UninstallSection)) {
        if (SameText(Line->Key, "UpdateInis"))
            Removed.UpdatesInis = true;
        for (const std::string& List : NameList(Line->Value)) {
            if (SameText(Line->Key, "DelFiles")) {
                const TInfLine* Dir = Key("DestinationDirs", List);
                if (!Dir)
                    Dir = Key("DestinationDirs", "DefaultDestDir");
                std::string Folder = Dir ? DestinationFolder(Dir->Value) : "";
                if (const TSectionIndex* Index = Find(List))
                    for (const TInfLine& Name : Index->Section->Lines)
                        Removed.Files.insert(
                            Folder + "\\" +
                            Folded(EngineText(Name.Key.substr(0, Name.Key.find(',')))));
            } else if (SameText(Line->Key, "DelReg")) {
                if (const TSectionIndex* Index = Find(List))
                    for (const TInfLine& Reg : Index->Section->Lines) {
                        std::string Text =
                            EngineText(Reg.HasEquals ? Reg.Key + "=" + Reg.Value : Reg.Key);
                        std::vector<std::string> Fields;
                        size_t Begin = 0;
                        while (Begin <= Text.size() && Fields.size() < 3) {
                            size_t Comma = std::min(Text.find(',', Begin), Text.size());
                            Fields.push_back(Text.substr(Begin, Comma - Begin));
                            Begin = Comma + 1;
                        }
                        if (Fields.size() >= 2)
                            Removed.Keys.push_back(RegistryItem(
                                Fields[0], Fields[1], Fields.size() > 2 ? Trimmed(Fields[2]) : ""));
                    }
            }
        }
    }
    auto FileRemoved = [&](const std::string& Folder, const std::string& Name) {
        std::string F = Folded(Folder);
        while (!F.empty() && F.back() == '\\')
            F.pop_back();
        return Removed.Files.count(F + "\\" + Folded(Name)) > 0;
    };
    auto Missing = [&](const TInfLine* Line, const std::string& What) {
        Add(Line->Line, svWarning,
            What + " is installed, but [" + UninstallSection + "] does not remove it",
            "uninstall-incomplete");
    };
    for (const TInfLine* Line : Keys("Files")) {
        TFilesKey Key = SplitFilesKey(Line->Key);
        if (Key.Pattern.find_first_of("*?") != std::string::npos || Key.Recursive)
            continue;   // which files a pattern takes, only the medium tells
        std::string Folder = Line->Value.empty() ? "%MyProgramPath%" : Line->Value;
        if (!FileRemoved(Folder, Key.Pattern))
            Missing(Line, "the file " + Folder + "\\" + Key.Pattern);
    }
    for (const TInstalled& Item : Installed) {
        TFilesKey Key = SplitFilesKey(Item.Line->Key);
        bool Pattern = Key.Pattern.find_first_of("*?") != std::string::npos || Key.Recursive;
        if (Pattern && !Item.Folder && !FileRemoved(Item.Dir, Item.Name))
            Missing(Item.Line, "the file " + Item.Dir + "\\" + Item.Name + " (from " +
                                   Item.Line->Key + " on the medium)");
    }
    // The links of [SetMnuLNK], and those of an ErrSection that name their own folder.
    std::vector<const TInfLine*> Links = Keys("SetMnuLNK");
    for (const char* Name : {"RegWrite", "RegWriteUninstall"})
        if (const TInfLine* Err = Key(Name, "ErrSection"))
            for (const TInfLine* Line : Keys(Err->Value))
                if (Line->Value.find('\\') < Line->Value.find(','))
                    Links.push_back(Line);
    for (const TInfLine* Line : Links) {
        TLinkLine Fields;
        if (!SplitLinkLine(Line->Value, Fields))
            continue;
        std::string Path = LinkFilePath(Fields.Name, "%MyStartMenu%");
        size_t Slash = Path.find_last_of("\\");
        std::string Folder = Path.substr(0, Slash), Name = Path.substr(Slash + 1);
        bool Gone = FileRemoved(Folder, Name) ||
                    (SameText(Folder, "%MyStartMenu%") && FileRemoved("%MenuPath%", Name));
        if (!Gone)
            Missing(Line, "the link " + Path);
    }
    for (const char* Section : {"RegWrite", "RegWriteUninstall"})
        for (const TInfLine* Line : Keys(Section)) {
            TRegWriteLine Fields;
            if (SameText(Line->Key, "ErrSection") || !SplitRegWriteLine(Line->Value, Fields))
                continue;
            std::string Key = RegistryItem(Fields.Root, Fields.SubKey, "");
            std::string Value = RegistryItem(Fields.Root, Fields.SubKey,
                                             Fields.ValueName.empty() ? "@" : Fields.ValueName);
            auto Gone = [&](const std::string& Key, const std::string& Value) {
                for (const std::string& Item : Removed.Keys)
                    if (Item == Value ||
                        (IsAtOrBelow(Key, Item) && Item.find("\\\\") == std::string::npos))
                        return true;
                return false;
            };
            std::string What = "the registry value " + Fields.Root + "\\" + Fields.SubKey + "," +
                               (Fields.ValueName.empty() ? "(default)" : Fields.ValueName);
            if (!Gone(Key, Value)) {
                Missing(Line, What);
                continue;
            }
            // The software list of a 64-bit Windows runs the 64-bit INF engine, which sees
            // SETUP.EXE's entry below Wow6432Node.
            if (ScanRootKey(Fields.Root.c_str()) != rkHKLM ||
                !StartsWithText(Fields.SubKey, UninstallKey))
                continue;
            std::string SubKey64 = UninstallKey64 + Fields.SubKey.substr(UninstallKey.size());
            if (!Gone(RegistryItem("HKLM", SubKey64, ""),
                      RegistryItem("HKLM", SubKey64,
                                   Fields.ValueName.empty() ? "@" : Fields.ValueName)))
                Add(Line->Line, svWarning,
                    What + " is removed only as written: on a 64-bit Windows the INF engine sees "
                           "it below HKLM\\" + UninstallKey64 + "..., so name that key in a DelReg "
                           "line too",
                    "uninstall-incomplete");
        }
    for (const TInfLine* Line : Keys("IniWrite")) {
        TIniWriteLine Fields;
        if (!SplitIniWriteLine(Line->Value, Fields) || Removed.UpdatesInis)
            continue;
        size_t Slash = Fields.File.find_last_of("\\");
        std::string Folder = Slash == std::string::npos ? "" : Fields.File.substr(0, Slash);
        if (!FileRemoved(Folder, Fields.File.substr(Slash + 1)))
            Missing(Line,
                    "the INI entry [" + Fields.Section + "] " + Fields.Key + " in " + Fields.File);
    }
    if (Find("Files") && !FileRemoved("%MyProgramPath%", "LOGFILKV.LOG"))
        Add(Find(UninstallSection)->Section->Line, svWarning,
            "the log %MyProgramPath%\\LOGFILKV.LOG is written, but [" + UninstallSection +
                "] does not remove it",
            "uninstall-incomplete");
    if (Find("Files") && !FileRemoved("%MyProgramPath%", Options.ScriptName))
        Add(Find(UninstallSection)->Section->Line, svWarning,
            "the script is copied into the installation folder when the INF folder refuses it, "
            "but [" + UninstallSection + "] does not remove " + Options.ScriptName + " there",
            "uninstall-incomplete");
    if (!FileRemoved("%InfPath%", Options.ScriptName))
        Add(Find(UninstallSection)->Section->Line, svWarning,
            "the installed copy of the script, " + Options.ScriptName +
                " in the INF folder (17), "
                "is not removed by [" +
                UninstallSection + "]",
            "uninstall-incomplete");
}

// The names that a directive lists in the uninstall sections, each with its line.
std::vector<std::pair<const TInfLine*, std::string>> TChecker::EngineLists(
    const char* Directive) const
{
    std::vector<std::pair<const TInfLine*, std::string>> Lists;
    for (const std::string& Section : EngineSections)
        for (const TInfLine* Line : Keys(Section))
            if (SameText(Line->Key, Directive))
                for (const std::string& Name : NameList(EngineText(Line->Value)))
                    Lists.push_back({Line, Name});
    return Lists;
}

// The uninstall sections as the system's INF engine carries them out in the installed copy.
void TChecker::CheckUninstallSection()
{
    if (EngineSections.empty())
        return;
    CheckEngineSignature();
    for (const char* Directive : ListDirectives)
        for (const auto& Listed : EngineLists(Directive))
            if (!Find(Listed.second))
                Add(Listed.first->Line, svError,
                    std::string(Directive) + " names [" + Listed.second +
                        "], which the script does not have",
                    "missing-section");
    CheckDestinationDirs();
    for (const char* Directive : CommandDirectives)
        for (const auto& Listed : EngineLists(Directive))
            if (const TSectionIndex* Commands = Find(Listed.second))
                for (const TInfLine& Line : Commands->Section->Lines)
                    CheckEngineFolder(Line.Line, Line.HasEquals ? Line.Value : Line.Key);
    bool Basic = Folded(UninstallCommand).find(",INSTALLHINFSECTION") != std::string::npos;
    for (const std::string& Section : EngineSections)
        for (const TInfLine* Line : Keys(Section)) {
            if (SameText(Line->Key, "DelDirs"))
                Add(Line->Line, svWarning,
                    "DelDirs deletes a folder with everything in it on some systems, the "
                    "user's own files included: remove the folders with rd in a "
                    "RunPostSetupCommands section, which removes only an empty one",
                    "uninstall-section");
            else if (Basic && SameText(Section, UninstallSection) &&
                     SameText(Line->Key, "RunPostSetupCommands"))
                Add(Line->Line, svWarning,
                    "the uninstall command runs the basic INF engine (InstallHinfSection), "
                    "which ignores RunPostSetupCommands: the folders stay; run the advanced one, "
                    "advpack.dll,LaunchINFSection",
                    "uninstall-section");
        }
}

void TChecker::CheckEngineSignature()
{
    const TSectionIndex* Version = Find("Version");
    const TInfLine* Signature = Key("Version", "Signature");
    std::string Value = Signature ? EngineText(Signature->Value) : "";
    if (Value.size() >= 2 && Value.front() == '"' && Value.back() == '"')
        Value = Value.substr(1, Value.size() - 2);
    if (!Signature)
        Add(Version ? Version->Section->Line : 1, svError,
            "no Signature in [Version]: the system's INF engine refuses the installed copy, and "
            "the uninstall command removes nothing; add Signature=\"$CHICAGO$\"",
            "uninstall-section");
    else if (!IsOneOf(Value, EngineSignatures))
        Add(Signature->Line, svError,
            "the system's INF engine refuses the Signature '" + Signature->Value +
                "' ($CHICAGO$, $Windows NT$ or $Windows 95$), and the uninstall command removes "
                "nothing",
            "uninstall-section");
}

// A folder as the INF engine reads it from the installed copy's [Strings]: a value that ends in a
// backslash there makes the engine read the next line as part of it.
void TChecker::CheckEngineFolder(int Line, const std::string& Text)
{
    std::string Folder = Folded(EngineText(Text));
    if (Folder.find("%INFPATH%") != std::string::npos)
        Add(Line, svError,
            "%InfPath% ends in a backslash in the installed copy, which the INF engine reads as "
            "\"the line goes on\": what lies there stays; write 17 for the INF folder",
            "uninstall-section");
    const TInfLine* LnkName = Key("Strings", "LnkName");
    const TInfLine* StartMenu = Key("Strings", "MyStartMenu");
    if (LnkName && !LnkName->Value.empty())
        return;
    for (const char* Name : {"MyStartMenu", "MenuPath"}) {
        bool Own = SameText(Name, "MyStartMenu") && StartMenu && !StartMenu->Value.empty();
        if (!Own && Folder.find(Folded("%" + std::string(Name) + "%")) != std::string::npos)
            Add(Line, svError,
                "%" + std::string(Name) +
                    "% is the Programs menu, ending in a backslash, when [Strings] has no "
                    "LnkName: the INF engine reads the installed copy's line as going on, and "
                    "the links stay; give LnkName a value",
                "uninstall-section");
    }
}

// [DestinationDirs]: the folder of each file list of the uninstall sections.
void TChecker::CheckDestinationDirs()
{
    std::vector<std::string> FileLists, Unplaced;   // Unplaced: those without an entry
    bool Default = Key("DestinationDirs", "DefaultDestDir") != nullptr;
    for (const char* Directive : FileDirectives)
        for (const auto& Listed : EngineLists(Directive)) {
            FileLists.push_back(Listed.second);
            if (!Key("DestinationDirs", Listed.second))
                Unplaced.push_back(Listed.second);
            if (!Default && !Key("DestinationDirs", Listed.second))
                Add(Listed.first->Line, svError,
                    "[DestinationDirs] has no entry for the " + std::string(Directive) +
                        " list " + Listed.second +
                        ": the INF engine takes its default folder, the system folder, for it, "
                        "and the files stay",
                    "uninstall-section");
        }
    for (const TInfLine* Line : Keys("DestinationDirs")) {
        CheckEngineFolder(Line->Line, Line->Value);
        if (SameText(Line->Key, "DefaultDestDir") || IsOneOf(Line->Key, FileLists))
            continue;
        if (const char* Likely = LikelyName(Line->Key, Unplaced))
            Add(Line->Line, svError,
                "unknown key '" + Line->Key + "' in [DestinationDirs]; did you mean '" + Likely +
                    "'? No file list of the uninstall section has this name",
                "uninstall-section");
        else
            Add(Line->Line, svWarning,
                "no file list of the uninstall section is named '" + Line->Key +
                    "': the INF engine never uses this entry",
                "uninstall-section");
    }
}

// [Strings] keys whose names SETUP.EXE treats apart.
void TChecker::CheckStringsKeys()
{
    for (const TInfLine* Line : Keys("Strings")) {
        if (SameText(Line->Key, "MyProgramPath") && Line->Key != "MyProgramPath")
            Add(Line->Line, svError,
                "'" + Line->Key +
                    "' is not spelled MyProgramPath: SETUP.EXE compares that name exactly, and in "
                    "another letter case sets the variable again from this value after the user "
                    "chose the folder, so the files go here instead of the chosen folder (or the "
                    "earlier installation's)",
                "strings-key");
        else if (SameText(Line->Key, "ProgramFiles") && !Line->Value.empty())
            Add(Line->Line, svWarning,
                "SETUP.EXE takes ProgramFiles from the registry and ignores the value '" +
                    Line->Value + "': declare it empty (ProgramFiles=), or use a name of your own",
                "strings-key");
    }
}

// Names that SETUP.EXE takes as written: a variable in them stays a text with '%'.
void TChecker::CheckLiteralNames()
{
    struct {
        const char* Section;
        const char* Key;
    } const Names[] = {{"Info", "Before"},
                       {"Info", "DifferentDir"},
                       {"Info", "After"},
                       {"Version", "ProjectVersionFile"}};
    for (const auto& Name : Names)
        if (const TInfLine* Line = Key(Name.Section, Name.Key))
            if (!FirstReference(Line->Value).empty())
                Add(Line->Line, svError,
                    "[" + std::string(Name.Section) + "] " + Name.Key +
                        " is taken as written, not expanded: SETUP.EXE looks for '" +
                        Line->Value +
                        "' on the medium; name a file of the medium, relative to the script",
                    "not-expanded");
}

// The destination of each [Files] entry and, with a medium, what the entry installs, walked on
// the medium as SETUP.EXE walks it.
void TChecker::CollectInstalled()
{
    for (const TInfLine* Line : Keys("Files")) {
        TFilesKey Key = SplitFilesKey(Line->Key);
        std::string Dir = Line->Value.empty() ? "%MyProgramPath%" : Line->Value;
        while (!Dir.empty() && Dir.back() == '\\')
            Dir.pop_back();
        std::string Where = Folded(Expanded(Dir));
        while (!Where.empty() && Where.back() == '\\')
            Where.pop_back();
        Destinations.push_back({Line, Where});
        if (Options.Medium)
            WalkMedium(*Line, Key, Key.SubDir, Dir, Where, 0);
    }
}

// With /s every folder below SubDir is made and every file that matches is copied; without it
// the pattern takes files and folders alike, and a folder it takes is walked with it again.
void TChecker::WalkMedium(const TInfLine& Line, const TFilesKey& Key, const std::string& SubDir,
                          const std::string& Dir, const std::string& Where, int Depth)
{
    if (Depth > MediumDepth)
        return;
    for (const TListedEntry& Entry : Options.Medium->List(SubDir)) {
        bool Match = WildcardMatch(Key.Pattern, Entry.Name);
        std::string Here = Where + "\\" + Folded(Entry.Name);
        if (Entry.Folder && (Match || Key.Recursive)) {
            Installed.push_back({&Line, Dir, Entry.Name, true, Here});
            WalkMedium(Line, Key, SubDir.empty() ? Entry.Name : SubDir + "\\" + Entry.Name,
                       Dir + "\\" + Entry.Name, Here, Depth + 1);
        } else if (!Entry.Folder && Match) {
            Installed.push_back({&Line, Dir, Entry.Name, false, Here});
        }
    }
}

// The pattern of a [Files] key takes every part of Below, a path below the entry's destination:
// without /s, folders are walked with the pattern too. With /s any folder may be in the tree, so
// only the medium can tell.
bool PatternCovers(const TFilesKey& Key, const std::string& Below)
{
    if (Key.Recursive)
        return true;
    size_t Begin = 0;
    while (Begin <= Below.size()) {
        size_t End = std::min(Below.find('\\', Begin), Below.size());
        if (!WildcardMatch(Key.Pattern, Below.substr(Begin, End - Begin)))
            return false;
        Begin = End + 1;
    }
    return true;
}

// Whether [Files] puts a file or a folder at Path (expanded with the sample values, folded): as
// the medium shows it when there is one, else as the keys allow; ByKey tells whether the keys
// allow it. A destination that the sample can't resolve may be anywhere, so it counts as yes.
bool TChecker::InstalledByFiles(const std::string& Path, bool& ByKey) const
{
    ByKey = false;
    for (const auto& Destination : Destinations) {
        const std::string& Dir = Destination.second;
        if (HasReference(Dir) || IsAtOrBelow(Dir, Path))
            return ByKey = true;
        if (Path.size() > Dir.size() && IsAtOrBelow(Path, Dir) &&
            PatternCovers(SplitFilesKey(Destination.first->Key), Path.substr(Dir.size() + 1)))
            ByKey = true;
    }
    if (!Options.Medium)
        return ByKey;
    for (const TInstalled& Item : Installed)
        if (IsAtOrBelow(Item.Where, Path))
            return true;
    return false;
}

// The targets of a section's links, which the system's link object wants to exist when the link
// is made (in step Step of the run).
void TChecker::CheckLinkTargets(const std::string& Section, int Step)
{
    std::string InstallDir = Folded(Expanded("%MyProgramPath%"));
    for (const TInfLine* Line : Keys(Section)) {
        TLinkLine Fields;
        if (Line->Value.empty() || !SplitLinkLine(Line->Value, Fields))
            continue;
        std::string Target = Trimmed(Fields.Target);
        // A bare name is looked for on the search path.
        bool Bare = !Target.empty() && Target.find_first_of("\\:") == std::string::npos;
        if (Bare && (SameText(Target, "%rundll%") ||
                     (!HasReference(Target) && Target.find('.') == std::string::npos)))
            Add(Line->Line, svError,
                "the target '" + Target +
                    "' has no extension: the system finds a program on the search path only "
                    "with it, and SETUP.EXE shows \"Error: can't create Link\"; write it with its "
                    "extension, such as %rundll%.exe",
                "link-target");
        if (!StartsWithText(Target, "%MyProgramPath%\\"))
            continue;
        std::string Path = Folded(Expanded(Target));
        while (!Path.empty() && Path.back() == '\\')
            Path.pop_back();
        // The installation folder itself is there from step 8. The system's link object takes no
        // target longer than a path may be, and comparing one would only cost time.
        if (HasReference(Path) || Path == InstallDir || Path.size() > LinkPathLimit)
            continue;
        bool ByKey;
        bool Installs = InstalledByFiles(Path, ByKey) || Path == InstallDir + "\\LOGFILKV.LOG";
        if (Installs && Step < stFiles)
            Add(Line->Line, svWarning,
                "the target " + Target + " is installed only in step " + std::to_string(stFiles) +
                    " of the run, after this link is made in step " + std::to_string(Step) +
                    ": on a first installation the system refuses the link, and SETUP.EXE shows "
                    "\"Error: can't create Link\"",
                "link-target");
        else if (!Installs && ByKey)
            Add(Line->Line, svError,
                "the target " + Target +
                    " is not on the medium, though a [Files] key would take it there: the system "
                    "refuses a link to a file that does not exist, SETUP.EXE shows \"Error: can't "
                    "create Link\" and carries out no further line of [" +
                    Find(Section)->Section->Name + "]",
                "link-target");
        else if (!Installs)
            Add(Line->Line, svError,
                "the target " + Target +
                    " is installed by no [Files] entry: the system refuses a link to a file that "
                    "does not exist, SETUP.EXE shows \"Error: can't create Link\" and carries out "
                    "no further line of [" + Find(Section)->Section->Name + "]",
                "link-target");
    }
}

std::vector<TFinding> TChecker::Run()
{
    IndexSections();
    CheckSignature();
    CollectNamedSections();
    CheckSections();
    CheckRegRead();
    CheckRegWrite("RegWrite");
    CheckRegWrite("RegWriteUninstall");
    CheckFiles();
    CheckLinks("SetMnuLNK");
    for (const char* Name : {"RegWrite", "RegWriteUninstall"})
        if (const TInfLine* Err = Key(Name, "ErrSection"))
            CheckLinks(Err->Value);
    CheckIniWrite();
    CheckMedium();
    CheckVariables();
    CheckLimits();
    CheckUninstallEntry();
    CheckUninstallSection();
    CheckStringsKeys();
    CheckLiteralNames();
    CollectInstalled();
    CheckLinkTargets("SetMnuLNK", stLinks);
    for (const char* Name : {"RegWrite", "RegWriteUninstall"})
        if (const TInfLine* Err = Key(Name, "ErrSection"))
            if (Find(Err->Value))
                CheckLinkTargets(Err->Value,
                                 SameText(Name, "RegWrite") ? stRegWrite : stUninstallEntry);
    CheckUninstallCompleteness();
    std::stable_sort(Findings.begin(), Findings.end(),
                     [](const TFinding& A, const TFinding& B) { return A.Line < B.Line; });
    return Findings;
}

}   // namespace

std::vector<TFinding> CheckScript(const TInfFile& File, const TCheckOptions& Options)
{
    return TChecker(File, Options).Run();
}

const char* SeverityText(TSeverity Severity)
{
    return Severity == svError ? "error" : Severity == svWarning ? "warning" : "note";
}

bool WildcardMatch(const std::string& Pattern, const std::string& Name)
{
    if (Pattern == "*.*")
        return true;
    // After a mismatch the last * takes one more character: no backtracking beyond it, so a
    // pattern of many stars costs no more than one.
    size_t P = 0, N = 0, Star = std::string::npos, Resume = 0;
    while (N < Name.size()) {
        if (P < Pattern.size() && Pattern[P] == '*') {
            Star = P++;
            Resume = N;
        } else if (P < Pattern.size() &&
                   (Pattern[P] == '?' || SameText(Pattern.substr(P, 1), Name.substr(N, 1)))) {
            ++P;
            ++N;
        } else if (Star != std::string::npos) {
            P = Star + 1;
            N = ++Resume;
        } else {
            return false;
        }
    }
    while (P < Pattern.size() && Pattern[P] == '*')
        ++P;
    return P == Pattern.size();
}
