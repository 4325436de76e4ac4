#include "Setup/vars/VarExpand.h"

#include <windows.h>

#include <cstdio>
#include <vector>

const DWORD PasStringSize = 521;

std::string ExpandVars(const std::string& Text)
{
    std::vector<char> Buf(Text.size() + 261);
    for (;;) {
        DWORD Need = ExpandEnvironmentStringsA(Text.c_str(), Buf.data(), DWORD(Buf.size()));
        if (Need == 0)
            return std::string();   // the expansion itself failed: treat as empty
        if (Need <= Buf.size())
            return std::string(Buf.data());
        Buf.resize(Need);
    }
}

std::string ExpandEnvPasString(const std::string& S)
{
    char Buf[PasStringSize];
    DWORD Need = ExpandEnvironmentStringsA(S.c_str(), Buf, sizeof Buf);
    if (Need > sizeof Buf) {
        std::vector<char> Message(S.size() + 100);
        snprintf(Message.data(), Message.size(),
                 "Buffersize = %d at ExpandEnvPasString %s too small, %d required",
                 int(sizeof Buf), S.c_str(), int(Need));
        throw EBufferOverflow(Message.data());
    }
    return Need == 0 ? std::string() : std::string(Buf);
}
