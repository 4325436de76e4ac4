// Whole runs written as data: each file scenarios/<Suite>.<Case>.scenario is one test, carried
// out here by one driver and registered with ctest as <Suite>.<Case> (label "scenario").
//
// A scenario is a list of steps, carried out from top to bottom, one step a line. Blank lines and
// lines that start with '#' are left out. Lines indented by four blanks are the block of the step
// above them (a file's lines, each ended by CR LF). " = VALUE" ends a step that writes or expects
// a value; "... =" at the end of a line is the empty value.
//
// In every text, ${Name} is a value of the test's own, so that scenarios run side by side:
//   ${Medium} the medium (SETUP.EXE's folder)   ${App} ${Medium}\App   ${Tmp} tmp, temp and the
//   current folder of the runs   ${Inf} an INF name of the test's own   ${InfCopy} its copy in
//   ${InfDir}, the Windows INF folder   ${Key} Software\SetupTest\<test> (HKCU, and HKLM too)
//   ${Own} a name of the test's own for menu folders, Program Files folders and uninstall entries
//   ${Uninstall} the uninstall entry's key of ${Own}   ${Programs} ${ProgramFiles} ${Fixtures}
//   ${Caption} the dialogs' title   ${ProjectVersion} "1.00"   ${Log} ${App}\LOGFILKV.LOG
// or a computed one: ${Date:2020} (1 June 2020, as the user's short date), ${Noon:2020} (its noon
// as the log writes a file time: date and time), ${Repeat:3:ab}, ${Env:windir} (this process's),
// ${Short:PATH} (the short form), ${SystemText:3} (an error code's text, without the full stop).
// <TAB>, <CR>, <LF>, <CRLF> and <SP> stand for those characters (<SP>: a blank that ends a line).
// Paths that are not absolute are in the medium. What the test's own names leave outside the
// medium is removed before and after the test.
//
// Steps that prepare:
//   set NAME = TEXT                  a value ${NAME} of the scenario's own (${Log} too)
//   file PATH = TEXT                 a file holding TEXT; "file PATH" with a block: its lines
//   fixture PATH = VERSION           a copy of the fixtures' Version<VERSION>.dll
//   dir PATH                         a folder, with the missing ones above it
//   written PATH = YEAR              last written at midnight UTC of 1 June YEAR; "YEAR noon"
//   attributes PATH = hidden readonly ...     exactly these ("normal" for none)
//   delete PATH                      a file, or a folder with everything in it
//   reg HKCU\KEY [NAME] = sz:TEXT | expand:TEXT | dword:NUMBER     ([] the default value)
//   env NAME = TEXT                  in the environment of every later run
//   snapshot                         reads the test's own part of the machine, for the checks
//                                    of the machine below: the medium but tmp, ${App} with it;
//                                    ${ProgramFiles}\${Own}; ${Programs}\${Own} with its links;
//                                    ${InfCopy}; HKCU\${Key}, HKLM\${Key} and ${Uninstall} in
//                                    both, every key and value below; the renames at the next
//                                    start that name one of these paths. With a block: the paths
//                                    in it too (files or folders). The log where ${Log} is at the
//                                    snapshot is left out (every run writes it; expect log checks
//                                    it); so is a folder's own time, which follows its files.
//   deny HKCU\KEY = create-subkey set-value ...   the key (made if missing, volatile to refuse
//                                    subkeys under Wine too) refuses everyone these rights, as
//                                    HKLM\Software refuses a standard user
// A run: SETUP.EXE from the medium, answering its dialogs in order:
//   run ARGUMENTS
//   answer ANSWER                    the robot's syntax; ids by name: IDOK, idBuf, idBackup, ...
// A plan: SETUP.EXE /plan=FILE ARGUMENTS (FILE beside the medium, so that no [Files] entry takes
// it), which must end with exit code 0 and change nothing that a snapshot reads, the log neither.
// Every run that asks no question is planned first, with its arguments, and the log where the
// plan said it would be must then tell, line for line, what the plan said the run would do. A run
// asks a question when one of its answers is not "click IDOK", "click IDYES" or
// "default" (AsksQuestion in Scenario.h tells why). A line above a run changes that:
//   plan: none REASON                not planned: what the design keeps a plan from knowing (a
//                                    run that fails before its log, the in-use dialog's Retry)
//   plan: known-mismatch CAUSE       planned, and the plan must still differ from the log (a
//                                    fault of the plan, known and not yet mended)
// And by hand, for a plan of other arguments:
//   plan ARGUMENTS
//   expect plan matches log          after the run
// Expectations about the last run and what it left:
//   expect exit = N                  its exit code (0 unless given); every answer must be used,
//                                    no other dialog come, and the run end in time
//   expect dialogs = N               how many dialogs came
//   expect dialog N box = TEXT       dialog N (from 1) is a message box showing TEXT
//   expect dialog N template = TEXT  ... one of the program's templates showing TEXT
//   expect dialog N like = PATTERN   its message matches (* any text, ? any one character)
//   expect dialog N [ID] = TEXT      the text of its control ID
//   expect dialog N [ID] checked | unchecked
//   expect report = TEXT             the last dialog is the template showing TEXT
//   expect titles = TEXT             the title of every dialog
//   expect notepads = N
//   expect notepad N = TEXT          what Notepad N showed; "like = PATTERN": matching it
//   expect notepad N title like = PATTERN
//   expect notepad N open | closed   when the run had ended
//   expect file PATH holds = TEXT    exactly; "holds" with a block: its lines
//   expect file PATH contains = TEXT | lacks = TEXT | like = PATTERN
//   expect file PATH line = TEXT     a whole line of it; "lines" with a block: these, in a row
//   expect file PATH same-as = PATH2 the same bytes; written-as = PATH2: the same last write
//   expect file PATH exists | absent
//   expect file PATH attributes = archive ...     exactly; +hidden -readonly ...: these set or not
//   expect log ...                   the same for the file ${Log}
//   expect names PATTERN = NAME, ... what a directory search finds, sorted ("=" for nothing)
//   expect ini FILE [SECTION] KEY = VALUE         (<missing> when there is none)
//   expect reg HKCU\KEY [NAME] = sz:TEXT | expand:TEXT | dword:NUMBER | missing
//   expect key HKCU\KEY exists | absent
//   expect link PATH [FIELD] = TEXT  Target, Arguments, WorkDir, IconFile or IconIndex
//   expect machine as snapshot       nothing changed since the snapshot; else each difference
//                                    with what it was before and after
//   expect machine changed           exactly the changes in its block, one a line (or one after
//                                    " = "), in any order: ITEM: added | removed | ASPECTS, where
//                                    ITEM is "file PATH", "folder PATH", "key HKCU\KEY",
//                                    "value HKLM\KEY [NAME]" or "rename FROM -> TO" (FROM and
//                                    TO as the list holds them, "\??\C:\..."), and ASPECTS the
//                                    ones that differ, in this order: a file's "bytes written
//                                    attributes", a folder's "attributes", a value's "type data"
#include <windows.h>

