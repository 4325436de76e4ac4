#include "Rules/InfFields.h"

#include <cstring>

const char* FieldEnd(const char* P)
{
    if (*P != '"')
        return P + std::strcspn(P, ",");
    const char* Q = P + 1;
    for (;;) {
        Q = std::strchr(Q, '"');
        if (Q == nullptr)
            return P + std::strlen(P);   // never closed: the field takes the rest of the line
        if (Q[1] != '"')
            return Q + 1;
        Q += 2;   // a doubled quote is text, not the end
    }
}

void Dequote(const char* P, char Quote, std::string& Field)
{
    Field.clear();
    if (P == nullptr || *P == '\0')
        return;
    if (*P != Quote) {
        // Callers have already ended the field where FieldEnd said, so a comma here is text.
        Field = P;
        return;
    }
    // Quote is never NUL here (*P is not), so the scan below stops at the end of the text.
    for (const char* Q = P + 1; *Q; ++Q) {
        if (*Q == Quote) {
            if (Q[1] != Quote)
                return;   // the closing quote; whatever follows it is ignored
            ++Q;
        }
        Field += *Q;
    }
}
