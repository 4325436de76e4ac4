// The whole run, step by step, from the INF file's discovery to the report.
#pragma once

// Carries out the INF file. Returns after the last step; every earlier end leaves through the
// process exit, where the exit procedure reports it.
void RunInstallSequence();
