#!/bin/sh
# Compiler launcher: runs the win32 thread model's compiler in place of the posix one that CMake
# was given (i686-w64-mingw32-g++-posix becomes i686-w64-mingw32-g++-win32), same arguments.
Compiler=$1
shift
exec "${Compiler%-posix}-win32" "$@"
