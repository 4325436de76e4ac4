#include "Rules/ReferenceText.h"

#include <gtest/gtest.h>

namespace {

TEST(ReferencedNames, EachPercentOpensAReferenceThatTheNextCloses)
{
    const struct {
        const char* Text;
        std::vector<std::string> Names;
    } Cases[] = {
        {"%MyProgramPath%\\bin", {"MyProgramPath"}},
        {"%ProgramFiles(x86)%\\%App_1%", {"ProgramFiles(x86)", "App_1"}},
        {"100% sure, 50% off", {}},   // " sure, 50" is no name
        {"%1 and %A%", {}},           // "1 and " is no name; the last % opens, nothing closes
        {"%A%%B%", {"A", "B"}},
        {"%%A%", {}},   // an empty name, then "A" without its closing %
        {"%A", {}},
        {"", {}},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Text);
        EXPECT_EQ(Case.Names, ReferencedNames(Case.Text));
    }
}

}   // namespace
