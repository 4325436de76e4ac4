#include "Setup/vars/VarExpandText.h"

#include <cstring>

std::string ExpandText(const char* Text, TLookupVar Lookup)
{
    std::string Result;
    std::string Name, Value;
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
        bool Defined = !Name.empty() && Lookup(Name.c_str(), Value);
        // Past the limit the reference stays as written: the text is still whole, only not
        // expanded further.
        if (Defined && Value.size() <= ExpandLimit && Result.size() <= ExpandLimit - Value.size())
            Result += Value;
        else
            Result.append(Open, size_t(Close - Open + 1));
        P = Close + 1;
    }
    return Result;
}