#include <sddl.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <map>
#include <sstream>

#include "Scenario.h"
#include "Setup/base/DlgIds.h"
#include "resources/Version.h"

namespace {

// The scenarios in the source tree, as Wine shows it.
const std::string ScenarioDir = "Z:" SETUP_SOURCE_DIR "\\tests\\wholerun\\scenarios";
const std::string UninstallRoot = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const std::string Indent = "    ";

struct TStep {
    int Line = 0;
    std::string Text;                   // the line, trimmed
    std::vector<std::string> Block;     // the indented lines below it, without the indent
    std::vector<std::string> Answers;   // of a run
    unsigned long ExitCode = 0;         // of a run
    std::string PlanMark;               // of a run: "none REASON", "known-mismatch CAUSE" or ""
};

// Text without the blanks and tabs around it.
std::string Trim(const std::string& Text)
{
    size_t First = Text.find_first_not_of(" \t");
    if (First == std::string::npos)
        return "";
    return Text.substr(First, Text.find_last_not_of(" \t") - First + 1);
}

// The first word of Text, and the rest after it, trimmed.
std::string FirstWord(const std::string& Text, std::string* Rest = nullptr)
{
    size_t End = Text.find(' ');
    std::string Word = Text.substr(0, End);
    if (Rest)
        *Rest = End == std::string::npos ? "" : Trim(Text.substr(End));   // Rest may be Text
    return Word;
}

// The last word of Text, and what is before it, trimmed.
std::string LastWord(const std::string& Text, std::string& Before)
{
    size_t Start = Text.rfind(' ');
    std::string Word = Start == std::string::npos ? Text : Text.substr(Start + 1);
    Before = Start == std::string::npos ? "" : Trim(Text.substr(0, Start));
    return Word;
}

// Splits "LEFT = VALUE" at its first " = "; false when the line gives no value.
bool SplitValue(const std::string& Text, std::string& Left, std::string& Value)
{
    size_t At = Text.find(" = ");
    if (At == std::string::npos && Text.size() >= 2 && Text.compare(Text.size() - 2, 2, " =") == 0)
        At = Text.size() - 2;
    Left = At == std::string::npos ? Text : Trim(Text.substr(0, At));
    Value = At == std::string::npos || At + 3 > Text.size() ? "" : Text.substr(At + 3);
    return At != std::string::npos;
}

// Splits "SUBJECT [NAME] REST" at its brackets; false when it has none.
bool SplitBrackets(const std::string& Text, std::string& Subject, std::string& Name,
                   std::string& Rest)
{
    size_t Open = Text.find('[');
    size_t Close = Open == std::string::npos ? Open : Text.find(']', Open);
    if (Close == std::string::npos)
        return false;
    Subject = Trim(Text.substr(0, Open));
    Name = Text.substr(Open + 1, Close - Open - 1);
    Rest = Trim(Text.substr(Close + 1));
    return true;
}

// A whole number in decimal, or in hex after 0x; false for anything else.
bool ParseNumber(const std::string& Text, unsigned long& Number)
{
    if (Text.empty())
        return false;
    char* End = nullptr;
    Number = std::strtoul(Text.c_str(), &End, 0);
    return *End == '\0';
}

// Text against a pattern where * is any text and ? any one character; each * tries every length,
// which is quick enough for the few stars of a scenario's patterns.
bool Matches(const char* Text, const char* Pattern)
{
    for (; *Pattern != '*'; ++Pattern, ++Text) {
        if (!*Pattern)
            return !*Text;
        if (!*Text || (*Pattern != '?' && *Pattern != *Text))
            return false;
    }
    for (const char* Rest = Text;; ++Rest) {
        if (Matches(Rest, Pattern + 1))
            return true;
        if (!*Rest)
            return false;
    }
}

bool Matches(const std::string& Text, const std::string& Pattern)
{
    return Matches(Text.c_str(), Pattern.c_str());
}

// Reads a scenario; false with the line and the reason in Error for a malformed one.
bool ReadSteps(const std::string& Text, std::vector<TStep>& Steps, std::string& Error)
{
    std::istringstream In(Text);
    std::string Line;
    int Number = 0;
    size_t LastRun = std::string::npos;
    std::string PlanMark;   // for the next run
    while (std::getline(In, Line)) {
        ++Number;
        if (!Line.empty() && Line.back() == '\r')
            Line.pop_back();
        std::string Bare = Trim(Line);
        std::string Where = "line " + std::to_string(Number) + ": ";
        if (Bare.empty() || (Bare[0] == '#' && Line.rfind(Indent, 0) != 0))
            continue;
        if (Line.rfind(Indent, 0) == 0) {
            if (Steps.empty()) {
                Error = Where + "a block without a step above it";
                return false;
            }
            Steps.back().Block.push_back(Line.substr(Indent.size()));
            continue;
        }
        std::string Rest, Verb = FirstWord(Bare, &Rest);
        if (Verb == "answer") {
            if (Steps.empty() || FirstWord(Steps.back().Text) != "run") {
                Error = Where + "an answer that does not follow its run";
                return false;
            }
            Steps.back().Answers.push_back(Rest);
            continue;
        }
        std::string Reason, Kind = FirstWord(Rest, &Reason);
        if (Verb == "plan:") {
            if (!PlanMark.empty() || (Kind != "none" && Kind != "known-mismatch") ||
                Reason.empty()) {
                Error = Where + "expected one plan: none REASON or plan: known-mismatch CAUSE";
                return false;
            }
            PlanMark = Rest;
            continue;
        }
        std::string Left, Value;
        if (Verb == "expect" && SplitValue(Rest, Left, Value) && Left == "exit") {
            if (LastRun == std::string::npos || !ParseNumber(Value, Steps[LastRun].ExitCode)) {
                Error = Where + "an exit code needs a number and a run before it";
                return false;
            }
            continue;
        }
        TStep Step;
        Step.Line = Number;
        Step.Text = Bare;
        if (Verb == "run") {
            LastRun = Steps.size();
            Step.PlanMark.swap(PlanMark);
        }
        Steps.push_back(Step);
    }
    if (!PlanMark.empty())
        Error = "a plan: line without a run after it";
    return PlanMark.empty();
}

// The lines of a block, each ended by CR LF, as a file holds them.
std::string BlockText(const std::vector<std::string>& Block)
{
    std::string Text;
    for (const std::string& Line : Block)
        Text += Line + "\r\n";
    return Text;
}

// Lines (each ended by CR LF) stand in Text in a row, the first at the start of a line.
bool HasLines(const std::string& Text, const std::string& Lines)
{
    return Text.rfind(Lines, 0) == 0 || Text.find("\r\n" + Lines) != std::string::npos;
}

struct TFlag {
    const char* Name;
    DWORD Bit;
};
const TFlag Attributes[] = {
    {"readonly", FILE_ATTRIBUTE_READONLY}, {"hidden", FILE_ATTRIBUTE_HIDDEN},
    {"system", FILE_ATTRIBUTE_SYSTEM},     {"directory", FILE_ATTRIBUTE_DIRECTORY},
    {"archive", FILE_ATTRIBUTE_ARCHIVE},   {"normal", FILE_ATTRIBUTE_NORMAL}};

const TFlag KeyRights[] = {{"create-subkey", KEY_CREATE_SUB_KEY}, {"set-value", KEY_SET_VALUE}};

// The flag of Flags that a scenario names; false for a name it does not know.
template <size_t N> bool FlagBit(const TFlag (&Flags)[N], const std::string& Name, DWORD& Bit)
{
    for (const TFlag& Flag : Flags)
        if (Name == Flag.Name) {
            Bit = Flag.Bit;
            return true;
        }
    return false;
}

bool AttributeBit(const std::string& Name, DWORD& Bit)
{
    return FlagBit(Attributes, Name, Bit);
}

// The flags of Flags that a scenario names, separated by blanks; false for a name it does not
// know, which Unknown then holds.
template <size_t N>
bool FlagBits(const TFlag (&Flags)[N], const std::string& Names, DWORD& Bits, std::string& Unknown)
{
    std::istringstream In(Names);
    DWORD Bit = 0;
    for (Bits = 0; In >> Unknown; Bits |= Bit)
        if (!FlagBit(Flags, Unknown, Bit))
            return false;
    return true;
}

// The control ids that answers and checks name.
const std::map<std::string, int> ControlIds = {
    {"IDOK", IDOK},         {"IDCANCEL", IDCANCEL},       {"IDYES", IDYES},
    {"IDNO", IDNO},         {"idOverwrite", idOverwrite}, {"idText", idText},
    {"idBuf", idBuf},       {"idBrowse", idBrowse},       {"idBackup", idBackup},
    {"idAlways", idAlways}, {"idShowLog", idShowLog},     {"idLink", idLink}};

// A control named by its id constant or by its number.
bool ControlId(const std::string& Name, int& Id)
{
    auto Found = ControlIds.find(Name);
    unsigned long Number = 0;
    Id = Found != ControlIds.end() ? Found->second : ParseNumber(Name, Number) ? int(Number) : -1;
    return Id >= 0;
}

// An answer with its ids named, in the robot's syntax, which takes numbers.
std::string NumberedAnswer(const std::string& Answer)
{
    std::string Result;
    std::istringstream Actions(Answer);
    std::string Action;
    while (std::getline(Actions, Action, ';')) {
        std::string Rest, Verb = FirstWord(Trim(Action), &Rest);
        std::string Tail, Name = FirstWord(Rest, &Tail);
        auto Id = ControlIds.find(Name);
        if ((Verb == "click" || Verb == "check" || Verb == "type") && Id != ControlIds.end())
            Action = Verb + " " + std::to_string(Id->second) + (Tail.empty() ? "" : " " + Tail);
        Result += (Result.empty() ? "" : "; ") + Trim(Action);
    }
    return Result;
}

// A registry value: its type and its bytes as the registry holds them.
struct TRegValue {
    DWORD Type = REG_NONE;   // REG_NONE: missing
    std::string Data;
};

// A value as a scenario writes it: "sz:TEXT", "expand:TEXT", "dword:NUMBER" or "missing".
bool ParseRegValue(const std::string& Text, TRegValue& Value)
{
    std::string Kind = Text.substr(0, Text.find(':'));
    std::string Data = Text.find(':') == std::string::npos ? "" : Text.substr(Kind.size() + 1);
    unsigned long Number = 0;
    if (Kind == "sz" || Kind == "expand") {
        Value.Type = Kind == "sz" ? REG_SZ : REG_EXPAND_SZ;
        Value.Data = Data + '\0';
    } else if (Kind == "dword" && ParseNumber(Data, Number)) {
        uint32_t Dword = uint32_t(Number);
        Value.Type = REG_DWORD;
        Value.Data.assign(reinterpret_cast<const char*>(&Dword), sizeof Dword);
    } else {
        return Text == "missing";
    }
    return true;
}

// A value in the words of ParseRegValue, for comparing and for failure messages.
std::string DescribeRegValue(const TRegValue& Value)
{
    switch (Value.Type) {
    case REG_NONE:
        return "missing";
    case REG_SZ:
        return "sz:" + EscapeText(Value.Data);
    case REG_EXPAND_SZ:
        return "expand:" + EscapeText(Value.Data);
    case REG_DWORD:
        if (Value.Data.size() == 4)
            return "dword:" + std::to_string(*reinterpret_cast<const uint32_t*>(Value.Data.data()));
    }
    return "type " + std::to_string(Value.Type) + ":" + EscapeText(Value.Data);
}

// "HKCU\..." or "HKLM\..." as a root and a subkey.
bool ParseKey(const std::string& Text, HKEY& Root, std::string& SubKey)
{
    std::string Name = Text.substr(0, Text.find('\\'));
    Root = Name == "HKCU" ? HKEY_CURRENT_USER : Name == "HKLM" ? HKEY_LOCAL_MACHINE : nullptr;
    SubKey = Text.find('\\') == std::string::npos ? "" : Text.substr(Name.size() + 1);
    return Root != nullptr && !SubKey.empty();
}

// The value Name of Root\SubKey; missing when the key or the value is.
TRegValue ReadRegValue(HKEY Root, const std::string& SubKey, const std::string& Name)
{
    TRegValue Value;
    HKEY Key;
    if (RegOpenKeyExA(Root, SubKey.c_str(), 0, KEY_QUERY_VALUE, &Key) != ERROR_SUCCESS)
        return Value;
    DWORD Size = 0;
    if (RegQueryValueExA(Key, Name.c_str(), nullptr, &Value.Type, nullptr, &Size) ==
        ERROR_SUCCESS) {
        Value.Data.assign(Size, '\0');
        if (RegQueryValueExA(Key, Name.c_str(), nullptr, &Value.Type,
                             reinterpret_cast<BYTE*>(&Value.Data[0]), &Size) != ERROR_SUCCESS)
            Value = TRegValue();
    } else {
        Value.Type = REG_NONE;
    }
    RegCloseKey(Key);
    return Value;
}

// The last-write time of the file at Path; 0 when it can't be read.
uint64_t WrittenAt(const std::string& Path)
{
    WIN32_FILE_ATTRIBUTE_DATA Data;
    if (!GetFileAttributesExA(Path.c_str(), GetFileExInfoStandard, &Data))
        return 0;
    return (uint64_t(Data.ftLastWriteTime.dwHighDateTime) << 32) |
           Data.ftLastWriteTime.dwLowDateTime;
}

// The title of every dialog, and the version that %ProjectVersion% names, from the version
// numbers of SETUP.EXE itself.
std::string Caption()
{
    char Text[64];
    snprintf(Text, sizeof Text, "SETUP V%d.%.2d.%.4d.%.4d", SETUP_VERSION_MAJOR,
             SETUP_VERSION_MINOR, SETUP_VERSION_RELEASE, SETUP_VERSION_BUILD);
    return Text;
}

std::string ProjectVersion()
{
    char Text[32];
    snprintf(Text, sizeof Text, "%d.%.2d", SETUP_VERSION_MAJOR, SETUP_VERSION_MINOR);
    return Text;
}

// The Program Files folder as the registry names it.
std::string ProgramFilesDir()
{
    char Dir[MAX_PATH + 1] = "";
    DWORD Size = sizeof Dir;
    RegGetValueA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion",
                 "ProgramFilesDir", RRF_RT_REG_SZ, nullptr, Dir, &Size);
    return Dir;
}

