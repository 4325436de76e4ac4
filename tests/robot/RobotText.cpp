// The robot's text work: answer syntax, environment entries, transcripts. No Win32 calls here.
#include "Robot.h"

#include <algorithm>
#include <cctype>

namespace {

const int idText = 101;                // message field of every template
const int idMessageBoxText = 0xFFFF;   // message text of a system message box

std::string Trim(const std::string& Text)
{
    const char* Space = " \t\r\n";
    size_t First = Text.find_first_not_of(Space);
    if (First == std::string::npos)
        return "";
    return Text.substr(First, Text.find_last_not_of(Space) - First + 1);
}

std::string Upper(std::string Text)
{
    for (char& C : Text)
        C = static_cast<char>(std::toupper(static_cast<unsigned char>(C)));
    return Text;
}

// Dialog ids are 16-bit; anything else in an answer is a typo.
bool ParseId(const std::string& Text, int& Id)
{
    if (Text.empty() || Text.size() > 5 || Text.find_first_not_of("0123456789") != Text.npos)
        return false;
    Id = std::stoi(Text);
    return Id <= 0xFFFF;
}

// One action: a verb, then its argument (an id, an id and a text, or a folder).
bool ParseAction(const std::string& Piece, TAction& Action, std::string& Error)
{
    size_t VerbEnd = Piece.find_first_of(" \t");
    std::string Verb = Upper(Piece.substr(0, VerbEnd));
    std::string Rest = VerbEnd == Piece.npos ? "" : Trim(Piece.substr(VerbEnd));
    Action.Id = 0;
    Action.Text.clear();
    if (Verb == "CLOSE" || Verb == "DEFAULT" || Verb == "CANCELPROGRESS") {
        Action.Kind = Verb == "CLOSE"     ? TAction::akClose
                      : Verb == "DEFAULT" ? TAction::akDefault
                                          : TAction::akCancelProgress;
        if (!Rest.empty())
            Error = "'" + Piece + "': takes no argument";
        return Rest.empty();
    }
    if (Verb == "BROWSE") {
        Action.Kind = TAction::akBrowse;
        Action.Text = Rest;
        if (Rest.empty())
            Error = "'" + Piece + "': browse needs a folder";
        return !Rest.empty();
    }
    if (Verb == "WAIT") {
        Action.Kind = TAction::akWait;
        // Ten minutes at most: a longer wait is a typo, and would outlast any time limit.
        bool Ok = !Rest.empty() && Rest.size() <= 6 &&
                  Rest.find_first_not_of("0123456789") == Rest.npos && std::stoul(Rest) <= 600000;
        if (Ok)
            Action.Ms = static_cast<unsigned>(std::stoul(Rest));
        else
            Error = "'" + Piece + "': expected milliseconds, at most 600000";
        return Ok;
    }
    if (Verb == "CLICK" || Verb == "CHECK") {
        Action.Kind = Verb == "CLICK" ? TAction::akClick : TAction::akCheck;
        if (!ParseId(Rest, Action.Id)) {
            Error = "'" + Piece + "': expected one control id";
            return false;
        }
        return true;
    }
    if (Verb == "TYPE") {
        Action.Kind = TAction::akType;
        size_t IdEnd = Rest.find_first_of(" \t");
        if (!ParseId(Rest.substr(0, IdEnd), Action.Id)) {
            Error = "'" + Piece + "': expected a control id, then the text";
            return false;
        }
        Action.Text = IdEnd == Rest.npos ? "" : Trim(Rest.substr(IdEnd));
        return true;
    }
    Error = "'" + Piece + "': unknown action";
    return false;
}

std::string FormatAction(const TAction& Action)
{
    switch (Action.Kind) {
    case TAction::akClick:
        return "click " + std::to_string(Action.Id);
    case TAction::akCheck:
        return "check " + std::to_string(Action.Id);
    case TAction::akType:
        return "type " + std::to_string(Action.Id) + (Action.Text.empty() ? "" : " " + Action.Text);
    case TAction::akClose:
        return "close";
    case TAction::akBrowse:
        return "browse " + Action.Text;
    case TAction::akWait:
        return "wait " + std::to_string(Action.Ms);
    case TAction::akCancelProgress:
        return "cancelprogress";
    default:
        return "default";
    }
}

std::string PadLeft(const std::string& Text, size_t Width)
{
    return std::string(Width > Text.size() ? Width - Text.size() : 0, ' ') + Text;
}

std::string PadRight(const std::string& Text, size_t Width)
{
    return Text + std::string(Width > Text.size() ? Width - Text.size() : 0, ' ');
}

}   // namespace

std::string EscapeText(const std::string& Text)
{
    std::string Result;
    for (char C : Text) {
        switch (C) {
        case '\r':
            Result += "\\r";
            break;
        case '\n':
            Result += "\\n";
            break;
        case '\t':
            Result += "\\t";
            break;
        case '"':
            Result += "\\\"";
            break;
        case '\\':
            Result += "\\\\";
            break;
        default:
            Result += C;
        }
    }
    return Result;
}

const TControl* TDialog::Find(int Id) const
{
    for (const TControl& Control : Controls)
        if (Control.Id == Id)
            return &Control;
    return nullptr;
}

std::string TDialog::TextOf(int Id) const
{
    const TControl* Control = Find(Id);
    return Control ? Control->Text : "";
}

std::string TDialog::Message() const
{
    return TextOf(IsTemplate ? idText : idMessageBoxText);
}

