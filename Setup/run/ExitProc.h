// The end of every run: the rest of the log, and the report.
#pragma once

// Runs once when the process ends, however it ends.
void ExitProcedure();

// Makes ExitProcedure run at process exit, before every exit handler installed earlier.
void HookExitProcedure();
