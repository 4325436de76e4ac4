// The switches of an unattended installation and the exit codes that deployment tools read:
// text rules only, without the system.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct TSwitches {
    bool Any = false;        // at least one switch: the run reports by its exit code
    bool Quiet = false;      // /quiet: nothing on screen
    std::string Dir;         // /dir=PATH: the installation folder, as typed into the path dialog
    std::string Record;      // /record=FILE: the answers of this run are written there
    std::string Answers;     // /answers=FILE: the answers are taken from there
    std::string Plan;        // /plan=FILE: what the run would do goes there; nothing is changed
    bool Rollback = false;   // /rollback: a failed or cancelled run undoes its changes
    bool Help = false;       // /? or /help: the switches are shown, nothing else happens
};

// What ParseSwitches found wrong: an unknown switch or a missing or unexpected value, or a
// switch given a second time.
enum TSwitchScan { ssOk, ssBad, ssTwice };

// Takes the switches out of Args (each begins with '/', letter case ignored, before or after the
// script) and the script argument, the first argument that is no switch ("" when there is
// none). Anything but ssOk leaves the argument at fault in Bad.
TSwitchScan ParseSwitches(const std::vector<std::string>& Args, TSwitches& Switches,
                          std::string& Script, std::string& Bad);

// The switches, one line each, as /? shows them.
std::string HelpText();

// Exit codes of a run with switches, in the scheme of the system's installer and error codes.
const int ecSuccess = 0;
const int ecWarnings = 1;          // installed, with warnings in the log
const int ecScriptNotFound = 2;    // ERROR_FILE_NOT_FOUND: no signed script, or not the named one
const int ecBadCommandLine = 87;   // ERROR_INVALID_PARAMETER
const int ecCancelled = 1602;      // ERROR_INSTALL_USEREXIT: declined or cancelled
const int ecFailed = 1603;         // ERROR_INSTALL_FAILURE

// How a run that did not complete ended, when that is more than its error count says.
enum TRunEnd { reNone, reScriptNotFound, reBadCommandLine, reCancelled };

// The exit code of a run: Completed and ErrorCount as the report reads them.
int RunExitCode(bool Completed, int32_t ErrorCount, TRunEnd End);

// The answer file: one section of the run, one per recorded file conflict.
const char* const AnswersSection = "SetupAnswers";
const char* const AnswersVersion = "1";    // a file of this version replays with later programs
std::string ConflictSection(int Number);   // "Conflict1", ...

// Buttons of the file-conflict dialog as the answer file names them: skip (1), cancel (2),
// overwrite (4); 0 for a name that is none of them.
int ButtonOfAnswer(const std::string& Name);
std::string AnswerOfButton(int Button);

// The answer file's answer to every file in use (InUse, where the script asks about them): replace
// it when Windows starts next, or end the run; iaNone for a text that is neither.
enum TInUseAnswer { iaNone, iaRestart, iaCancel };
const char* const InUseAnswerKey = "InUse";
TInUseAnswer InUseAnswerOf(const std::string& Text);
const char* InUseAnswerName(TInUseAnswer Answer);   // "restart", "cancel"; "" for iaNone

// The conflict policy of an answer file's Default: skip, overwrite, or backup (overwrite after a
// backup); false for any other text.
bool ParsePolicy(const std::string& Text, int& Button, bool& Backup);
