#include "Setup/base/RegKeys.h"

#include "Rules/RegSyntax.h"
#include "Setup/base/Log.h"
#include "Setup/base/Report.h"
#include "Setup/base/RunState.h"

HKEY RootKeyOf(const char* Text)
{
    switch (ScanRootKey(Text)) {
    case rkHKLM:
        return HKEY_LOCAL_MACHINE;
    case rkHKCU:
        return HKEY_CURRENT_USER;
    case rkHKCR:
        return HKEY_CLASSES_ROOT;
    default:
        return nullptr;
    }
}

HKEY ParseRootKey(const char* Text)
{
    if (HKEY Root = RootKeyOf(Text))
        return Root;
    // The same words for every registry section; "ofINF-File" is the program's own spelling.
    std::string Message =
        std::string("Error: Syntax-Error in [RegWrite]- or [RegRead]-Section ofINF-File, ") + Text;
    ReportAndEnd(Message, false);
}

const char* RootKeyName(HKEY Key)
{
    TRootKey Root = Key == HKEY_LOCAL_MACHINE  ? rkHKLM
                    : Key == HKEY_CURRENT_USER ? rkHKCU
                    : Key == HKEY_CLASSES_ROOT ? rkHKCR
                                               : rkNone;
    return RootKeyText(Root);
}

bool ParseDWordText(const char* Text, uint32_t& Value)
{
    switch (ScanDWordText(Text, Value)) {
    case dsOk:
        return true;
    case dsTooLong:
        ReportFailure("max. 8 digit!", afGoOn);
        return false;
    default:
        ReportFailure("String can't be converted to DWord", afGoOn);
        return false;
    }
}
