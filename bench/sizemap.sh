#!/usr/bin/env bash
# SETUP.EXE's bytes by origin, read from the linker map (build/<dir>/Setup/SETUP.map) and the
# line table of the unstripped program beside it (SETUP.dbg); see sizemap.py.
#
#   bench/sizemap.sh build/main/Setup/SETUP.EXE build/main/Setup/SETUP.map [SETUP.dbg]
#
# Exits 1 when SETUP.EXE is larger than 204,800 bytes.
exec python3 "$(dirname "${BASH_SOURCE[0]}")/sizemap.py" "$@"
