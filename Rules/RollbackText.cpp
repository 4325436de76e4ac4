#include "Rules/RollbackText.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "Rules/CaseText.h"

namespace {

// How many fields each kind of record has.
struct TKindFields {
    TJournalKind Kind;
    size_t Count;
};
const TKindFields KindFields[] = {
    {jkFolder, 1}, {jkNewFile, 1}, {jkKept, 2}, {jkAttributes, 2}, {jkWaiting, 2}, {jkWithdrawn, 2},
    {jkKey, 3},    {jkValue, 6},   {jkVoid, 1}, {jkLog, 1},        {jkKeep, 1},
};

void Escape(std::string_view Field, std::string& Line)
{
    for (char C : Field) {
        switch (C) {
        case '\\':
            Line += "\\\\";
            break;
        case '\t':
            Line += "\\t";
            break;
        case '\r':
            Line += "\\r";
            break;
        case '\n':
            Line += "\\n";
            break;
        case '\0':
            Line += "\\0";
            break;
        default:
            Line += C;
        }
    }
}

// The field's text from its written form; false for a backslash that starts no escape.
bool Unescape(const std::string& Written, std::string& Field)
{
    Field.clear();
    for (size_t I = 0; I < Written.size(); ++I) {
        if (Written[I] != '\\') {
            Field += Written[I];
            continue;
        }
        if (++I == Written.size())
            return false;
        const char* Known = std::strchr("\\trn0", Written[I]);
        if (Known == nullptr || *Known == '\0')
            return false;
        static const char Meant[] = {'\\', '\t', '\r', '\n', '\0'};
        Field += Meant[Known - "\\trn0"];
    }
    return true;
}

std::string Hex16(uint64_t Value, size_t Digits)
{
    static const char Digit[] = "0123456789abcdef";
    std::string Text(Digits, '0');
    for (size_t I = Digits; I-- > 0; Value >>= 4)
        Text[I] = Digit[Value & 15];
    return Text;
}

bool AllHex(const std::string& Text)
{
    for (char C : Text)
        if (!std::isxdigit(uint8_t(C)))
            return false;
    return !Text.empty();
}

}   // namespace

std::string JournalLine(TJournalKind Kind, std::initializer_list<std::string_view> Fields)
{
    std::string Line(1, char(Kind));
    for (std::string_view Field : Fields) {
        Line += '\t';
        Escape(Field, Line);
    }
    return Line + "\r\n";
}

bool ParseJournalLine(const std::string& Line, TJournalRecord& Record)
{
    if (Line.size() < 2 || Line[1] != '\t')
        return false;
    size_t Count = 0;
    for (const TKindFields& Known : KindFields)
        if (Known.Kind == Line[0])
            Count = Known.Count;
    Record.Kind = TJournalKind(Line[0]);
    Record.Fields.clear();
    for (size_t Start = 2;;) {
        size_t Tab = Line.find('\t', Start);
        std::string Field;
        if (!Unescape(Line.substr(Start, Tab == std::string::npos ? Tab : Tab - Start), Field))
            return false;
        Record.Fields.push_back(Field);
        if (Tab == std::string::npos)
            break;
        Start = Tab + 1;
    }
    return Count != 0 && Record.Fields.size() == Count;
}

std::vector<TJournalRecord> JournalRecords(const std::string& Text)
{
    std::vector<TJournalRecord> Records;
    size_t Start = Text.find("\r\n");   // the head line
    while (Start != std::string::npos) {
        Start += 2;
        size_t End = Text.find("\r\n", Start);
        TJournalRecord Record;
        if (End != std::string::npos && ParseJournalLine(Text.substr(Start, End - Start), Record))
            Records.push_back(Record);
        Start = End;
    }
    return Records;
}

void JournalDirName(uint64_t Random, char (&Name)[JournalDirNameSize])
{
    std::string Text = JournalDirPrefix + Hex16(Random, 16);
    std::memcpy(Name, Text.c_str(), JournalDirNameSize);
}

bool IsJournalDirName(const char* Name)
{
    const size_t Prefix = std::strlen(JournalDirPrefix);
    return std::strlen(Name) == JournalDirNameSize - 1 &&
           SameText(std::string(Name, Prefix), JournalDirPrefix) && AllHex(Name + Prefix);
}

std::string KeptFileName(uint32_t ProcessId, uint32_t Count)
{
    return "~setupkv" + Hex16((uint64_t(ProcessId) << 16) ^ Count, 8) + ".kept";
}

bool IsKeptFileName(const std::string& Name)
{
    const size_t Prefix = 8, Digits = 8;
    return Name.size() == Prefix + Digits + 5 && SameText(Name.substr(0, Prefix), "~setupkv") &&
           AllHex(Name.substr(Prefix, Digits)) && SameText(Name.substr(Prefix + Digits), ".kept");
}

namespace {

// "Rollback: " with the words Before, What and After.
std::string Line(const char* Before, const std::string& What, const char* After = "")
{
    std::string Text = RollbackPrefix;
    Text += Before;
    Text += What;
    Text += After;
    return Text;
}

const char* Changes(long Count)
{
    return Count == 1 ? " change" : " changes";
}

}   // namespace

std::string RollbackStartLine(size_t Count)
{
    return Line("undoing ", std::to_string(Count), Changes(long(Count)));
}

std::string RemovedLine(const std::string& What)
{
    return Line("removed ", What);
}

std::string RestoredLine(const std::string& What)
{
    return Line("restored ", What);
}

std::string WithdrawnLine(const std::string& To)
{
    return Line("withdrew the replacement of ", To, " at the next restart");
}

std::string StaysLine(const std::string& What, const std::string& Why)
{
    return Line("", What, " stays: ") + Why;
}

std::string NotUndoneLine(const std::string& What, unsigned long Code, const std::string& Reason)
{
    std::string Text = Line("couldn't undo ", What, ": Error ");
    Text += std::to_string(Code);
    Text += ", ";
    return Text += Reason;
}

std::string RollbackEndLine(int NotUndone)
{
    if (NotUndone == 0)
        return Line("the machine was left as it was", "");
    return Line("", std::to_string(NotUndone), Changes(NotUndone)) += " could not be undone";
}

std::string RollbackReport(int NotUndone)
{
    if (NotUndone == 0)
        return "The machine was left as it was.";
    std::string Text = std::to_string(NotUndone);
    Text += Changes(NotUndone);
    return Text += " could not be undone: the log names them.";
}

std::string KilledRunLine(const std::string& JournalPath)
{
    return Line("undoing a run that was killed, from ", JournalPath);
}

std::string LogMovedLine(const std::string& To)
{
    return Line("the log moves to ", To);
}

std::string HexNumber(unsigned long Value)
{
    std::string Text = Hex16(Value, 8);
    return Text.substr(std::min(Text.find_first_not_of('0'), Text.size() - 1));
}

bool ParseHexNumber(const std::string& Text, unsigned long& Value)
{
    if (!AllHex(Text) || Text.size() > 8)
        return false;
    Value = 0;
    for (char C : Text)
        Value =
            Value * 16 + unsigned(std::isdigit(uint8_t(C)) ? C - '0' : std::tolower(C) - 'a' + 10);
    return true;
}

std::string ValueWhat(const std::string& Key, const std::string& Name)
{
    std::string Text = Key;
    Text += " [";
    Text += Name;
    return Text += "]";
}
