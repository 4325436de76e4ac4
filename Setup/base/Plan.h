// The plan (/plan=FILE): the run goes through all of its steps and makes every decision as a real
// run would, but each step that would change the machine only looks whether it could, and says
// what it would do. The plan's lines are the log the run would write.
#pragma once
#include <windows.h>

#include <string>

// True for the whole of a run started with /plan=FILE.
extern bool Planning;

// Starts the plan: from now on nothing is shown either; where the run would ask, the plan says
// so and takes the answer a quiet run takes.
void StartPlan();

// Whether the run that the plan describes is shown (started without /quiet).
extern bool PlanShown;

// Writes the plan to the file that /plan named: the lines the log would get (and the plan's own),
// then the report and exit code the run would end with. A name ending in ".json" gets them as
// JSON. False when the file can't be written.
bool WritePlan(const std::string& Report, int ExitCode);

// The value of every variable that InfPath's [RegRead] and [Strings] set, and of those the run
// sets itself, as the later sections will use them.
void PlanVariables(const std::string& InfPath);

// A line that only the plan has: what the run would ask or do where its log says nothing.
void PlanLine(const std::string& Text);

// Whether Sid is the local system account's (S-1-5-18): deployment tools (Intune, Configuration
// Manager) run installers as that account.
bool IsLocalSystem(PSID Sid);

// Whether this process runs as the local system account: its token's user is that account.
bool RunsAsSystem();

// In a plan of a run as SYSTEM, says that What goes into SYSTEM's own profile, where no user sees
// it: an HKCU value (Path empty), or a file at Path below the profile folder (a link).
void PlanSystemProfile(const std::string& What, const std::string& Path = "");

// A question that the run would put where the plan takes the answer that a quiet run takes (the
// recorded one, with /answers): what is asked, what each answer leads to, and the answer taken.
void PlanQuestion(int Answer);

// What CreateDirectory(Path) would do now, in a plan: true where it would make the folder, whose
// parent is there or made earlier in the plan; the plan then counts Path as made.
bool PlanMakeDir(const std::string& Path);

// Whether the plan has made the folder Path (letter case ignored).
bool PlanMadeDir(const std::string& Path);

// The files that the plan has installed: a later step finds them there.
void PlanAddFile(const std::string& Path);
bool PlanHasFile(const std::string& Path);

// The registry keys that the plan has made and the values it has set, for the lines after them.
void PlanAddKey(HKEY Root, const std::string& SubKey);
bool PlanHasKey(HKEY Root, const std::string& SubKey);
void PlanSetValue(HKEY Root, const std::string& SubKey, const std::string& Name, DWORD Type,
                  const std::string& Data);
bool PlanValue(HKEY Root, const std::string& SubKey, const std::string& Name, DWORD& Type,
               std::string& Data);

// Opens Path (file or folder) for Access with Flags and closes it again, changing nothing in it;
// false when that is refused, and GetLastError tells why. FILE_FLAG_BACKUP_SEMANTICS opens a
// folder too; FILE_FLAG_OPEN_REPARSE_POINT opens a link as itself.
bool MayOpen(const std::string& Path, DWORD Access, DWORD Flags);

// Whether a folder could be made below Parent (which exists): the right to add one to it.
bool MayAddTo(const std::string& Parent);

// Whether the registry would let the run create (or open) SubKey below Root: the key is there and
// opens, or it is missing and its nearest existing parent lets the run add keys to it.
bool MayCreateKey(HKEY Root, const std::string& SubKey);

// What setting a value in Root\SubKey would give: ERROR_SUCCESS, or the code of the refusal.
LONG MaySetValue(HKEY Root, const std::string& SubKey);

// Whether the file at Path could be written (made, or opened for writing when it is there); when
// not, GetLastError tells why as writing it would: a missing folder, or access denied.
bool MayWriteFile(const std::string& Path);
