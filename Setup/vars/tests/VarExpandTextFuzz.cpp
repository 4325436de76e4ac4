// Fuzz target: the %NAME% rule keeps every text whole that it does not expand.
#include "Setup/vars/VarExpandText.h"

#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/FuzzInput.h"

static bool NoVariable(const char*, std::string&) { return false; }

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
    return 0;
}
