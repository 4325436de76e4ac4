#include "Setup/base/RunTimeText.h"

#include <cstddef>

std::string FormatRunTimeText(const char* Format, va_list Args)
{
    std::string Text;
    for (const char* P = Format; *P; ++P) {
        if (P[0] == '%' && P[1] == 's') {
            Text += va_arg(Args, const char*);
            ++P;
        } else if (P[0] == '%' && P[1] == 'z' && P[2] == 'u') {
            Text += std::to_string(va_arg(Args, size_t));
            P += 2;
        } else {
            Text += *P;
            if (P[0] == '%' && P[1] == '%')
                ++P;
        }
    }
    return Text;
}
