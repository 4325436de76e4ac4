// The version of Tiny Clock, from TINYCLOCK_MAJOR (1 or 2) that the build gives: the window and
// the version resource show the same numbers.
#pragma once

#ifndef TINYCLOCK_MAJOR
#define TINYCLOCK_MAJOR 1
#endif

#define TINYCLOCK_TEXT2(Major) #Major ".0.0.0"
#define TINYCLOCK_TEXT(Major) TINYCLOCK_TEXT2(Major)
#define TINYCLOCK_VERSION_TEXT TINYCLOCK_TEXT(TINYCLOCK_MAJOR)
