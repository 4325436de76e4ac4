#include "Setup/vars/VarExpand.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

struct TEnvVar {
    const char* Name;
    TEnvVar(const char* Name, const std::string& Value) : Name(Name)
    {
        SetEnvironmentVariableA(Name, Value.c_str());
    }
    ~TEnvVar() { SetEnvironmentVariableA(Name, nullptr); }
};

TEST(ExpandVars, DefinedReferencesResolveOthersStay)
{
    TEnvVar Var("SetupTestVar", "C:\\Tool");
    EXPECT_EQ("C:\\Tool\\bin", ExpandVars("%SetupTestVar%\\bin"));
    EXPECT_EQ("C:\\Tool\\bin", ExpandVars("%setuptestvar%\\bin"));
    EXPECT_EQ("%SetupTestUndefined%\\bin", ExpandVars("%SetupTestUndefined%\\bin"));
    EXPECT_EQ("100%PATH", ExpandVars("100%PATH"));
    std::string Long(5000, 'x');
    TEnvVar Big("SetupTestBig", Long);
    EXPECT_EQ(Long + Long, ExpandVars("%SetupTestBig%%SetupTestBig%"));   // never cut
}

TEST(ExpandEnvPasString, FiveHundredTwentyCharactersFitOneMoreThrows)
{
    TEnvVar Var("SetupTestPad", std::string(510, 'p'));
    std::string Fits = "%SetupTestPad%0123456789";             // 520 characters expanded
    EXPECT_EQ(std::string(510, 'p') + "0123456789", ExpandEnvPasString(Fits));

    std::string TooLong = Fits + "x";                          // 521 characters
    try {
        ExpandEnvPasString(TooLong);
        FAIL() << "no exception";
    } catch (const EBufferOverflow& Failure) {
        EXPECT_EQ("Buffersize = 521 at ExpandEnvPasString " + TooLong + " too small, 522 required",
                  std::string(Failure.what()));
    }
}

} // namespace
