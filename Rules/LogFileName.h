// The name of the run's log, which the installer writes into the installation folder and the
// checker expects the uninstallation to remove.
#pragma once

const char* const LogFileName = "LOGFILKV.LOG";
