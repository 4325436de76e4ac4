#include "Rules/JsonText.h"

#include <gtest/gtest.h>

namespace {

TEST(JsonText, QuotesBackslashesAndControlCharactersEscaped)
{
    EXPECT_EQ("\"\"", JsonText(""));
    EXPECT_EQ("\"say \\\"C:\\\\App\\\"\"", JsonText("say \"C:\\App\""));
    EXPECT_EQ("\"\\u0000\\u0009\\u001f \\u000d\\u000a\"",
              JsonText(std::string("\0\t\x1f \r\n", 6)));
    EXPECT_EQ("\"\xe4\x7f\"", JsonText("\xe4\x7f"));   // the code page's bytes and DEL stay
}

}   // namespace