// Noon UTC of 1 June of Year, and that time as the log writes it: date, a blank, time (the log
// leaves out the time of a file written at midnight).
SYSTEMTIME June1Noon(int Year)
{
    SYSTEMTIME Time = June1(Year);
    Time.wHour = 12;
    return Time;
}

std::string NoonText(int Year)
{
    SYSTEMTIME Time = June1Noon(Year);
    char Clock[100] = "";
    GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &Time, nullptr, Clock, sizeof Clock);
    return DateText(Year) + " " + Clock;
}

// A failed check, with its reason.
::testing::AssertionResult Failed(const std::string& Why)
{
    return ::testing::AssertionFailure() << Why;
}

// What was Found as Expected; else a failure that shows both.
::testing::AssertionResult Equal(const std::string& What, const std::string& Found,
                                 const std::string& Expected)
{
    if (Found == Expected)
        return ::testing::AssertionSuccess();
    return Failed(What + "\n  is:       \"" + EscapeText(Found) + "\"\n  expected: \"" +
                  EscapeText(Expected) + "\"");
}

// One scenario's medium, key and INF name, its values, and its latest run.
class TScenarioRun {
public:
    explicit TScenarioRun(const std::string& Name);
    ~TScenarioRun() { RemoveTraces(); }
    void Carry(const std::string& Name);

private:
    TScenario Medium;
    TTestKey Key;
    TInstalledInf Inf;
    std::map<std::string, std::string> Values;
    TEnvOverrides Env;
    TRunResult Run;
    TMachinePlaces Places;   // of the snapshot
    TMachine Snapshot;

