// Every fixed capacity of the installer's texts and paths, each named once with what it bounds.
// A ...Size counts the NUL, as the buffer that holds the text does: the longest text is one
// less. Pure (no <windows.h>), so that the checker and the fuzz targets judge a script by the
// numbers SETUP.EXE uses.
#pragma once
#include <cstddef>

// A path as the system's own calls take it (MAX_PATH): 259 characters and the NUL. The system
// writes no longer path into a link file, and a bundle's index keeps each path in this room.
const size_t SystemPathSize = 260;

// A path that the user types into PATHSEL, picks in the folder browser or sets as MyProgramPath:
// 260 characters and the NUL. A longer MyProgramPath counts as none.
const size_t PathBufSize = 261;

// A path read back into the short buffer: the dialog field that the folder browser starts from,
// a program found on the search path. 258 characters and the NUL: a longer field is cut, a
// longer path is still found but not kept.
const size_t PathFieldSize = 259;

// A [RegRead] line as written, and the tmp or temp folder that takes the log of a run that ended
// before its own log was open: 519 characters and the NUL. A longer line ends the run, a longer
// folder gets no log.
const size_t LineBufSize = 520;

// A text expanded into a fixed buffer (ExpandEnvPasString; a [RegRead] line once expanded): 520
// characters and the NUL. A longer one ends the run with this size in its message.
const size_t PasStringSize = 521;

// The installer's text buffer: a section's key names, each NUL-ended, then one more NUL (a longer
// [RegRead] key list ends the run); a registry value read back before [RegWrite] overwrites it (a
// longer one is written without comparing). The profile reads start with it before they grow.
const size_t TextBufSize = 2601;

// The [Version] FormKv value as read for the signature: only its first 30 characters count.
const int SignatureSize = 31;

// The backup folder that the file-conflict dialog edits.
const int BackupDirSize = 720;

// The most that the environment and profile functions take in one text, NUL included. A longer
// one they cut, store as an empty text, or take for a bad pointer, none of which they report.
const size_t SystemTextSize = 32768;
