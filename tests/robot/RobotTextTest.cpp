#include "Robot.h"

#include <gtest/gtest.h>

TEST(ParseAnswer, ReadsActionsAndRejectsTypos)
{
    struct TCase {
        const char* Line;
        const char* Parsed;   // FormatAnswer of the result; nullptr: rejected
    };
    const TCase Cases[] = {
        {"click 1", "click 1"},
        {"  CLICK 4  ", "click 4"},
        {"check 105; click 4", "check 105; click 4"},
        {"click 1;", "click 1"},
        {"type 102 C:\\Program Files\\Tool ; click 1", "type 102 C:\\Program Files\\Tool; click 1"},
        {"type 102", "type 102"},   // clears the field
        {"type 102\tD:\\", "type 102 D:\\"},
        {"close", "close"},
        {"default", "default"},
        {"CancelProgress; click 1", "cancelprogress; click 1"},
        {"browse D:\\My Apps", "browse D:\\My Apps"},
        {"click 65535", "click 65535"},
        {"wait 3000; default", "wait 3000; default"},
        {"wait 600000", "wait 600000"},
        {"", nullptr},
        {" ; ", nullptr},
        {"click", nullptr},
        {"click one", nullptr},
        {"click 1 2", nullptr},
        {"click -1", nullptr},
        {"click 65536", nullptr},
        {"check 99999999999", nullptr},
        {"type C:\\x", nullptr},
        {"close 2", nullptr},
        {"cancelprogress 2", nullptr},
        {"browse", nullptr},
        {"wait", nullptr},
        {"wait 600001", nullptr},
        {"wait 1000000", nullptr},
        {"wait 2s", nullptr},
        {"press 1", nullptr},
        {"click 1; clik 2", nullptr},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.Line);
        TAnswer Answer{{TAction::akClose, 7, "garbage"}};
        std::string Error = "garbage";
        bool Ok = ParseAnswer(Case.Line, Answer, Error);
        if (Case.Parsed) {
            EXPECT_TRUE(Ok) << Error;
            EXPECT_EQ(FormatAnswer(Answer), Case.Parsed);
            EXPECT_EQ(Error, "");
        } else {
            EXPECT_FALSE(Ok);
            EXPECT_NE(Error, "");
        }
    }
}

TEST(ParseAnswer, KeepsTextAsWritten)
{
    TAnswer Answer;
    std::string Error;
    ASSERT_TRUE(ParseAnswer("type 102 a  b;click 1", Answer, Error));
    ASSERT_EQ(Answer.size(), 2u);
    EXPECT_EQ(Answer[0].Kind, TAction::akType);
    EXPECT_EQ(Answer[0].Id, 102);
    EXPECT_EQ(Answer[0].Text, "a  b");
    EXPECT_EQ(Answer[1].Kind, TAction::akClick);
    EXPECT_EQ(Answer[1].Id, 1);
}

TEST(ApplyEnvOverrides, ReplacesWholeNamesWithoutRegardToCase)
{
    std::vector<std::string> Vars = {"=C:=C:\\work", "TMP=C:\\temp", "TMPDIR=x", "Path=C:\\bin",
                                     "TEMP=C:\\temp"};
    std::vector<std::string> Result = ApplyEnvOverrides(
        Vars, {{"tmp", "D:\\t"}, {"temp", std::nullopt}, {"Added", "1"}, {"PATH", "a=b"}});
    std::vector<std::string> Expected = {"=C:=C:\\work", "Added=1", "PATH=a=b", "tmp=D:\\t",
                                         "TMPDIR=x"};
    EXPECT_EQ(Result, Expected);
}

// The default answer stops on a dialog that keeps coming back as it was; any change in what it
// shows is a new dialog.
TEST(TrailingRepeats, CountsOnlyUnchangedAppearancesAtTheEnd)
{
    const TDialog InUse{"SETUP",
                        true,
                        {{108, "Button", "Retry", true, true, -1},
                         {101, "Static", "a.txt is in use", true, true, -1}},
                        ""};
    auto Changed = [&](void (*Change)(TDialog&)) {
        TDialog Other = InUse;
        Change(Other);
        return Other;
    };
    const TDialog Others[] = {
        Changed([](TDialog& D) { D.Title = "SETUP V1"; }),
        Changed([](TDialog& D) { D.Controls[1].Text = "b.txt is in use"; }),
        Changed([](TDialog& D) { D.Controls[0].Enabled = false; }),
        Changed([](TDialog& D) { D.Controls[0].Checked = 1; }),
        Changed([](TDialog& D) { D.Controls.pop_back(); }),
        Changed([](TDialog& D) { D.IsTemplate = false; }),
    };
    TDialog Answered = InUse;
    Answered.Answer = "default (click 108)";   // what the robot did is no part of the dialog
    EXPECT_EQ(TrailingRepeats({}, InUse), 0u);
    EXPECT_EQ(TrailingRepeats({InUse, Answered, InUse}, InUse), 3u);
    for (const TDialog& Other : Others) {
        SCOPED_TRACE(DescribeDialog(Other));
        EXPECT_FALSE(SameDialog(InUse, Other));
        EXPECT_EQ(TrailingRepeats({InUse, Other, InUse, Answered}, InUse), 2u);
        EXPECT_EQ(TrailingRepeats({InUse, InUse, Other}, InUse), 0u);
    }
}
