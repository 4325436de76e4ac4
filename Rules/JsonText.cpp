#include "Rules/JsonText.h"

std::string JsonText(const std::string& Text)
{
    const char Hex[] = "0123456789abcdef";
    std::string Json = "\"";
    for (unsigned char C : Text) {
        if (C == '"' || C == '\\') {
            Json += '\\';
            Json += char(C);
        } else if (C < 0x20) {
            Json += "\\u00";
            Json += Hex[C >> 4];
            Json += Hex[C & 15];
        } else {
            Json += char(C);
        }
    }
    return Json + "\"";
}
