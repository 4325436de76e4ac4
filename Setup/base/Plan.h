// The plan's output (/plan=FILE): the run goes through all of its steps and makes every decision
// as a real run would, but each step that would change the machine only looks whether it could,
// and says what it would do. The plan's lines are the log the run would write. Nothing here
// calls up into the run: the plan's sides (the doors' plan implementations) call it.
#pragma once
#include <windows.h>

#include <string>

// Until every step asks its door instead, the choice and the books come with the plan's output.

// Writes the plan to the file that /plan named: the lines the log would get (and the plan's own),
// then the report and exit code the run would end with; Shown: the run it describes is shown
// (started without /quiet). A name ending in ".json" gets them as JSON. False when the file can't
// be written.
bool WritePlan(const std::string& Report, int ExitCode, bool Shown);

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

// For a plan of a run as SYSTEM, says that What goes into SYSTEM's own profile, where no user
// sees it: an HKCU value (Path empty), or a file at Path below the profile folder (a link). Only
// a plan's side calls it.
void PlanSystemProfile(const std::string& What, const std::string& Path = "");

// The question in DlgRec that the run would put where the plan takes the answer that a quiet run
// takes (the recorded one, with /answers): what is asked (Shown: the run would ask it, else it
// takes the answer too), what each answer leads to, and the answer taken.
void PlanQuestion(int Answer, bool Shown);
