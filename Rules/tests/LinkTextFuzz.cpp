// Fuzz target: the link line rules: a line written from fields splits back into them, any line
// splits into fields that read as FieldEnd and Dequote say, the link path, the icon index as a
// number round trip, and the rundll rule keeping every character of the arguments.
#include "Rules/LinkText.h"

#include <cstdint>
#include <string>
#include <vector>

#include "Rules/InfFields.h"
#include "fuzz/FuzzInput.h"

// How a field is written so that it reads back as it stands: quoted when it holds a comma or
// starts with a quote or a blank.
static std::string AsField(const std::string& Text)
{
    bool Plain =
        Text.find(',') == std::string::npos && (Text.empty() || (Text[0] != '"' && Text[0] != ' '));
    return Plain ? Text : Quoted(Text);
}

static std::string Unquoted(const std::string& Field)
{
    std::string Text;
    Dequote(Field.c_str(), '"', Text);
    return Text;
}

// Without blanks and control characters at either end.
static std::string Trimmed(const std::string& Text)
{
    size_t First = 0, Last = Text.size();
    while (First < Last && uint8_t(Text[First]) <= ' ')
        ++First;
    while (Last > First && uint8_t(Text[Last - 1]) <= ' ')
        --Last;
    return Text.substr(First, Last - First);
}

static void CheckRoundTrip(const std::vector<std::string>& Parts)
{
    std::string Line = AsField(Parts[0]);
    for (size_t I = 1; I < Parts.size(); ++I)
        Line += "," + AsField(Parts[I]);
    TLinkLine Fields;
    Check(SplitLinkLine(Line, Fields), "a written line splits");
    Check(Fields.Name == AsField(Parts[0]), "name as written");
    Check(Fields.Target == Parts[1] && Fields.Arguments == Parts[2], "target and arguments");
    Check(Fields.IconFile == Parts[3] && Fields.IconIndex == AsField(Parts[4]), "icon");
    Check(Fields.WorkDir == Parts[5], "working directory");
}

static void CheckRundll(const TLinkLine& Fields)
{
    size_t Blank = Fields.RawArguments.find(' ');
    size_t Comma = Fields.RawArguments.find(',');
    std::string Start = LowerAscii(Fields.RawTarget.substr(0, 6));
    Check(IsRundllCase(Fields) == (Start == "rundll" && Blank != std::string::npos &&
                                   Comma != std::string::npos && Blank < Comma),
          "rundll target and a blank before the first comma");

    TRundllLink Link = RundllLink(Fields);
    std::string Arguments = Trimmed(Fields.Arguments);
    if (Link.ShortDll) {
        Check(Link.DllPath + Link.Arguments == Arguments, "DLL and arguments keep every character");
        Check(Link.DllPath.find(',') == std::string::npos, "the DLL ends at the first comma");
        Check(Link.Arguments.empty() || Link.Arguments[0] == ',', "arguments from the comma on");
        Check(Link.WorkDir == Fields.WorkDir, "the script's working directory");
    } else {
        Check(Fields.WorkDir.empty(), "no working directory of the script's");
        Check(Link.WorkDir + Link.Arguments == Arguments, "directory and DLL keep every character");
        Check(Link.Arguments.find_first_of("\\: ") == std::string::npos, "the DLL's bare name");
        Check(Link.WorkDir.empty() || Link.WorkDir.find_last_of("\\:") == Link.WorkDir.size() - 1,
              "the directory ends at its separator");
    }
}

static void CheckLine(const std::string& Line)
{
    TLinkLine Fields;
    bool Split = SplitLinkLine(Line, Fields);
    size_t NameEnd = size_t(FieldEnd(Line.c_str()) - Line.c_str());
    Check(Split == (NameEnd < Line.size() && Line[NameEnd] == ','), "a comma after the name");
    if (!Split)
        return;
    Check(Fields.Name == Line.substr(0, NameEnd), "the name as written");
    Check(Fields.Target == Unquoted(Fields.RawTarget), "the target dequoted");
    Check(Fields.Arguments == Unquoted(Fields.RawArguments), "the arguments dequoted");
    Check(Fields.RawTarget.empty() || Fields.RawTarget[0] != ' ', "blanks before the target go");
    Check(Fields.Name.size() + Fields.RawTarget.size() + Fields.RawArguments.size() +
                  Fields.IconIndex.size() <=
              Line.size(),
          "fields within the line");
    CheckRundll(Fields);
}

static void CheckLinkPath(const std::string& Name, const std::string& Dir)
{
    std::string Path = LinkFilePath(Name, Dir);
    size_t Separator = Name.find_last_of("\\:");
    std::string Base = Separator == std::string::npos ? Name : Name.substr(Separator + 1);
    std::string Tail = "\\" + Base + ".LNK";
    Check(Path.size() >= Tail.size() &&
              Path.compare(Path.size() - Tail.size(), Tail.size(), Tail) == 0,
          "the name's last part with .LNK after a backslash");
    std::string Head = Separator == std::string::npos ? Dir : Name.substr(0, Separator + 1);
    Check(Path.compare(0, Head.size(), Head) == 0, "in the name's directory, else in Dir");
}

// The decimal text of a number as the script may write it, reduced to std::to_string's form.
static std::string Normalized(const std::string& Text)
{
    size_t At = Text[0] == '+' || Text[0] == '-' ? 1 : 0;
    size_t Digits = Text.find_first_not_of('0', At);
    std::string Sign = Text[0] == '-' ? "-" : "";
    return Sign + (Digits == std::string::npos ? "0" : Text.substr(Digits));
}

static void CheckIconIndex(int32_t Number, const std::string& Text)
{
    Check(IconIndexOf(" " + std::to_string(Number) + "\t") == Number, "a number reads back");
    if (Number >= 0)
        Check(IconIndexOf("+" + std::to_string(Number)) == Number, "a plus sign reads");
    int32_t Index = IconIndexOf(Text);
    if (Index != 0)
        Check(Normalized(Trimmed(Text)) == std::to_string(Index), "a nonzero index is the text");
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    std::string Whole(reinterpret_cast<const char*>(Data), Size);
    CheckLine(Whole);
    CheckLine(Whole.c_str());   // as the profile functions deliver it

    TFuzzBytes In = {Data, Size};
    int32_t Number = int32_t(TakeNumber(In, 4));
    std::vector<std::string> Parts = TakeFields(In, 6);
    for (std::string& Part : Parts)
        Part = Part.substr(0, Part.find('\0'));   // a line holds no NUL
    CheckRoundTrip(Parts);
    CheckLinkPath(Parts[0], Parts[1]);
    CheckIconIndex(Number, Parts[4]);
    return 0;
}