    void RemoveTraces() const;
    std::string Expand(const std::string& Text) const;
    std::string Computed(const std::string& Name) const;
    std::string PathOf(const std::string& Text) const { return Medium.Path(Expand(Text)); }
    std::vector<std::string> NumberedAnswers(const TStep& Step) const;
    bool DoRun(const TStep& Step);
    bool PlanAndRun(const TStep& Step, bool PlannedByHand);
    ::testing::AssertionResult DoPlan(const TStep& Step);
    TMachinePlaces OwnPlaces() const;
    std::string PlanFile() const { return Medium.PlanFile(); }
    ::testing::AssertionResult Prepare(const TStep& Step);
    void TakeSnapshot(const std::vector<std::string>& Block);
    ::testing::AssertionResult Expect(const TStep& Step) const;
    ::testing::AssertionResult ExpectDialog(size_t Index, const std::string& Rest,
                                            const std::string& Value) const;
    ::testing::AssertionResult ExpectFile(const std::string& Path, const std::string& Verb,
                                          const std::string& Value,
                                          const std::vector<std::string>& Block) const;
    ::testing::AssertionResult ExpectIn(const std::string& Kind, const std::string& Left,
                                        const std::string& Value) const;
};

TScenarioRun::TScenarioRun(const std::string& Name) : Inf("SetupTest." + Name + ".")
{
    std::string Own = "SetupTest." + Medium.Id;
    Values = {{"Medium", Medium.Dir},
              {"App", Medium.Path("App")},
              {"Tmp", Medium.TmpDir},
              {"Inf", Inf.Name},
              {"InfCopy", Inf.Installed},
              {"InfDir", WindowsInfDir()},
              {"Key", Key.SubKey},
              {"Own", Own},
              {"Uninstall", UninstallRoot + Own},
              {"Programs", ProgramsFolder()},
              {"ProgramFiles", ProgramFilesDir()},
              {"Fixtures", FixturesDir()},
              {"Caption", Caption()},
              {"ProjectVersion", ProjectVersion()},
              {"Log", Medium.Path("App\\LOGFILKV.LOG")}};
    RemoveTraces();
}