bool ParseAnswer(const std::string& Line, TAnswer& Answer, std::string& Error)
{
    Answer.clear();
    Error.clear();
    size_t Start = 0;
    while (Start <= Line.size()) {
        size_t End = std::min(Line.find(';', Start), Line.size());
        std::string Piece = Trim(Line.substr(Start, End - Start));
        Start = End + 1;
        if (Piece.empty())
            continue;   // "click 1;" is as good as "click 1"
        TAction Action;
        if (!ParseAction(Piece, Action, Error))
            return false;
        Answer.push_back(Action);
    }
    if (Answer.empty())
        Error = "empty answer";
    return !Answer.empty();
}

std::string FormatAnswer(const TAnswer& Answer)
{
    std::string Result;
    for (const TAction& Action : Answer)
        Result += (Result.empty() ? "" : "; ") + FormatAction(Action);
    return Result;
}

std::vector<std::string> ApplyEnvOverrides(std::vector<std::string> Vars,
                                           const TEnvOverrides& Overrides)
{
    // The per-drive entries ("=C:=C:\dir") have a name that starts with '='.
    auto NameOf = [](const std::string& Var) { return Upper(Var.substr(0, Var.find('=', 1))); };
    for (const auto& [Name, Value] : Overrides) {
        std::string Key = Upper(Name);
        Vars.erase(std::remove_if(Vars.begin(), Vars.end(),
                                  [&](const std::string& Var) { return NameOf(Var) == Key; }),
                   Vars.end());
        if (Value)
            Vars.push_back(Name + "=" + *Value);
    }
    std::stable_sort(Vars.begin(), Vars.end(), [&](const std::string& A, const std::string& B) {
        return NameOf(A) < NameOf(B);
    });
    return Vars;
}

std::string DescribeDialog(const TDialog& Dialog)
{
    const char* CheckStates[] = {" unchecked", " checked", " indeterminate"};   // by BM_GETCHECK
    std::string Result =
        "\"" + EscapeText(Dialog.Title) + "\"" + (Dialog.IsTemplate ? " template" : "") + "\n";
    for (const TControl& Control : Dialog.Controls) {
        Result += PadLeft(std::to_string(Control.Id), 7) + " " + PadRight(Control.Class, 8) +
                  " \"" + EscapeText(Control.Text) + "\"";
        if (Control.Checked >= 0 && Control.Checked < 3)
            Result += CheckStates[Control.Checked];
        if (!Control.Enabled)
            Result += " disabled";
        if (!Control.Visible)
            Result += " hidden";
        Result += "\n";
    }
    return Result + "  answer: " + (Dialog.Answer.empty() ? "(none)" : Dialog.Answer) + "\n";
}

std::string DescribeRun(const TRunResult& Run)
{
    std::string Result;
    for (size_t I = 0; I < Run.Dialogs.size(); ++I)
        Result += "Dialog " + std::to_string(I + 1) + ": " + DescribeDialog(Run.Dialogs[I]);
    for (const TNotepad& Notepad : Run.Notepads) {
        Result += "Notepad \"" + EscapeText(Notepad.Title) + "\"" +
                  (Notepad.OpenAtEnd ? " (open at end)" : "") + "\n";
        size_t Start = 0;
        while (Start < Notepad.Text.size()) {
            size_t End = std::min(Notepad.Text.find('\n', Start), Notepad.Text.size());
            std::string Line = Notepad.Text.substr(Start, End - Start);
            if (!Line.empty() && Line.back() == '\r')
                Line.pop_back();
            Result += "  | " + EscapeText(Line) + "\n";
            Start = End + 1;
        }
    }
    for (const TProgressSight& Sight : Run.Progress)
        Result += "Progress \"" + EscapeText(Sight.Step) + "\" \"" + EscapeText(Sight.File) +
                  "\" " + std::to_string(Sight.Bar) + "\n";
    Result += "Answers used: " + std::to_string(Run.AnswersUsed) + "\n";
    if (Run.AnswersLeft)
        Result += "Answers left unused: " + std::to_string(Run.AnswersLeft) + "\n";
    Result += "Exit code: " + std::to_string(Run.ExitCode) + "\n";
    if (!Run.Failure.empty())
        Result += "Stopped: " + Run.Failure + "\n";
    return Result;
}

bool SameDialog(const TDialog& A, const TDialog& B)
{
    auto Same = [](const TControl& X, const TControl& Y) {
        return X.Id == Y.Id && X.Class == Y.Class && X.Text == Y.Text && X.Enabled == Y.Enabled &&
               X.Visible == Y.Visible && X.Checked == Y.Checked;
    };
    return A.Title == B.Title && A.IsTemplate == B.IsTemplate &&
           std::equal(A.Controls.begin(), A.Controls.end(), B.Controls.begin(), B.Controls.end(),
                      Same);
}

size_t TrailingRepeats(const std::vector<TDialog>& Dialogs, const TDialog& Dialog)
{
    size_t Count = 0;
    for (auto It = Dialogs.rbegin(); It != Dialogs.rend() && SameDialog(*It, Dialog); ++It)
        ++Count;
    return Count;
}

TRobotExit RobotExitCode(const TRunResult& Run)
{
    if (Run.Repeated)
        return rxRepeated;
    return Run.Unexpected || Run.TimedOut || Run.AnswersLeft ? rxNotAsAnswered : rxAsAnswered;
}
