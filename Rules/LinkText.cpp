#include "Rules/LinkText.h"

#include <climits>

#include "Rules/CaseText.h"
#include "Rules/InfFields.h"

namespace {

const size_t None = std::string::npos;

// The field at Start as written, up to where FieldEnd says. Next is where the following field
// starts, or None when this field reaches the end of the line.
std::string TakeField(const std::string& Line, size_t Start, size_t& Next)
{
    const char* Begin = Line.c_str() + Start;
    size_t End = Start + size_t(FieldEnd(Begin) - Begin);
    // Whatever ends the field (a comma, or text after a closing quote) is passed over.
    Next = End < Line.size() ? End + 1 : None;
    return Line.substr(Start, End - Start);
}

size_t SkipBlanks(const std::string& Line, size_t At)
{
    while (At < Line.size() && Line[At] == ' ')
        ++At;
    return At;
}

std::string Unquoted(const std::string& Field)
{
    std::string Text;
    Dequote(Field.c_str(), '"', Text);
    return Text;
}

bool StartsWithRundll(const std::string& Text)
{
    return StartsWithText(Text, "rundll");
}

// Without blanks and control characters at either end.
std::string Trimmed(const std::string& Text)
{
    size_t First = 0, Last = Text.size();
    while (First < Last && (unsigned char)Text[First] <= ' ')
        ++First;
    while (Last > First && (unsigned char)Text[Last - 1] <= ' ')
        --Last;
    return Text.substr(First, Last - First);
}

}   // namespace

bool SplitLinkLine(const std::string& Line, TLinkLine& Fields)
{
    Fields = TLinkLine();
    size_t Next;
    Fields.Name = TakeField(Line, 0, Next);
    if (Fields.Name.size() >= Line.size() || Line[Fields.Name.size()] != ',')
        return false;

    Fields.RawTarget = TakeField(Line, SkipBlanks(Line, Next), Next);
    Fields.Target = Unquoted(Fields.RawTarget);
    if (Next == None)
        return true;
    Fields.RawArguments = TakeField(Line, SkipBlanks(Line, Next), Next);
    Fields.Arguments = Unquoted(Fields.RawArguments);
    if (Next == None)
        return true;
    Fields.IconFile = Unquoted(TakeField(Line, SkipBlanks(Line, Next), Next));
    if (Next == None)
        return true;
    Fields.IconIndex = TakeField(Line, Next, Next);
    if (Next == None)
        return true;
    Fields.WorkDir = Unquoted(TakeField(Line, Next, Next));
    return true;
}

std::string LinkFilePath(const std::string& Name, const std::string& LinkDir)
{
    size_t Separator = Name.find_last_of("\\:");
    std::string Path = Separator == None ? LinkDir : Name.substr(0, Separator + 1);
    if (Path.empty() || Path.back() != '\\')
        Path += '\\';
    Path += Separator == None ? Name : Name.substr(Separator + 1);
    // Also after a name that already ends in ".lnk": the script's name is taken as it is.
    return Path + ".LNK";
}

int32_t IconIndexOf(const std::string& Text)
{
    std::string Number = Trimmed(Text);
    size_t At = 0;
    bool Negative = false;
    if (At < Number.size() && (Number[At] == '-' || Number[At] == '+'))
        Negative = Number[At++] == '-';
    if (At == Number.size())
        return 0;
    long long Value = 0;
    for (; At < Number.size(); ++At) {
        if (Number[At] < '0' || Number[At] > '9')
            return 0;
        Value = Value * 10 + (Number[At] - '0');
        if (Value > (long long)INT_MAX + 1)
            return 0;
    }
    if (Negative)
        Value = -Value;
    return Value < INT_MIN || Value > INT_MAX ? 0 : int32_t(Value);
}

bool IsRundllCase(const TLinkLine& Fields)
{
    size_t Blank = Fields.RawArguments.find(' ');
    size_t Comma = Fields.RawArguments.find(',');
    return StartsWithRundll(Fields.RawTarget) && Blank != None && Comma != None && Comma > Blank;
}

TRundllLink RundllLink(const TLinkLine& Fields)
{
    TRundllLink Link;
    std::string Arguments = Trimmed(Fields.Arguments);
    size_t Separator = Arguments.find_last_of("\\:");
    std::string FileName = Separator == None ? Arguments : Arguments.substr(Separator + 1);
    Link.WorkDir = Fields.WorkDir;
    Link.ShortDll = FileName.find(' ') != None || !Link.WorkDir.empty();
    if (Link.ShortDll) {
        size_t Comma = Arguments.find(',');
        Link.DllPath = Arguments.substr(0, Comma);
        Link.Arguments = Comma == None ? "" : Arguments.substr(Comma);
    } else {
        Link.WorkDir = Separator == None ? "" : Arguments.substr(0, Separator + 1);
        Link.Arguments = FileName;
    }
    return Link;
}