// What the test's own names may have left outside the medium: the INF copy (or a folder in its
// place), HKLM keys, and folders in the Programs menu and in Program Files.
void TScenarioRun::RemoveTraces() const
{
    RemoveDirectoryA(Inf.Installed.c_str());
    for (const char* Name : {"Key", "Uninstall"})
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, Values.at(Name).c_str());
    for (const char* Folder : {"Programs", "ProgramFiles"})
        if (!Values.at(Folder).empty())
            RemoveTree(Values.at(Folder) + "\\" + Values.at("Own"));
}

// The end of the placeholder that starts at Text[At] ("${"), nested ones included.
size_t PlaceholderEnd(const std::string& Text, size_t At)
{
    int Depth = 0;
    for (size_t I = At; I < Text.size(); ++I) {
        if (Text.compare(I, 2, "${") == 0)
            ++Depth;
        else if (Text[I] == '}' && --Depth == 0)
            return I;
    }
    return std::string::npos;
}

// Text with its placeholders (inner ones first) and its character names replaced.
std::string TScenarioRun::Expand(const std::string& Text) const
{
    static const std::pair<const char*, const char*> Tokens[] = {
        {"<CRLF>", "\r\n"}, {"<TAB>", "\t"}, {"<CR>", "\r"}, {"<LF>", "\n"}, {"<SP>", " "}};
    std::string Out;
    for (size_t At = 0; At < Text.size();) {
        size_t End = Text.compare(At, 2, "${") == 0 ? PlaceholderEnd(Text, At) : std::string::npos;
        if (End != std::string::npos) {
            Out += Computed(Expand(Text.substr(At + 2, End - At - 2)));
            At = End + 1;
            continue;
        }
        auto Token = std::find_if(std::begin(Tokens), std::end(Tokens), [&](const auto& T) {
            return Text.compare(At, strlen(T.first), T.first) == 0;
        });
        if (Token != std::end(Tokens)) {
            Out += Token->second;
            At += strlen(Token->first);
        } else {
            Out += Text[At++];
        }
    }
    return Out;
}

// The value of the placeholder ${Name}: a value of the test's own, or a computed one; an
// unknown one fails the test.
std::string TScenarioRun::Computed(const std::string& Name) const
{
    auto Found = Values.find(Name);
    if (Found != Values.end())
        return Found->second;
    std::string Kind = Name.substr(0, Name.find(':'));
    std::string Arg = Name.find(':') == std::string::npos ? "" : Name.substr(Kind.size() + 1);
    unsigned long Number = 0;
    std::string Count = Arg.substr(0, Arg.find(':'));
    if ((Kind == "Date" || Kind == "Noon") && ParseNumber(Arg, Number))
        return Kind == "Date" ? DateText(int(Number)) : NoonText(int(Number));
    if (Kind == "Repeat" && Arg.find(':') != std::string::npos && ParseNumber(Count, Number)) {
        std::string Result;
        for (unsigned long I = 0; I < Number; ++I)
            Result += Arg.substr(Count.size() + 1);
        return Result;
    }
    if (Kind == "SystemText" && ParseNumber(Arg, Number)) {
        std::string Text = SystemText(DWORD(Number));
        return Text.substr(0, Text.find_last_not_of(" .") + 1);   // as a box shows it
    }
    char Text[32768] = "";
    DWORD Length = 0;
    if (Kind == "Env")
        Length = GetEnvironmentVariableA(Arg.c_str(), Text, sizeof Text);
    else if (Kind == "Short")
        Length = GetShortPathNameA(Arg.c_str(), Text, sizeof Text);
    if (Length > 0 && Length < sizeof Text)
        return Text;
    ADD_FAILURE() << "no value for ${" << Name << "}";
    return "";
}

// The answers of the run Step in the robot's syntax.
std::vector<std::string> TScenarioRun::NumberedAnswers(const TStep& Step) const
{
    std::vector<std::string> Answers;
    for (const std::string& Answer : Step.Answers)
        Answers.push_back(NumberedAnswer(Expand(Answer)));
    return Answers;
}

// Carries out the run Step; false when it did not go as its answers and exit code said.
bool TScenarioRun::DoRun(const TStep& Step)
{
    std::vector<std::string> Answers = NumberedAnswers(Step);
    std::string Args;
    FirstWord(Step.Text, &Args);
    Run = Medium.Run(Expand(Args), Answers, Env);
    ::testing::AssertionResult Ran = RanAsAnswered(Run, Step.ExitCode);
    EXPECT_TRUE(Ran);
    return bool(Ran);
}

::testing::AssertionResult TScenarioRun::DoPlan(const TStep& Step)
{
    std::string Args;
    FirstWord(Step.Text, &Args);
    TMachine Before = ReadMachine(OwnPlaces());
    DeleteFileA(PlanFile().c_str());   // the plan of an earlier run
    TRunResult Planned = Medium.Run("/plan=" + PlanFile() + " " + Expand(Args), {}, Env);
    ::testing::AssertionResult Ran = RanAsAnswered(Planned);
    if (!Ran)
        return Ran;
    return ChangedExactly(Before, ReadMachine(OwnPlaces()), {}) << "\n(by the plan)";
}

// The test's own part of the machine, which a plan must leave as it was: the medium but its tmp
// folder, the Program Files and menu folders of its own name, its INF copy, its keys in HKCU and
// HKLM (and with them the renames at the next start that name these paths).
TMachinePlaces TScenarioRun::OwnPlaces() const
{
    TMachinePlaces Own = {{Medium.Dir, Values.at("InfCopy")}, {Medium.TmpDir}, {}};
    for (const char* Folder : {"Programs", "ProgramFiles"})
        if (!Values.at(Folder).empty())
            Own.Paths.push_back(Values.at(Folder) + "\\" + Values.at("Own"));
    for (const char* Root : {"HKCU\\", "HKLM\\"})
        for (const char* Name : {"Key", "Uninstall"})
            Own.Keys.push_back(Root + Values.at(Name));
    return Own;
}

// Reads the test's own part of the machine, with the paths of Block too, for a run to leave as
// it was. The log where ${Log} then is, is left out: every run writes it.
void TScenarioRun::TakeSnapshot(const std::vector<std::string>& Block)
{
    Places = OwnPlaces();
    Places.Skip.push_back(Values.at("Log"));
    for (const std::string& Path : Block)
        Places.Paths.push_back(PathOf(Path));
    Snapshot = ReadMachine(Places);
}

