#!/usr/bin/env python3
"""Where SETUP.EXE's bytes come from, read from the linker map of the link that made it.

    bench/sizemap.sh SETUP.EXE SETUP.map [SETUP.dbg]

Every input section that lands in the file is counted for its origin: the program's own code by
top folder, libstdc++, libgcc, winpthreads, the mingw-w64 run-time, the import tables and stubs,
the resources, the base relocations. What the sections don't account for is the PE headers and
the padding to the file alignment. Exits 1 when the file is larger than the size it must keep.

SETUP.EXE's own code is compiled as one unit at the link (LTO), so the map shows it as one
object. The line table of the unstripped program (SETUP.dbg beside the map, unless named) splits
its machine code by the source file each instruction came from: the program's folders, and the
library templates (std::string above all) compiled into it. Its data and unwind tables stay one
figure.
"""
import os
import re
import subprocess
import sys

# The size limit of SETUP.EXE, in bytes: the test SetupSize and the benchmark hold it to this.
TARGET = 204800
SOURCE_ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# Output sections that take no bytes in the stripped file.
NOT_IN_FILE = re.compile(r"^\.(bss|debug|zdebug|stab|endjunk|edata|pdata)")
# One input section, on one line or with its name on the line before.
INPUT_LINE = re.compile(r"^ (\S+)\s+0x[0-9a-f]+\s+0x([0-9a-f]+)\s+(\S.*)$")
INPUT_CONT = re.compile(r"^\s+0x[0-9a-f]+\s+0x([0-9a-f]+)\s+(\S.*)$")
OUTPUT_LINE = re.compile(r"^(\.\S+)")
# Members of an import library: the stubs of one function each, the head and the tail.
IMPORT_MEMBER = re.compile(r"^lib\w+?(_def)?(s\d+|h|t)\.o$")
ARCHIVE = re.compile(r"^(.*?)([^/]+\.a)\(([^)]+)\)$")

OWN_LIBRARIES = {
    "libScriptRules.a": "Rules",
    "libSysDll.a": "SysDll",
    "libFileInfoKv.a": "FileInfoKv",
    "libGetDirDlg.a": "GetDirDlg",
    "libLnkOleU.a": "LnkOleU",
}
ORDER = ["Setup/*.cpp", "Setup/run", "Setup/sections", "Setup/base", "Rules", "SysDll",
         "FileInfoKv", "GetDirDlg", "LnkOleU", "own code (after LTO)", "libstdc++", "libgcc",
         "winpthreads", "mingw CRT", "imports", "resources", "relocations"]


def setup_folder(member):
    """The folder under Setup/ whose source became this object (Report.cpp.obj: base)."""
    source = member[:-len(".obj")] if member.endswith(".obj") else member
    for folder in ("run", "sections", "base"):
        if os.path.exists(os.path.join(SOURCE_ROOT, "Setup", folder, source)):
            return "Setup/" + folder
    return "Setup/base" if source.startswith("Setup") else "Setup (other)"


def origin(path, output):
    """The origin of one input file of the link, as the map names it."""
    if output == ".idata" or "delayimports/" in path:
        return "imports"
    if path == "dll stuff":
        return "relocations"
    if path.endswith(".res"):
        return "resources"
    if ".ltrans" in path:
        return "own code (after LTO)"
    match = ARCHIVE.match(path)
    if match:
        archive, member = match.group(2), match.group(3)
        if IMPORT_MEMBER.match(member):
            return "imports"
        if archive in ("libstdc++.a", "libsupc++.a"):
            return "libstdc++"
        if archive in ("libgcc.a", "libgcc_eh.a"):
            return "libgcc"
        if archive in ("libpthread.a", "libwinpthread.a"):
            return "winpthreads"
        if archive in OWN_LIBRARIES:
            return OWN_LIBRARIES[archive]
        if archive.startswith("libSetup"):
            return setup_folder(member)
        return "mingw CRT"
    name = os.path.basename(path)
    if name.startswith("crtbegin") or name.startswith("crtend"):
        return "libgcc"
    if name in ("Setup.cpp.obj", "RunTimeThrows.cpp.obj"):
        return "Setup/*.cpp"
    if "/Setup.dir/" in path:
        return setup_folder(name)
    return "mingw CRT"


