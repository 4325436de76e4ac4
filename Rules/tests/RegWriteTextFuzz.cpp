// Fuzz target: the [RegWrite] line rules: a line splits into fields that join back into it, and
// a line written from fields splits back into them; value types, DWORD data, the stored-value
// comparison and the fallback texts.
#include "Rules/RegWriteText.h"

#include <cstdint>
#include <string>
#include <vector>

#include "Rules/InfFields.h"
#include "fuzz/FuzzInput.h"

// How a field is written so that it reads back as it stands: quoted when it holds a comma or
// starts with a quote.
static std::string AsField(const std::string& Text)
{
    return Text.find(',') == std::string::npos && (Text.empty() || Text[0] != '"') ? Text
                                                                                   : Quoted(Text);
}

static void CheckSplit(const std::string& Line)
{
    TRegWriteLine Fields;
    if (!SplitRegWriteLine(Line, Fields)) {
        Check(TooFewParametersText(Line).find(Line.substr(0, Line.find(','))) != std::string::npos,
              "the message quotes the line's start");
        return;
    }
    std::string Head =
        Fields.Root + "," + Fields.SubKey + "," + Fields.ValueName + "," + Fields.Type + ",";
    Check(Line.compare(0, Head.size(), Head) == 0, "the four fields join back into the line");
    for (const std::string* Field : {&Fields.Root, &Fields.SubKey, &Fields.ValueName, &Fields.Type})
        Check(FieldEnd(Field->c_str()) == Field->c_str() + Field->size(), "each field is whole");
    std::string Value;
    Dequote(Line.c_str() + Head.size(), '"', Value);
    Check(Fields.Value == Value, "the value is the dequoted rest");
}

static void CheckRoundTrip(const std::vector<std::string>& Parts)
{
    std::string Line;
    for (size_t I = 0; I < 4; ++I)
        Line += AsField(Parts[I]) + ",";
    Line += Quoted(Parts[4]);
    TRegWriteLine Fields;
    Check(SplitRegWriteLine(Line, Fields), "a written line splits");
    Check(Fields.Root == AsField(Parts[0]) && Fields.SubKey == AsField(Parts[1]) &&
              Fields.ValueName == AsField(Parts[2]) && Fields.Type == AsField(Parts[3]),
          "fields read back as written");
    Check(Fields.Value == Parts[4], "the value reads back");
}

static void CheckValues(uint32_t Number, const std::string& Type, const std::string& Stored)
{
    TValueType Kind = ScanValueType(Type);
    Check(ScanValueType(UpperAscii(Type)) == Kind, "letter case does not count");

    std::string Data = DWordData(Number);
    Check(Data.size() == 4, "four bytes");
    uint32_t Back = 0;
    for (int I = 3; I >= 0; --I)
        Back = Back << 8 | uint8_t(Data[I]);
    Check(Back == Number, "least significant byte first");
    Check(SameStoredValue(true, Data, Data), "a number equals itself");

    Check(SameStoredValue(false, Stored, Stored), "a string equals itself");
    Check(SameStoredValue(false, Stored, Type) == SameStoredValue(false, Type, Stored),
          "symmetric");
    Check(SameStoredValue(false, Stored + std::string(1, '\0') + Type, Stored),
          "what follows a NUL does not count");
    Check(SameStoredValue(true, Stored, Type) == (Stored == Type), "numbers compare every byte");
}

static void CheckFallback(int Mode, int LinkFailures, const std::string& Section)
{
    for (bool HasErrSection : {false, true}) {
        std::string Head = FallbackHeadText(HasErrSection, Mode);
        Check(Head.size() >= 2 && Head.compare(Head.size() - 2, 2, "\r\n") == 0, "a whole line");
    }
    Check(NoErrSectionText(Section).find("[" + Section + "]") != std::string::npos,
          "names the section");
    std::string Text;
    int Result = FallbackEndText(Mode, LinkFailures, Text);
    Check(Result == (Mode == wmUninstall && LinkFailures == 0 ? 1 : 101),
          "1 only when the links stand in");
    Check(Text.size() >= 2 && Text.compare(Text.size() - 2, 2, "\r\n") == 0, "a whole line");
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    CheckSplit(std::string(reinterpret_cast<const char*>(Data), Size));
    CheckSplit(NulEnded(Data, Size).data());   // as the profile functions deliver it

    TFuzzBytes In = {Data, Size};
    uint32_t Number = TakeNumber(In, 4);
    std::vector<std::string> Parts = TakeFields(In, 5);
    std::vector<std::string> Texts = Parts;
    for (std::string& Part : Texts)
        Part = Part.substr(0, Part.find('\0'));   // a line holds no NUL
    CheckRoundTrip(Texts);
    CheckValues(Number, Parts[3], Parts[4]);
    CheckFallback(int(Number & 3), int(Number >> 2 & 3), Parts[0]);
    return 0;
}
