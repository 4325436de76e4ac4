#include "Rules/VarExpandText.h"

#include <cstring>

std::string ExpandText(const char* Text, TLookupVar Lookup)
{
    std::string Result;
    std::string Name, Value;
    bool Full = false;   // a value did not fit: the references from there on stay as written
    const char* P = Text;
    while (*P) {
        const char* Open = std::strchr(P, '%');
        if (Open == nullptr) {
            Result += P;
            break;
        }
        Result.append(P, size_t(Open - P));
        const char* Close = std::strchr(Open + 1, '%');
        if (Close == nullptr) {
            Result += Open;   // never closed: the rest of the text as it stands
            break;
        }
        Name.assign(Open + 1, size_t(Close - Open - 1));
        Value.clear();
        bool Defined = !Full && !Name.empty() && Lookup(Name.c_str(), Value);
        // Past the limit the text stays whole, only not expanded further; nothing is looked up
        // any more, so a script can't make each of a million references cost a long value.
        Full = Full || (Defined &&
                        (Value.size() > ExpandLimit || Result.size() > ExpandLimit - Value.size()));
        if (Defined && !Full)
            Result += Value;
        else
            Result.append(Open, size_t(Close - Open + 1));
        P = Close + 1;
    }
    return Result;
}
