// Fuzz target: the %NAME% rule keeps every text whole that it does not expand, and expands
// nothing but whole references to defined variables.
#include "Rules/VarExpandText.h"

#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/FuzzInput.h"

static bool NoVariable(const char*, std::string&)
{
    return false;
}

// Every variable holds its own reference, so an expansion that finds the references where the
// rule puts them gives the text back unchanged.
static bool OwnReference(const char* Name, std::string& Value)
{
    Value = std::string("%") + Name + "%";
    return true;
}

static bool EmptyValue(const char*, std::string& Value)
{
    Value.clear();
    return true;
}

static std::vector<std::string> Defined;   // the names that MarkerValue knows
static std::vector<std::string> Asked;     // the names it was asked for and knew, in order

// A defined name's value is a marker that names it: \x01, the number of the lookup, \x02.
static bool MarkerValue(const char* Name, std::string& Value)
{
    std::string Text = Name;
    Check(!Text.empty() && Text.find('%') == std::string::npos, "a name without percent signs");
    for (const std::string& Known : Defined) {
        if (Known == Text) {
            Value = "\x01" + std::to_string(Asked.size()) + "\x02";
            Asked.push_back(Text);
            return true;
        }
    }
    return false;
}

// Some variables defined (the first field's lines), the text in the second field: putting each
// defined reference back where its marker stands must give the text again.
static void CheckMarkers(const std::vector<std::string>& Fields)
{
    std::string Text = Fields[1].c_str();   // as the profile functions deliver it
    if (Text.find('\x01') != std::string::npos)
        return;   // the marker must be the expansion's alone
    Defined.clear();
    Asked.clear();
    for (size_t Start = 0; Start <= Fields[0].size();) {
        size_t End = Fields[0].find('\n', Start);
        if (End == std::string::npos)
            End = Fields[0].size();
        Defined.push_back(Fields[0].substr(Start, End - Start));
        Start = End + 1;
    }
    std::string Expanded = ExpandText(Text.c_str(), MarkerValue);
    std::string Back;
    for (size_t At = 0; At < Expanded.size(); ++At) {
        if (Expanded[At] != '\x01') {
            Back += Expanded[At];
            continue;
        }
        size_t Close = Expanded.find('\x02', At);
        Check(Close != std::string::npos, "a whole marker");
        size_t Number = std::stoul(Expanded.substr(At + 1, Close - At - 1));
        Check(Number < Asked.size(), "a marker of this expansion");
        Back += "%" + Asked[Number] + "%";
        At = Close;
    }
    Check(Back == Text, "putting the references back gives the text");
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    std::vector<char> Text = NulEnded(Data, Size);
    std::string Whole = Text.data();

    Check(ExpandText(Text.data(), NoVariable) == Whole, "undefined references stay as written");
    Check(ExpandText(Text.data(), OwnReference) == Whole, "references are found where they are");

    // Removing references only takes characters away, in order.
    std::string Shorter = ExpandText(Text.data(), EmptyValue);
    size_t At = 0;
    for (char C : Shorter) {
        At = Whole.find(C, At);
        Check(At != std::string::npos, "nothing but the text's own characters, in order");
        ++At;
    }

    TFuzzBytes In = {Data, Size};
    CheckMarkers(TakeFields(In, 2));
    return 0;
}
