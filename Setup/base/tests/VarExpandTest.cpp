#include "Setup/base/VarExpand.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "Rules/Capacities.h"
#include "Rules/VarExpandText.h"

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
    // Beyond the 32K characters that the system's own expansion takes and gives.
    std::string Huge(40000, 'y');
    EXPECT_EQ(Huge + "C:\\Tool", ExpandVars(Huge + "%SetupTestVar%"));
    std::string Refs;
    for (int I = 0; I < 8; ++I)
        Refs += "%SetupTestBig%";
    EXPECT_EQ(40000u, ExpandVars(Refs).size());
}

// Variables of a fake environment: A, a self-reference, and one of half the limit.
bool FakeVar(const char* Name, std::string& Value)
{
    std::string N = Name;
    if (N == "A" || N == "a")
        Value = "va";
    else if (N == "Self")
        Value = "%Self%";
    else if (N == "Half")
        Value.assign(ExpandLimit / 2 + 1, 'h');
    else
        return false;
    return true;
}

TEST(ExpandText, ReferencesAsTheRuleSays)
{
    struct {
        const char* Text;
        const char* Expanded;
    } Cases[] = {
        {"%A%\\x", "va\\x"},
        {"%a%%A%", "vava"},
        {"%Undefined%%A%", "%Undefined%va"},   // scanning goes on after the closing %
        {"%Undefined%A%", "%Undefined%A%"},
        {"%%", "%%"},
        {"100%", "100%"},
        {"%A", "%A"},
        {"%Self%x", "%Self%x"},   // an inserted value is not scanned again
        {"", ""},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Text);
        EXPECT_EQ(Case.Expanded, ExpandText(Case.Text, FakeVar));
    }
}

TEST(ExpandText, ReferencesFromTheLimitOnStayAsWritten)
{
    std::string Half(ExpandLimit / 2 + 1, 'h');
    EXPECT_EQ("va" + Half + "%Half%-%A%", ExpandText("%A%%Half%%Half%-%A%", FakeVar));
}

TEST(ExpandEnvPasString, FiveHundredTwentyCharactersFitOneMoreThrows)
{
    TEnvVar Var("SetupTestPad", std::string(510, 'p'));
    std::string Fits = "%SetupTestPad%0123456789";   // the whole capacity, expanded
    EXPECT_EQ(std::string(510, 'p') + "0123456789", ExpandEnvPasString(Fits));

    std::string TooLong = Fits + "x";   // one more
    try {
        ExpandEnvPasString(TooLong);
        FAIL() << "no exception";
    } catch (const EBufferOverflow& Failure) {
        EXPECT_EQ("Buffersize = " + std::to_string(PasStringSize) + " at ExpandEnvPasString " +
                      TooLong + " too small, " + std::to_string(PasStringSize + 1) + " required",
                  std::string(Failure.what()));
    }
}

}   // namespace
