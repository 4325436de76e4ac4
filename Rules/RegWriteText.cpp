#include "Rules/RegWriteText.h"

#include "Rules/CaseText.h"
#include "Rules/InfFields.h"

namespace {

// The field at Start as written, up to where FieldEnd says; Start moves past the comma that ends
// it. False when no comma ends it.
bool TakeField(const std::string& Line, size_t& Start, std::string& Field)
{
    const char* Begin = Line.c_str() + Start;
    size_t End = Start + size_t(FieldEnd(Begin) - Begin);
    Field = Line.substr(Start, End - Start);
    if (End >= Line.size() || Line[End] != ',')
        return false;
    Start = End + 1;
    return true;
}

}   // namespace

bool SplitRegWriteLine(const std::string& Line, TRegWriteLine& Fields)
{
    // Nothing is trimmed: blanks around a field belong to it.
    size_t At = 0;
    if (!TakeField(Line, At, Fields.Root) || !TakeField(Line, At, Fields.SubKey) ||
        !TakeField(Line, At, Fields.ValueName) || !TakeField(Line, At, Fields.Type))
        return false;
    Dequote(Line.c_str() + At, '"', Fields.Value);
    return true;
}

// "too less" is the program's own wording: keep it.
std::string TooFewParametersText(const std::string& Line)
{
    return "Error in the Line \"" + Line.substr(0, Line.find(',')) + "\", too less parameters";
}

TValueType ScanValueType(const std::string& Type)
{
    if (SameText(Type, "Reg_SZ") || Type == "????")
        return vtString;
    if (SameText(Type, "Reg_DWORD"))
        return vtDWord;
    return vtUnknown;
}

std::string DWordData(uint32_t Value)
{
    std::string Data(4, '\0');
    for (int I = 0; I < 4; ++I)
        Data[I] = char((Value >> (8 * I)) & 0xFF);
    return Data;
}

bool SameStoredValue(bool IsDWord, const std::string& Stored, const std::string& Data)
{
    if (IsDWord)
        return Stored == Data;
    // A stored string need not end in NUL, or may hold more after it.
    return Stored.substr(0, Stored.find('\0')) == Data.substr(0, Data.find('\0'));
}

// Users and scripts read these lines as they are: keep "Administtrator" and "sucessfully".
std::string FallbackHeadText(bool HasErrSection, int Mode)
{
    std::string Text = HasErrSection ? "Warning: " : "Error: ";
    Text += Mode == wmUninstall
                ? "couldn't write Uninstall to Registry for ControlPanel, Software\r\n"
                : "Registry-Write failed\r\n";
    return Text + "         Actual User does not have Administtrator Rights assumed\r\n";
}

std::string NoErrSectionText(const std::string& Section)
{
    return "         and no ErrSection=... set in [" + Section + "]\r\n";
}

int FallbackEndText(int Mode, int LinkFailures, std::string& Text)
{
    if (Mode != wmUninstall) {
        Text = "Alternate RegistryWrite also failed\r\n";
        return 101;
    }
    if (LinkFailures == 0) {
        // The links stand in for the entry: a warning, not a failure.
        Text = "Alternate Uninstall via Link sucessfully set\r\n";
        return 1;
    }
    Text = "Alternate Uninstall via Link also failed\r\n";
    return 101;
}