def sizes_by_origin(map_path):
    totals = {}
    output = None
    pending = None
    in_layout = False
    with open(map_path, encoding="utf-8", errors="replace") as lines:
        for line in lines:
            line = line.rstrip("\n")
            if line.startswith("Linker script and memory map"):
                in_layout = True
                continue
            if not in_layout:
                continue
            out = OUTPUT_LINE.match(line)
            if out:
                output = out.group(1)
                pending = None
                continue
            if output is None or NOT_IN_FILE.match(output):
                continue
            match = INPUT_LINE.match(line)
            if match:
                size, path = int(match.group(2), 16), match.group(3)
            else:
                match = INPUT_CONT.match(line) if pending else None
                if not match:
                    # A long section name stands alone; its address, size and file follow.
                    pending = re.match(r"^ (\S+)$", line)
                    continue
                size, path = int(match.group(1), 16), match.group(2)
            pending = None
            if size and not path.startswith("0x") and "=" not in path:
                key = origin(path.strip(), output)
                totals[key] = totals.get(key, 0) + size
    return totals


def lto_text_range(map_path):
    """Start and size of the machine code of the LTO object, or None without LTO."""
    text = re.compile(r"^ \.text\s+0x([0-9a-f]+)\s+0x([0-9a-f]+)\s+\S*\.ltrans\S*$")
    with open(map_path, encoding="utf-8", errors="replace") as lines:
        for line in lines:
            match = text.match(line)
            if match:
                return int(match.group(1), 16), int(match.group(2), 16)
    return None


def source_origin(path):
    """The origin of code that the line table puts in this source file."""
    if "/include/c++/" in path:
        return "libstdc++ templates"
    rel = os.path.relpath(path, SOURCE_ROOT)
    if rel.startswith(".."):
        return "system headers"
    parts = rel.split(os.sep)
    if parts[0] == "Setup":
        if len(parts) == 2:
            return "Setup/*.cpp"
        return "Setup/" + parts[1]
    return parts[0]


def code_by_source(dbg_path, start, size):
    """Bytes of machine code in [start, start + size) by the origin of their source file."""
    dump = subprocess.run(["i686-w64-mingw32-objdump", "--dwarf=decodedline", dbg_path],
                          capture_output=True, text=True, check=True).stdout.splitlines()
    # Rows name their file without its folder; the headers between them give whole paths.
    paths = {}
    for line in dump:
        if line.endswith(":") and line.startswith("/"):
            paths.setdefault(os.path.basename(line[:-1]), line[:-1])
    row = re.compile(r"^(\S+)\s+(\d+|-)\s+0x([0-9a-f]+)")
    totals = {}
    previous = None   # (address, origin) of the row whose range is still open
    for line in dump:
        match = row.match(line)
        if not match:
            continue
        address = int(match.group(3), 16)
        if previous and start <= previous[0] < start + size:
            end = min(address, start + size)
            totals[previous[1]] = totals.get(previous[1], 0) + max(0, end - previous[0])
        if match.group(2) == "-":   # the end of a sequence opens no range
            previous = None
            continue
        name = match.group(1)
        path = paths.get(name) or find_source(name)
        previous = (address, source_origin(path) if path else "system headers")
    return totals


def find_source(name, found={}):
    """The program's source file of this name (the build folders left out), remembered."""
    if name not in found:
        found[name] = None
        for folder, subfolders, files in os.walk(SOURCE_ROOT):
            subfolders[:] = [f for f in subfolders if f not in ("build", ".git")]
            if name in files:
                found[name] = os.path.join(folder, name)
                break
    return found[name]


def main():
    if len(sys.argv) not in (3, 4):
        sys.exit("usage: sizemap.sh SETUP.EXE LINKER.map [SETUP.dbg]")
    exe, map_path = sys.argv[1], sys.argv[2]
    dbg_path = sys.argv[3] if len(sys.argv) == 4 else os.path.splitext(map_path)[0] + ".dbg"
    file_size = os.path.getsize(exe)
    totals = sizes_by_origin(map_path)
    lto = lto_text_range(map_path)
    split = {}
    if lto and os.path.exists(dbg_path):
        split = code_by_source(dbg_path, *lto)
    counted = sum(totals.values())
    print("SETUP.EXE bytes by origin (%s)" % exe)
    row = "  %-30s %8d"
    own = 0
    for key in ORDER + sorted(k for k in totals if k not in ORDER):
        if key not in totals:
            continue
        print(row % (key, totals[key]))
        if key == "own code (after LTO)" and split:
            for origin in sorted(split, key=lambda o: (ORDER.index(o) if o in ORDER else 99, o)):
                print(row % ("  code of " + origin, split[origin]))
            print(row % ("  its data and unwind tables", totals[key] - sum(split.values())))
        if key.startswith(("Setup", "own")) or key in OWN_LIBRARIES.values():
            own += totals[key]
    print(row % ("headers/padding", file_size - counted))
    print(row % ("total", file_size) + "   (own code and data: %d)" % own)
    holds = file_size <= TARGET
    print(row % ("target", TARGET) +
          ("   holds" if holds else "   exceeded by %d" % (file_size - TARGET)))
    return 0 if holds else 1


if __name__ == "__main__":
    sys.exit(main())
