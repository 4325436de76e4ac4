// Dialog robot: starts a program, answers its dialogs from a script and records what it saw.
// Whole-run tests and robot.exe use it; nothing here depends on GoogleTest.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

// One child control of a dialog, as read when the dialog appeared.
struct TControl {
    int Id;              // 16-bit dialog id: a static with id -1 reads as 65535
    std::string Class;   // "Button", "Static", "Edit", ...
    std::string Text;
    bool Enabled;
    bool Visible;
    int Checked;   // BM_GETCHECK of check boxes and radio buttons, -1 for every other control
};

// One appearance of a dialog: a new window, or a window that waits for the user again after a
// dialog it opened has closed.
struct TDialog {
    std::string Title;
    bool IsTemplate = false;   // has control 101: one of the program's templates, not a message box
    std::vector<TControl> Controls;
    std::string Answer;   // what the robot did, in answer syntax

    const TControl* Find(int Id) const;   // nullptr if absent
    std::string TextOf(int Id) const;     // "" if absent
    std::string Message() const;          // template: control 101; message box: its text (65535)
};

struct TAction {
    enum TKind {
        akClick,
        akType,
        akCheck,
        akClose,
        akBrowse,
        akWait,
        akDefault,
        akCancelProgress
    } Kind;
    int Id = 0;         // click, type, check
    std::string Text;   // type: the new text; browse: the folder
    unsigned Ms = 0;    // wait
};
using TAnswer = std::vector<TAction>;   // the actions that answer one dialog, in order

// Parses one answer: actions separated by ';', each one of
//   click ID | check ID | type ID TEXT | close | default | browse FOLDER | wait MS |
//   cancelprogress
// TEXT and FOLDER run to the next ';' (trimmed), so they may hold spaces but no ';'.
// "check" clicks synchronously, so later actions see its effect; "close" posts WM_CLOSE, which
// dialogs turn into command 2; "default" clicks the button Enter would press; "browse" selects
// FOLDER in a shell folder browser, checks the selection and clicks OK; "wait" leaves the dialog
// as it is for MS milliseconds (at most 600000), long enough for a person or a screenshot to
// see it; "cancelprogress" clicks Cancel in the program's progress window (which is no dialog
// that gets answers), to be asked about once the dialog at hand is answered.
// Returns false with a reason in Error for a malformed line.
bool ParseAnswer(const std::string& Line, TAnswer& Answer, std::string& Error);
std::string FormatAnswer(const TAnswer& Answer);   // back into answer syntax

// Environment changes for the started program: name and value to set, name alone to remove.
using TEnvOverrides = std::vector<std::pair<std::string, std::optional<std::string>>>;

// Applies Overrides to "NAME=value" entries (names compare without regard to case, as Windows
// does) and sorts the result by name, as CreateProcess expects an environment block.
std::vector<std::string> ApplyEnvOverrides(std::vector<std::string> Vars,
                                           const TEnvOverrides& Overrides);

// A Notepad window opened by the program (directly, or through the shell).
struct TNotepad {
    std::string Title;
    std::string Text;         // content of its edit control
    bool OpenAtEnd = false;   // still open when the program had ended; the robot then closes it
};

// What the progress window showed at one look; a new sight whenever something changed.
struct TProgressSight {
    std::string Step;   // control 101
    std::string File;   // control 110
    int Bar = -1;       // the bar's position, 0 to 1000
};

struct TRunResult {
    std::vector<TDialog> Dialogs;   // in the order they appeared
    std::vector<TNotepad> Notepads;
    std::vector<TProgressSight> Progress;   // the program's progress window, in the order seen
    size_t AnswersUsed = 0;
    size_t AnswersLeft = 0;   // answers for dialogs that never came
    bool TimedOut = false;
    bool Repeated = false;     // a dialog came back unchanged RepeatLimit times to the default
    bool Unexpected = false;   // a dialog with no answer left, an answer that did not fit the
                               // dialog, or a program that did not start; see Failure
    unsigned long ExitCode = 0;
    std::string Failure;         // why the run was stopped, "" if it was not
    double FirstDialogMs = -1;   // from just before the program's start to the first sight of a
                                 // visible dialog of it; -1 if none came
    double LifetimeMs = -1;      // from just before the program's start to the robot seeing its end
};

// Exit code the robot gives a program it stops (57005): the transcript's "Exit code:" then.
const unsigned long RobotKilledExitCode = 0xDEAD;

// The most appearances in a row of one dialog, unchanged, that the default answer gets. A dialog
// that comes back as it was after its default (Retry on a file that stays in use, a folder that
// can't be made) would take it until the time limit; the robot stops it instead.
const size_t RepeatLimit = 20;

// Whether two appearances show the same: title, controls, their texts and states.
bool SameDialog(const TDialog& A, const TDialog& B);

// How many of the last appearances of Dialogs, counted from the end, show what Dialog shows.
size_t TrailingRepeats(const std::vector<TDialog>& Dialogs, const TDialog& Dialog);

// robot.exe's exit codes.
enum TRobotExit {
    rxAsAnswered = 0,       // every dialog got its answer, every answer was used, in time
    rxNotAsAnswered = 1,    // an unexpected dialog, an answer that did not fit, answers left, or
                            // the time limit
    rxBadCommandLine = 2,   // a bad command line or answers file: nothing was run
    rxRepeated = 3,         // a dialog came back unchanged RepeatLimit times to the default
};
TRobotExit RobotExitCode(const TRunResult& Run);

struct TRunOptions {
    std::string CommandLine;
    std::string WorkDir;   // "" = the robot's own current directory
    TEnvOverrides Env;
    std::vector<TAnswer> Answers;   // one per dialog appearance, in order
    bool DefaultsForRest =
        false;   // dialogs beyond Answers get "default" instead of failing the run
    unsigned TimeoutMs = 30000;
    bool AtOnce = false;   // look every millisecond and answer each dialog as soon as it shows, for
                           // timing a program: its texts may not all have arrived yet
};

// Runs the program to its end, answering each dialog appearance with the next answer. A dialog
// that is still open after a dialog it opened (a message box, the folder browser) has closed
// appears again. A dialog without an answer (unless DefaultsForRest), an answer that does not
// fit, a dialog that comes back unchanged RepeatLimit times to the default answer, or the time
// limit stops the program. Processes that it leaves running (Notepads) are ended.
TRunResult RunWithRobot(const TRunOptions& Options);

// Readable transcripts: one dialog (title, each control with id, class, text and state, the
// answer), and a whole run (every dialog, every Notepad, the outcome).
std::string DescribeDialog(const TDialog& Dialog);
std::string DescribeRun(const TRunResult& Run);

// Text with CR, LF, TAB, quote and backslash written as C escapes, so that it fits on one line.
std::string EscapeText(const std::string& Text);