// The key Text (HKCU\..., made if missing) refuses everyone the rights Names, and grants every
// other: a deny entry, which the system weighs before any grant. Wine asks no right of a key
// when a key is created below it; a new key that is to refuse subkeys is made volatile, which
// refuses every lasting subkey there as the deny entry does on Windows.
::testing::AssertionResult DenyKey(const std::string& Text, const std::string& Names)
{
    HKEY Root, Key;
    std::string SubKey, Name;
    DWORD Rights = 0;
    if (!ParseKey(Text, Root, SubKey) || !FlagBits(KeyRights, Names, Rights, Name) || !Rights)
        return Failed("expected deny HKCU\\KEY = create-subkey set-value ...");
    PSECURITY_DESCRIPTOR Sd = nullptr;
    std::string Sddl = "D:(D;;" + std::to_string(Rights) + ";;;WD)(A;;KA;;;WD)";
    DWORD Volatile = Rights & KEY_CREATE_SUB_KEY ? REG_OPTION_VOLATILE : 0;
    // Only the key itself: keys above it made volatile here would refuse the lasting keys that
    // every later test makes below them, until Wine's server ends.
    size_t Cut = SubKey.rfind('\\');
    if (Cut != std::string::npos &&
        RegCreateKeyExA(Root, SubKey.substr(0, Cut).c_str(), 0, nullptr, 0, KEY_READ, nullptr, &Key,
                        nullptr) == ERROR_SUCCESS)
        RegCloseKey(Key);
    LONG Status = RegCreateKeyExA(Root, SubKey.c_str(), 0, nullptr, Volatile, WRITE_DAC, nullptr,
                                  &Key, nullptr);
    if (Status == ERROR_SUCCESS) {
        Status = ConvertStringSecurityDescriptorToSecurityDescriptorA(Sddl.c_str(), SDDL_REVISION_1,
                                                                      &Sd, nullptr)
                     ? RegSetKeySecurity(Key, DACL_SECURITY_INFORMATION, Sd)
                     : LONG(GetLastError());
        LocalFree(Sd);
        RegCloseKey(Key);
    }
    return Status == ERROR_SUCCESS
               ? ::testing::AssertionSuccess()
               : Failed("can't deny the rights: error " + std::to_string(Status));
}

