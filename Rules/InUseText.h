// Files that are in use while they are installed: the file that waits beside one for the next
// start of Windows, and the texts of waiting, asking and reporting, without the system.
#pragma once
#include <string>
#include <vector>

#include "Rules/FilesText.h"

// Exit code of a run with switches that installed everything but needs a restart to finish:
// ERROR_SUCCESS_REBOOT_REQUIRED, which deployment tools read as "success, restart".
const int ecRestartNeeded = 3010;

// The name of the complete new file that waits beside the file called Name for the next start of
// Windows: "~setupkv-" + Name + ".tmp". One name per destination, so that a second run before the
// restart replaces the waiting file instead of adding one. A directory search for a killed run's
// files (TempPattern) finds it too, but it is none of theirs (IsTempFileName is false for it).
std::string WaitingFileName(const std::string& Name);

// Exactly such a name; letter case ignored, as the file system does.
bool IsWaitingFileName(const std::string& Name);

// How the system's list of renames at the next start writes a path: this before the drive.
const char* const PendingPrefix = "\\??\\";

// The sources of Pending, the system's list of renames at the next start as the registry holds it
// (each name NUL-ended, source and target in turn, an empty name at the end), in their order and
// as the list writes them. A name that is not ended by a NUL ends the list as well.
std::vector<std::string> PendingSources(const std::string& Pending);

// Whether Pending names Path as a source (PendingPrefix + Path); letter case is ignored.
bool IsScheduledSource(const std::string& Pending, const std::string& Path);

// The same list in the system's own characters, two bytes each, in which it is written back:
// Kept gets Pending without the pairs whose source is Source, the others as they were, and the
// empty name at the end; "" when no pair stays. Names compare in Folded, Pending with every letter
// in upper case (the system's to fold), against Source folded alike. Returns how many pairs went;
// -1 (Kept empty) for a list that is not whole (a name without its NUL, a source without its
// target), which is nobody's to rewrite.
int DropPendingPairs(const std::string& Pending, const std::string& Folded,
                     const std::string& Source, std::string& Kept);

// The question of the in-use dialog about the system's file B.
std::string InUseMessage(const std::string& B);

// The log line of B, in use now, whose replacement by the new file waits for the next restart.
std::string RestartLine(const std::string& B, const TCopyPlan& Plan);

// The log line of B, in use, when the system refuses to replace it at the next restart; the
// failed copy's own line follows it.
std::string RefusedLine(const std::string& B, const std::string& Reason);

// The log line of an [Options] FilesInUse value that is none of the known ones.
std::string UnknownFilesInUseLine(const std::string& Value);
// The same for [Options] Rollback, which is then off.
std::string UnknownRollbackLine(const std::string& Value);

// The exit code of a run with switches, Code as RunExitCode gives it, when Scheduled says that
// files wait for the next restart: only a success becomes ecRestartNeeded; warnings and failures
// keep their code, so that a deployment tool does not count them as done.
int RestartExitCode(int Code, bool Scheduled);

// The report's text (Report as ReportText gives it) for such a run: a run that installed
// everything (Code is a success or warnings) says that a restart finishes it.
std::string RestartReport(const std::string& Report, int Code, bool Scheduled);
