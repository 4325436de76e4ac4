// The product that /bundle names in the bundle's version resource, read with the packer's rule.
#include "Tools/infcheck/CheckerCore.h"

#include "Rules/ProductText.h"

// A value that the version resource can't take makes /bundle refuse the script; a variable in it
// would be shown as written, since the packer expands nothing.
void CheckProduct(TChecker& Checker)
{
    for (const char* Key : {ProductKey, ProductVersionKey, PublisherKey}) {
        const TInfLine* Line = Checker.Key("Version", Key);
        if (!Line)
            continue;
        std::string Fault = ProductValueFault(Key, Line->Value);
        if (!Fault.empty())
            Checker.Add(Line->Line, svError,
                        Fault + ": SETUP.EXE /bundle refuses the script (the bundle's version "
                                "resource can't take it)",
                        "product");
        if (Line->Value.find('%') != std::string::npos)
            Checker.Add(Line->Line, svWarning,
                        std::string(Key) +
                            " is taken as written by /bundle: '%' names no variable there",
                        "product");
    }
}