// Carries out a step that prepares the medium, the registry or the runs' environment.
::testing::AssertionResult TScenarioRun::Prepare(const TStep& Step)
{
    std::string Rest, Verb = FirstWord(Step.Text, &Rest);
    std::string Left, Value;
    bool HasValue = SplitValue(Rest, Left, Value);
    Value = Expand(Value);
    if (Verb == "set" && HasValue) {
        Values[Left] = Value;
    } else if (Verb == "file" && (HasValue || !Step.Block.empty())) {
        Medium.WriteText(PathOf(Left), HasValue ? Value : Expand(BlockText(Step.Block)));
    } else if (Verb == "fixture" && HasValue) {
        std::string Path = PathOf(Left);
        Medium.MakeDir(Path.substr(0, Path.rfind('\\')));
        std::string Fixture = FixturesDir() + "\\Version" + Value + ".dll";
        if (!CopyFileA(Fixture.c_str(), Path.c_str(), FALSE))
            return Failed("can't copy " + Fixture + ": error " + std::to_string(GetLastError()));
    } else if (Verb == "dir" && !HasValue) {
        Medium.MakeDir(PathOf(Left));
    } else if (Verb == "written" && HasValue) {
        std::string Noon;
        unsigned long Year = 0;
        if (!ParseNumber(FirstWord(Value, &Noon), Year) || (Noon != "" && Noon != "noon"))
            return Failed("expected: written PATH = YEAR, or YEAR noon");
        SetLastWriteTime(PathOf(Left), Noon.empty() ? June1(int(Year)) : June1Noon(int(Year)));
    } else if (Verb == "attributes" && HasValue) {
        DWORD All = 0;
        std::string Name;
        if (!FlagBits(Attributes, Value, All, Name))
            return Failed("no attribute " + Name);
        if (!SetFileAttributesA(PathOf(Left).c_str(), All))
            return Failed("can't set the attributes: error " + std::to_string(GetLastError()));
    } else if (Verb == "delete" && !HasValue) {
        std::string Path = PathOf(Left);
        SetFileAttributesA(Path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (!DeleteFileA(Path.c_str()))
            RemoveTree(Path);
    } else if (Verb == "snapshot" && Rest.empty()) {
        TakeSnapshot(Step.Block);
    } else if (Verb == "env" && HasValue) {
        Env.push_back({Left, Value});
    } else if (Verb == "deny" && HasValue) {
        return DenyKey(Expand(Left), Value);
    } else if (Verb == "reg" && HasValue) {
        std::string KeyText, Name, After, SubKey;
        HKEY Root, Opened;
        TRegValue Wanted;
        if (!SplitBrackets(Left, KeyText, Name, After) ||
            !ParseKey(Expand(KeyText), Root, SubKey) || !ParseRegValue(Value, Wanted) ||
            Wanted.Type == REG_NONE)
            return Failed("expected reg HKCU\\KEY [NAME] = sz:TEXT, expand:TEXT or dword:NUMBER");
        LONG Status = RegCreateKeyExA(Root, SubKey.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                      &Opened, nullptr);
        if (Status == ERROR_SUCCESS) {
            Status = RegSetValueExA(Opened, Expand(Name).c_str(), 0, Wanted.Type,
                                    reinterpret_cast<const BYTE*>(Wanted.Data.data()),
                                    DWORD(Wanted.Data.size()));
            RegCloseKey(Opened);
        }
        if (Status != ERROR_SUCCESS)
            return Failed("can't write the value: error " + std::to_string(Status));
    } else {
        return Failed("not a step");
    }
    return ::testing::AssertionSuccess();
}

// Dialog Index (from 0, one that came) is Rest ("box", "template", "like", "[ID]" ...) Value.
::testing::AssertionResult TScenarioRun::ExpectDialog(size_t Index, const std::string& Rest,
                                                      const std::string& Value) const
{
    if (Rest == "box")
        return ShowsMessageBox(Run, Index, Value);
    if (Rest == "template")
        return ShowsTemplate(Run, Index, Value);
    const TDialog& Dialog = Run.Dialogs[Index];
    if (Rest == "like")
        return Matches(Dialog.Message(), Value)
                   ? ::testing::AssertionSuccess()
                   : Failed("its message is not like \"" + EscapeText(Value) + "\":\n" +
                            DescribeRun(Run));
    std::string Empty, Name, State;
    int Id;
    if (!SplitBrackets(Rest, Empty, Name, State) || !ControlId(Name, Id))
        return Failed("expected: dialog N box, template, like or [ID]");
    if (State.empty())
        return Equal("control " + Name, Dialog.TextOf(Id), Value);
    const TControl* Control = Dialog.Find(Id);
    if (!Control || (State != "checked" && State != "unchecked"))
        return Failed("no control " + Name + ", or not checked or unchecked");
    return Equal("control " + Name, Control->Checked == BST_CHECKED ? "checked" : "unchecked",
                 State);
}

// Notepad is Rest ("", "like", "title like", "open", "closed") Value.
::testing::AssertionResult ExpectNotepad(const TNotepad& Notepad, const std::string& Rest,
                                         const std::string& Value)
{
    if (Rest.empty())
        return Equal("its text", Notepad.Text, Value);
    if (Rest == "like" || Rest == "title like") {
        const std::string& Text = Rest == "like" ? Notepad.Text : Notepad.Title;
        return Matches(Text, Value) ? ::testing::AssertionSuccess()
                                    : Failed("Notepad showed \"" + EscapeText(Text) + "\"");
    }
    if (Rest == "open" || Rest == "closed")
        return Equal("at the end it was", Notepad.OpenAtEnd ? "open" : "closed", Rest);
    return Failed("expected: notepad N = TEXT, like, title like, open or closed");
}

// The file (or folder) at Path is Verb ("holds", "contains", "exists", ...) Value or Block.
::testing::AssertionResult TScenarioRun::ExpectFile(const std::string& Path,
                                                    const std::string& Verb,
                                                    const std::string& Value,
                                                    const std::vector<std::string>& Block) const
{
    if (Verb == "exists")
        return Medium.Exists(Path) ? ::testing::AssertionSuccess() : Failed("nothing at " + Path);
    if (Verb == "absent")
        return NothingAt(Path);
    if (Verb == "contains")
        return FileContains(Path, Value);
    if (Verb == "lacks")
        return FileContains(Path, Value) ? Failed(Path + " holds \"" + EscapeText(Value) + "\"")
                                         : ::testing::AssertionSuccess();
    if (Verb == "holds")
        return FileHolds(Path, Block.empty() ? Value : Expand(BlockText(Block)));
    if (Verb == "same-as")
        return FileHolds(Path, Medium.ReadText(Value).value_or("<unreadable " + Value + ">"));
    if (Verb == "written-as")
        return WrittenAt(Path) == WrittenAt(Medium.Path(Value))
                   ? ::testing::AssertionSuccess()
                   : Failed(Path + " was not written when " + Value + " was");
    if (Verb == "attributes") {
        DWORD Found = GetFileAttributesA(Path.c_str()), Exact = 0, Bit = 0;
        bool AnyExact = false;
        std::istringstream Names(Value);
        for (std::string Name; Names >> Name;) {
            bool Signed = Name[0] == '+' || Name[0] == '-';
            if (!AttributeBit(Signed ? Name.substr(1) : Name, Bit))
                return Failed("no attribute " + Name);
            if (!Signed) {
                AnyExact = true;
                Exact |= Bit;
            } else if (((Found & Bit) != 0) != (Name[0] == '+')) {
                return Failed(Path + " is not " + Name);
            }
        }
        return !AnyExact || Found == Exact
                   ? ::testing::AssertionSuccess()
                   : Failed(Path + " has the attributes " + std::to_string(Found));
    }
    std::optional<std::string> Text = Medium.ReadText(Path);
    if (!Text)
        return Failed("can't read " + Path);
    bool Holds = Verb == "like"    ? Matches(*Text, Value)
                 : Verb == "line"  ? HasLines(*Text, Value + "\r\n")
                 : Verb == "lines" ? HasLines(*Text, Expand(BlockText(Block)))
                                   : false;
    if (Verb != "like" && Verb != "line" && Verb != "lines")
        return Failed("no check " + Verb + " for a file");
    return Holds ? ::testing::AssertionSuccess()
                 : Failed(Path + " is not " + Verb + " \"" +
                          EscapeText(Verb == "lines" ? BlockText(Block) : Value) +
                          "\":\n  holds: \"" + EscapeText(*Text) + "\"");
}

// The checks of names, INI files, the registry and links.
::testing::AssertionResult TScenarioRun::ExpectIn(const std::string& Kind, const std::string& Left,
                                                  const std::string& Value) const
{
    std::string Subject, Name, Rest;
    if (Kind == "names") {
        std::vector<std::string> Names = NamesIn(PathOf(Left));
        std::sort(Names.begin(), Names.end());
        std::string Found;
        for (const std::string& Name : Names)
            Found += (Found.empty() ? "" : ", ") + Name;
        return Equal("the names of " + Left, Found, Value);
    }
    bool Bracketed = SplitBrackets(Left, Subject, Name, Rest);
    if (Kind == "ini" && Bracketed)
        return Equal("[" + Name + "] " + Rest,
                     ProfileValue(PathOf(Subject), Expand(Name), Expand(Rest)), Value);
    HKEY Root;
    std::string SubKey;
    if (Kind == "key" && ParseKey(Expand(Subject = FirstWord(Left, &Rest)), Root, SubKey) &&
        (Rest == "exists" || Rest == "absent")) {
        HKEY Opened;
        bool Exists = RegOpenKeyExA(Root, SubKey.c_str(), 0, KEY_READ, &Opened) == ERROR_SUCCESS;
        if (Exists)
            RegCloseKey(Opened);
        return Equal(Left, Exists ? "exists" : "absent", Rest);
    }
    TRegValue Wanted;
    if (Kind == "reg" && Bracketed && ParseKey(Expand(Subject), Root, SubKey) &&
        ParseRegValue(Value, Wanted))
        return Equal("the value", DescribeRegValue(ReadRegValue(Root, SubKey, Expand(Name))),
                     DescribeRegValue(Wanted));
    if (Kind == "link" && Bracketed) {
        TLink Link = ReadLink(PathOf(Subject));
        if (!Link.Loaded)
            return Failed("no link at " + PathOf(Subject));
        std::map<std::string, std::string> Fields = {{"Target", Link.Target},
                                                     {"Arguments", Link.Arguments},
                                                     {"WorkDir", Link.WorkDir},
                                                     {"IconFile", Link.IconFile},
                                                     {"IconIndex", std::to_string(Link.IconIndex)}};
        if (Fields.count(Name))
            return Equal("its " + Name, Fields[Name], Value);
    }
    return Failed("malformed " + Kind + " check");
}

// Checks an expectation against the last run and what it left.
::testing::AssertionResult TScenarioRun::Expect(const TStep& Step) const
{
    std::string Rest, Left, Value;
    FirstWord(Step.Text, &Rest);
    SplitValue(Rest, Left, Value);
    std::string Kind = FirstWord(Left, &Left);
    Value = Expand(Value);
    unsigned long Number = 0;
    if ((Kind == "dialogs" || Kind == "notepads") && ParseNumber(Value, Number)) {
        size_t Count = Kind == "dialogs" ? Run.Dialogs.size() : Run.Notepads.size();
        return Equal("how many " + Kind + " came", std::to_string(Count), std::to_string(Number))
               << "\n"
               << DescribeRun(Run);
    }
    if (Kind == "dialog" || Kind == "notepad") {
        size_t Count = Kind == "dialog" ? Run.Dialogs.size() : Run.Notepads.size();
        std::string Rest;
        if (!ParseNumber(FirstWord(Left, &Rest), Number) || Number == 0 || Number > Count)
            return Failed(Kind + " " + FirstWord(Left) + " did not come:\n" + DescribeRun(Run));
        return Kind == "dialog" ? ExpectDialog(Number - 1, Rest, Value)
                                : ExpectNotepad(Run.Notepads[Number - 1], Rest, Value);
    }
    if (Kind == "machine" && (Left == "as snapshot" || Left == "changed")) {
        std::vector<std::string> Expected;
        for (const std::string& Line : Step.Block)
            Expected.push_back(Expand(Line));
        if (!Value.empty())
            Expected.push_back(Value);
        if (Places.Keys.empty() || (Left == "as snapshot") != Expected.empty())
            return Failed("expected a snapshot before, and changes listed after changed only");
        return ChangedExactly(Snapshot, ReadMachine(Places), Expected);
    }
    if (Kind == "plan" && Left == "matches log")
        return PlanMatchesLog(PlanFile());
    if (Kind == "report")
        return ShowsTemplate(Run, Run.Dialogs.empty() ? 0 : Run.Dialogs.size() - 1, Value);
    if (Kind == "titles") {
        for (const TDialog& Dialog : Run.Dialogs)
            if (Dialog.Title != Value)
                return Failed("a dialog's title is " + Dialog.Title + ":\n" + DescribeRun(Run));
        return ::testing::AssertionSuccess();
    }
    std::string Path;
    std::string Verb = LastWord(Left, Path);
    if (Kind == "file")
        return ExpectFile(PathOf(Path), Verb, Value, Step.Block);
    if (Kind == "log" && Path.empty())
        return ExpectFile(Values.at("Log"), Verb, Value, Step.Block);
    return ExpectIn(Kind, Left, Value);
}

// Carries out the run Step, planned first unless it asks a question, its plan: line says none or
// a plan step just before it planned it by hand; false when it did not go as its answers said.
bool TScenarioRun::PlanAndRun(const TStep& Step, bool PlannedByHand)
{
    bool PlanFirst = PlansFirst(NumberedAnswers(Step), Step.PlanMark) && !PlannedByHand;
    if (PlanFirst) {
        ::testing::AssertionResult Planned = DoPlan(Step);
        EXPECT_TRUE(Planned) << "a plan that can't be made needs a line plan: none REASON";
        PlanFirst = bool(Planned);
    }
    if (!DoRun(Step))
        return false;
    if (PlanFirst) {
        EXPECT_TRUE(AsPlanned(PlanFile(), Step.PlanMark));
    }
    return true;
}

// Reads the scenario Name and carries out its steps; a run that did not go as answered ends it.
void TScenarioRun::Carry(const std::string& Name)
{
    std::string File = ScenarioDir + "\\" + Name + ".scenario";
    std::optional<std::string> Text = Medium.ReadText(File);
    std::vector<TStep> Steps;
    std::string Error;
    ASSERT_TRUE(Text) << "can't read " << File;
    ASSERT_TRUE(ReadSteps(*Text, Steps, Error)) << File << ": " << Error;
    std::string Shown = "scenarios/" + Name + ".scenario";
    bool HaveRun = false;
    std::string Before;   // the verb of the step before
    for (const TStep& Step : Steps) {
        ::testing::ScopedTrace Trace(Shown.c_str(), Step.Line, Step.Text);
        std::string Verb = FirstWord(Step.Text);
        if (Verb == "plan") {
            EXPECT_TRUE(DoPlan(Step));
        } else if (Verb == "run") {
            if (!PlanAndRun(Step, Before == "plan"))
                return;   // what the run left is not worth checking
            HaveRun = true;
        } else if (Verb != "expect") {
            EXPECT_TRUE(Prepare(Step));
        } else if (!HaveRun) {
            ADD_FAILURE() << "an expectation before the first run";
        } else {
            EXPECT_TRUE(Expect(Step));
        }
        Before = Verb;
    }
}

// The scenario files' names without ".scenario", sorted.
std::vector<std::string> ScenarioNames()
{
    std::vector<std::string> Names;
    for (const std::string& File : NamesIn(ScenarioDir + "\\*.scenario"))
        Names.push_back(File.substr(0, File.size() - 9));
    std::sort(Names.begin(), Names.end());
    return Names;
}

// GoogleTest's name of a scenario: its file name with '_' for each '.'.
std::string ParamName(const ::testing::TestParamInfo<std::string>& Info)
{
    std::string Name = Info.param;
    std::replace(Name.begin(), Name.end(), '.', '_');
    return Name;
}

struct Scenario : ::testing::TestWithParam<std::string> {};

TEST_P(Scenario, Run)
{
    TScenarioRun(ParamName({GetParam(), 0})).Carry(GetParam());
}

INSTANTIATE_TEST_SUITE_P(, Scenario, ::testing::ValuesIn(ScenarioNames()), ParamName);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(Scenario);

}   // namespace
