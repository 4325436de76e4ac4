#!/usr/bin/env python3
"""Benchmark of SETUP.EXE: speed, start, size and memory, each figure against its target.

Every SETUP.EXE run goes through the dialog robot with --at-once (each dialog answered as soon as
it shows) and --timing, which reports the process's lifetime as the system recorded it and the
time from the robot's CreateProcess to the first visible dialog (looked for every millisecond, so
about 1 ms resolution). Runs of different kinds are interleaved round by round, so that a slow
spell of the shared machine falls on all of them; figures are medians over the rounds.

Parts (bench/run.sh --only PART,...):
  files     small-file tree (5,000 files of 1 to 8 KB in 50 folders) into an empty folder
            ("first") and again over its copy ("again"), and three 64 MB files ("large"), each
            copied by SETUP.EXE, wine xcopy, copyloop.exe (FindFirstFileA walk + CopyFileA, the
            least a Win32 copier does) and native cp; the first install also by copyloop.exe
            /flush, which flushes each copy to the disk as SETUP.EXE does (shown, no target),
            and by SETUP.EXE with [Options] Rollback=Yes, which journals every change (within
            1.1x the same install without it, net).
  keys      [Files] scripts with N keys, each naming one file of 5 bytes ("file00042.dat="), and
            the middle N installed through one pattern key ("*.dat="); [RegWrite] scripts with N
            lines, each one REG_SZ value under HKCU\\Software\\SetupBench (removed between runs).
  start     time to the first dialog, SETUP.EXE against minimaldialog.exe (same manifest, same
            DLL loading, COM, one dialog); and once, under strace, the parts of the fixed cost.
  size      SETUP.EXE's bytes, and bench/sizemap.sh's map of them where that script exists.
  bundle    the small tree and the large files each as a medium of their own, packed with
            SETUP.EXE /bundle: the bundle's size against zip -9 -r of the same medium plus
            SETUP.EXE, and its run against the same medium's folder run plus Wine's extrac32
            unpacking the bundle's cabinet (Wine's expand.exe takes one-file cabinets only) into
            the temporary folder, where a bundle unpacks; and a bundle of a 1 GB medium, whose
            run's private memory is watched. The same unpacking into the work folder is shown
            beside: making a file costs what its folder's place on the disk makes it cost (an
            ext4 without journal passes over recently freed inodes, and the temporary folder
            is where every bundle run frees thousands), which may halve or double the figure.
            The peer: an NSIS installer of the small tree (makensis with its defaults: zlib, not
            solid), run /S /D= beside the bundle run quiet (/quiet /dir=) into the same folder,
            in the same rounds, and the folder run quiet as well; their lifetimes and sizes
            are compared, and each is cut into its passes.
  scale     100,000 files of 1 to 8 KB in 500 folders, copied by SETUP.EXE run quiet from the
            folder and by copyloop.exe, both under the robot (lifetime against lifetime), and
            SETUP.EXE's peak private memory; both runs cut into their passes.

What the figures mean:
  fixed cost  lifetime of a run whose [Files] entry matches nothing: start, three dialogs
              answered at once, INF copy, log. Measured twice a round by every part that uses it.
  net         a run's lifetime minus the fixed cost: what the installation work itself took.
  per key     net / N, in ms. "Flat" means the cost at the largest N is within 1.25x of that at
              the smallest: no work grows with the square of the script's length.
  RssAnon     the private memory of SETUP.EXE's process, sampled from /proc every 10 ms.
  passes      of a quiet run, by the change times of the files it installed: until the first
              file (a bundle unpacks its medium and checks its payload there), the copies until
              the last file, and after it until the process ends (a bundle removes its
              temporary folder there).
Large files are judged net against xcopy, as small files are: the fixed cost is the dialogs'.

Run through bench/run.sh, which builds what is needed and passes the paths.
"""
import argparse
import os
import random
import re
import shutil
import statistics
import subprocess
import sys
import threading
import time

import sizemap

SMALL_DIRS = 50
SMALL_FILES_PER_DIR = 100
SCALE_DIRS = 500
SCALE_FILES_PER_DIR = 200
LARGE_FILES = 3
LARGE_SIZE = 64 << 20
KEY_COUNTS = (1000, 5000, 20000)
QUICK_KEY_COUNTS = (200, 1000, 4000)
BENCH_KEY = r"Software\SetupBench"
SETUP_DIALOGS = 3
PARTS = ("files", "keys", "start", "size", "bundle", "scale")
SIZE_TARGET = sizemap.TARGET   # the one size limit of SETUP.EXE
MEMORY_TARGET_KB = 8 * 1024
BUNDLE_MEMORY_TARGET_KB = 16 * 1024
SCALE_MEMORY_TARGET_KB = 16 * 1024
BIG_FILES, BIG_SIZE = 16, 64 << 20   # the 1 GB medium of the bundle's memory figure
TRAILER_SIZE = 32                    # a bundle's trailer: magic, payload size, ...
ROLLBACK_OPTION = ("[Options]", "Rollback=Yes")   # the journalled small-file install
ROLLBACK_LIMIT = 1.1
PASSES = ("until the first file", "copies", "after the last file")   # of a watched run


def win_path(path):
    """The Linux path as Wine's drive Z: shows it."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def replace_dir(final, fill):
    """Makes the folder final through fill(tmp) and a rename, so that a payload is whole or
    absent after an interrupted run."""
    if os.path.isdir(final):
        return
    tmp = final + ".tmp"
    shutil.rmtree(tmp, ignore_errors=True)
    os.makedirs(tmp)
    fill(tmp)
    os.rename(tmp, final)


def small_tree(dirs, files_per_dir):
    """Fills a folder with dirs folders of files_per_dir files of 1 to 8 KB of random bytes, the
    same ones every time."""
    def fill(tmp):
        rng = random.Random(5)
        for d in range(dirs):
            folder = os.path.join(tmp, "dir%0*d" % (len(str(dirs - 1)), d))
            os.makedirs(folder)
            for f in range(files_per_dir):
                with open(os.path.join(folder, "file%03d.dat" % f), "wb") as out:
                    out.write(rng.randbytes(rng.randint(1024, 8192)))
    return fill


def make_file_payloads(medium):
    def large(tmp):
        for f in range(LARGE_FILES):
            with open(os.path.join(tmp, "big%d.bin" % f), "wb") as out:
                for _ in range(LARGE_SIZE >> 20):
                    out.write(os.urandom(1 << 20))

    replace_dir(os.path.join(medium, "small"), small_tree(SMALL_DIRS, SMALL_FILES_PER_DIR))
    replace_dir(os.path.join(medium, "large"), large)


def make_key_payload(folder, count):
    def fill(tmp):
        for n in range(count):
            with open(os.path.join(tmp, "file%05d.dat" % n), "w") as out:
                out.write("%05d" % n)

    replace_dir(folder, fill)


def make_big_payload(medium):
    """1 GB in 64 MB files of text that compresses as source code does, not to nothing."""
    def fill(tmp):
        line = b"".join(b"%08d the quick brown fox jumps over the lazy dog\n" % n for n in range(4096))
        for n in range(BIG_FILES):
            with open(os.path.join(tmp, "big%02d.dat" % n), "wb") as f:
                for _ in range(BIG_SIZE // len(line)):
                    f.write(line)
    replace_dir(os.path.join(medium, "big"), fill)


def copy_range(source, start, length, dest):
    with open(source, "rb") as f, open(dest, "wb") as out:
        f.seek(start)
        while length > 0:
            block = f.read(min(length, 1 << 20))
            if not block:
                raise ValueError("%s ends early" % source)
            out.write(block)
            length -= len(block)


def write_inf(path, dest, files_lines, extra=()):
    lines = ["[Version]", "FormKv=KELVOR", "[Strings]", "MyProgramPath=" + win_path(dest),
             "[Files]"] + list(files_lines) + list(extra)
    with open(path, "w", newline="") as out:
        out.write("\r\n".join(lines) + "\r\n")


def count_files(folder):
    return sum(len(files) for _, _, files in os.walk(folder))


def median(values):
    return statistics.median(values) if values else float("nan")


class ProcessWatch:
    """Samples VmHWM and RssAnon of every process whose command line starts with Program, the
    path it was started by (every 10 ms), and notes the time (time.time()) it last saw one
    running. The whole path, so that a program of the same name in another Wine prefix (a test
    of another work tree, on the same machine) is not taken for it."""

    def __init__(self, program):
        self.program = program.lower().encode()
        self.peak_hwm = 0
        self.peak_anon = 0
        self.last_seen = None
        self.pid = None
        self.stop = threading.Event()
        self.thread = threading.Thread(target=self.run, daemon=True)

    def find(self):
        for pid in os.listdir("/proc"):
            if pid.isdigit():
                try:
                    with open("/proc/%s/cmdline" % pid, "rb") as f:
                        if f.read().split(b"\0")[0].lower().endswith(self.program):
                            return pid
                except OSError:
                    pass
        return None

    def sample(self):
        """Once the process is found only its own status is read, so that watching costs the
        measured run next to nothing."""
        if self.pid is None:
            self.pid = self.find()
            if self.pid is None:
                return
        try:
            with open("/proc/%s/status" % self.pid) as f:
                status = f.read()
            if "\nState:\tZ" in status:
                raise OSError("ended, not yet reaped")
        except OSError:
            self.pid = None   # ended; a later process of the same name is watched as well
            return
        self.last_seen = time.time()
        for line in status.splitlines():
            if line.startswith("VmHWM:"):
                self.peak_hwm = max(self.peak_hwm, int(line.split()[1]))
            elif line.startswith("RssAnon:"):
                self.peak_anon = max(self.peak_anon, int(line.split()[1]))

    def run(self):
        while not self.stop.is_set():
            self.sample()
            time.sleep(0.01)

    def __enter__(self):
        self.thread.start()
        return self

    def __exit__(self, *exc):
        self.stop.set()
        self.thread.join()


class Bench:
    def __init__(self, args):
        self.args = args
        self.work = os.path.abspath(args.work)
        self.medium = os.path.join(self.work, "medium")
        self.out = os.path.join(self.work, "out")
        self.env = dict(os.environ, WINEPREFIX=args.prefix, WINEDEBUG="-all")
        self.times = {}      # (payload, scenario, method) -> [seconds]
        self.first_dialog = {}  # program -> [ms]
        self.memory = {}     # key -> (peak VmHWM kB, peak RssAnon kB)
        self.inf_copies = os.path.join(args.prefix, "drive_c", "windows", "inf")
        self.key_counts = QUICK_KEY_COUNTS if args.quick else KEY_COUNTS
        self.parts = args.only.split(",") if args.only else list(PARTS)
        self.breakdown = None
        self.sizemap = None
        self.bundles = {}       # payload -> (medium folder, script, bundle, cabinet)
        self.bundle_sizes = {}  # payload -> (bundle bytes, zip -9 bytes)
        self.peers = {}         # payload -> NSIS installer of the bundle's medium

    def run(self, command):
        return subprocess.run(command, env=self.env, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL).returncode

    def settle(self):
        # Write back what the last run left (and the discards of the trees it deleted), so that
        # no run pays for another one's disk work.
        subprocess.run(["sync"])
        time.sleep(1)

    def record(self, key, seconds):
        self.times.setdefault(key, []).append(seconds)

    def fail(self, key, problem, command):
        sys.exit("bench: %s: %s (command: %s)" % ("/".join(key), problem, " ".join(command)))

    def robot(self, key, program_args, dialogs, check=None, watch=True, installs=None):
        """Runs a program under the robot; records its lifetime (seconds) under key and returns
        the milliseconds to its first dialog. A run without dialogs (quiet) must end with exit
        code 0; the robot then looks for windows at its slow pace only, so that it takes no time
        from the run. With installs, the folder the run fills, its passes are recorded too."""
        command = ["wine", self.args.robot, "--defaults", "--timing", "--timeout", "1800000"] + \
            (["--at-once"] if dialogs else []) + ["--"] + program_args
        self.settle()
        start = time.perf_counter()
        if watch:
            with ProcessWatch(program_args[0]) as process:
                result = subprocess.run(command, env=self.env, capture_output=True, text=True,
                                        errors="replace")
            hwm, anon = self.memory.get(key, (0, 0))
            self.memory[key] = (max(hwm, process.peak_hwm), max(anon, process.peak_anon))
        else:
            result = subprocess.run(command, env=self.env, capture_output=True, text=True,
                                    errors="replace")
        seconds = time.perf_counter() - start
        timing = re.search(r"Timing: first dialog ([-\d.]+) ms, lifetime ([-\d.]+) ms",
                           result.stdout)
        seen = len(re.findall(r"^Dialog \d+:", result.stdout, re.M))
        if result.returncode != 0 or not timing:
            self.fail(key, "robot exit code %d: %s" % (result.returncode, result.stdout[-500:]),
                      command)
        if not dialogs and "Exit code: 0\n" not in result.stdout:
            self.fail(key, "a failed quiet run: %s" % result.stdout[-500:], command)
        if seen != dialogs:
            self.fail(key, "%d dialogs instead of %d (an error box?): %s"
                      % (seen, dialogs, result.stdout[-1500:]), command)
        problem = check() if check else None
        if problem:
            self.fail(key, problem, command)
        self.record(key[:2] + (key[2] + "+robot",), seconds)
        self.record(key, float(timing.group(2)) / 1000)
        if installs:
            self.record_passes(key, process, installs)
        return float(timing.group(1))

    def record_passes(self, key, process, folder):
        """Cuts a watched run into its passes by the change times of the files it installed:
        until the first file (with a bundle: the unpacking and its checksum), the copies until
        the last file, and what follows until the process ends (with a bundle: the removal of
        its temporary folder). The watch sees the end within 10 ms; the start is the end less
        the lifetime, since Wine names the process only once its loader has run."""
        changed = [os.stat(os.path.join(path, name)).st_ctime
                   for path, _, names in os.walk(folder) for name in names]
        end = process.last_seen
        marks = [end - self.times[key][-1], min(changed), max(changed), end]
        for n, name in enumerate(PASSES):
            self.record(key[:2] + ("%s %d %s" % (key[2], n + 1, name),), marks[n + 1] - marks[n])

    def setup_args(self, inf):
        return [win_path(os.path.join(self.medium, "SETUP.EXE")), win_path(inf)]

    def forget_inf_copy(self, inf):
        """A run that finds its script's installed copy behaves as an update: first runs don't."""
        copy = os.path.join(self.inf_copies, os.path.basename(inf))
        if os.path.exists(copy):
            os.remove(copy)

    def setup_run(self, key, inf, check=None, watch=True):
        return self.robot(key, self.setup_args(inf), SETUP_DIALOGS, check, watch)

    # --- files: the small tree and the large files against other copiers ---

    def copy_commands(self, method, source, dest):
        if method == "xcopy":
            return ["wine", "xcopy", win_path(source), win_path(dest), "/E", "/I", "/Y"]
        if method in ("loop", "loopflush"):
            return ["wine", self.args.loop, win_path(source), win_path(dest)] + \
                (["/flush"] if method == "loopflush" else [])
        if method == "cp":
            # Over an existing copy: copy the contents, not the folder into itself.
            return ["cp", "-r", source + "/.", dest] if os.path.isdir(dest) else ["cp", "-r", source, dest]
        raise ValueError(method)

    def one_copy(self, payload, scenario, method, expected):
        source = os.path.join(self.medium, payload)
        root = os.path.join(self.out, "%s-%s" % (payload, method))
        setup = method in ("setup", "rollback")
        dest = os.path.join(root, payload) if setup else root
        if scenario == "first":
            shutil.rmtree(root, ignore_errors=True)

        def check():
            found = count_files(dest)
            return "%d files at %s, expected %d" % (found, dest, expected) if found != expected else None

        key = (payload, scenario, method)
        if setup:
            # The rollback runs have a script of their own: each first run is a first install.
            name = payload.upper() + ("RB" if method == "rollback" else "")
            inf = os.path.join(self.medium, name + ".INF")
            write_inf(inf, root, [payload + "\\*.*=%MyProgramPath%\\" + payload],
                      ROLLBACK_OPTION if method == "rollback" else ())
            if scenario == "first":
                self.forget_inf_copy(inf)
            self.setup_run(key, inf, check)
            return
        command = self.copy_commands(method, source, dest)
        self.settle()
        if method == "loop" and payload == "small":
            # Started from Linux: Wine keeps the Linux path as the first argument.
            with ProcessWatch(self.args.loop) as process:
                start = time.perf_counter()
                code = self.run(command)
                seconds = time.perf_counter() - start
            self.memory[key] = (process.peak_hwm, process.peak_anon)
        else:
            start = time.perf_counter()
            code = self.run(command)
            seconds = time.perf_counter() - start
        problem = "exit code %d" % code if code else check()
        if problem:
            self.fail(key, problem, command)
        self.record(key, seconds)

    def baseline(self):
        root = os.path.join(self.out, "none-setup")
        shutil.rmtree(root, ignore_errors=True)
        inf = os.path.join(self.medium, "NONE.INF")
        write_inf(inf, root, ["nothing\\*.none="])
        self.forget_inf_copy(inf)
        self.setup_run(("none", "first", "setup"), inf)

    def files_round(self, round_):
        small = count_files(os.path.join(self.medium, "small"))
        large = count_files(os.path.join(self.medium, "large"))
        methods = ["setup", "xcopy", "loop", "cp"]
        order = methods[round_ % 4:] + methods[:round_ % 4]   # no method always goes first
        for method in order:
            # The same install journalled, right beside it; which of the two goes first
            # alternates, as each run finds the disk still busy with the run before.
            firsts = [method]
            if method == "setup":
                firsts = ["setup", "rollback"] if round_ % 2 == 0 else ["rollback", "setup"]
            for first in firsts:
                self.one_copy("small", "first", first, small)
            self.one_copy("small", "again", method, small)
        self.one_copy("small", "first", "loopflush", small)
        for method in order:
            self.one_copy("large", "first", method, large)

    # --- keys: scripts of many [Files] keys and many [RegWrite] lines ---

    def keys_folder(self, count):
        return os.path.join(self.medium, "keys%d" % count)

    def files_keys_run(self, count, pattern):
        folder = self.keys_folder(count)
        name = ("P%d.INF" if pattern else "K%d.INF") % count
        inf = os.path.join(folder, name)
        root = os.path.join(self.out, name[:-4])
        shutil.rmtree(root, ignore_errors=True)
        lines = ["*.dat="] if pattern else ["file%05d.dat=" % n for n in range(count)]
        write_inf(inf, root, lines)
        self.forget_inf_copy(inf)

        def check():
            found = count_files(root)
            return "%d files at %s, expected %d and the log" % (found, root, count) \
                if found != count + 1 else None

        self.setup_run(("keys", "pattern" if pattern else "files", str(count)), inf, check)

    def reg_delete(self):
        self.run(["wine", "reg", "delete", "HKCU\\" + BENCH_KEY, "/f"])

    def regwrite_run(self, count):
        inf = os.path.join(self.medium, "R%d.INF" % count)
        root = os.path.join(self.out, "R%d" % count)
        shutil.rmtree(root, ignore_errors=True)
        lines = ["v%05d=HKCU,%s,v%05d,Reg_SZ,text %05d" % (n, BENCH_KEY, n, n)
                 for n in range(count)]
        write_inf(inf, root, ["nothing\\*.none="], ["[RegWrite]"] + lines)
        self.forget_inf_copy(inf)
        self.reg_delete()
        log = os.path.join(root, "LOGFILKV.LOG")

        def check():
            with open(log, encoding="latin-1") as f:
                written = sum(1 for line in f if "SetupBench\tv" in line)
            return "%d values in the log, expected %d" % (written, count) if written != count else None

        self.setup_run(("keys", "regwrite", str(count)), inf, check)
        self.reg_delete()

    def keys_round(self, round_):
        middle = self.key_counts[1]
        runs = [(lambda n=n: self.files_keys_run(n, False)) for n in self.key_counts]
        runs.append(lambda: self.files_keys_run(middle, True))
        runs += [(lambda n=n: self.regwrite_run(n)) for n in self.key_counts]
        shift = round_ % len(runs)
        for run in runs[shift:] + runs[:shift]:
            run()

    # --- start: the first dialog against a minimal program, and the parts of the fixed cost ---

    def start_round(self, round_):
        inf = os.path.join(self.medium, "NONE.INF")
        root = os.path.join(self.out, "none-setup")
        write_inf(inf, root, ["nothing\\*.none="])
        minimal = [win_path(self.args.minimal)]
        for i in range(3):
            for program in (["minimal", "SETUP.EXE"] if (round_ + i) % 2 else ["SETUP.EXE", "minimal"]):
                if program == "minimal":
                    ms = self.robot(("start", "minimal", "lifetime"), minimal, 1, watch=False)
                else:
                    shutil.rmtree(root, ignore_errors=True)
                    self.forget_inf_copy(inf)
                    ms = self.robot(("start", "SETUP.EXE", "lifetime"), self.setup_args(inf),
                                    SETUP_DIALOGS, watch=False)
                self.first_dialog.setdefault(program, []).append(ms)

    def strace_breakdown(self):
        """One fixed-cost run under strace, its phases marked by the first access to known files.
        strace slows every file call, so the parts come out longer than in an untraced run; their
        shares are what counts."""
        if not shutil.which("strace"):
            self.breakdown = ["strace is missing: no breakdown"]
            return
        inf = os.path.join(self.medium, "NONE.INF")
        root = os.path.join(self.out, "none-setup")
        write_inf(inf, root, ["nothing\\*.none="])
        shutil.rmtree(root, ignore_errors=True)
        self.forget_inf_copy(inf)
        trace = os.path.join(self.work, "fixed-cost.strace")
        command = ["strace", "-f", "-ttt", "-s", "300", "--seccomp-bpf", "-e", "trace=%file,%process",
                   "-o", trace, "wine", self.args.robot, "--defaults", "--at-once", "--timing",
                   "--"] + self.setup_args(inf)
        self.settle()
        result = subprocess.run(command, env=self.env, capture_output=True, text=True,
                                errors="replace")
        timing = re.search(r"first dialog ([-\d.]+) ms, lifetime ([-\d.]+) ms", result.stdout)
        self.breakdown = phases(trace, "NONE.INF", float(timing.group(1)) if timing else None)

    # --- bundle: one file with the medium inside ---

    def make_bundle(self, payload):
        """The payload alone as a medium (hard links to its files) with its script; the bundle
        packed from it, its size against zip -9 -r of the same medium, and its cabinet as a file
        of its own for the platform's unpacker."""
        folder = os.path.join(self.work, "bundle-" + payload)
        shutil.rmtree(folder, ignore_errors=True)
        os.makedirs(folder)
        subprocess.run(["cp", "-rl", os.path.join(self.medium, payload), folder], check=True)
        inf = os.path.join(folder, "B%s.INF" % payload.upper())
        write_inf(inf, os.path.join(self.out, "bundle-" + payload),
                  [payload + "\\*.*=%MyProgramPath%\\" + payload])
        shutil.copy(self.args.setup, os.path.join(folder, "SETUP.EXE"))
        exe = os.path.join(self.work, payload + "-setup.exe")
        start = time.perf_counter()
        command = ["wine", win_path(os.path.join(folder, "SETUP.EXE")), "/quiet",
                   "/bundle=" + win_path(exe)]
        if self.run(command):
            self.fail(("bundle", payload, "pack"), "the pack failed", command)
        self.record(("bundle", payload, "pack"), time.perf_counter() - start)
        archive = os.path.join(self.work, payload + ".zip")
        if os.path.exists(archive):
            os.remove(archive)
        subprocess.run(["zip", "-9", "-r", "-q", archive, ".", "-x", "SETUP.EXE"], cwd=folder,
                       check=True)
        self.bundle_sizes[payload] = (os.path.getsize(exe), os.path.getsize(archive))
        os.remove(archive)
        with open(exe, "rb") as f:
            f.seek(-TRAILER_SIZE, os.SEEK_END)
            trailer = f.read(TRAILER_SIZE)
        cabinet_size = int.from_bytes(trailer[8:16], "little")
        cabinet = os.path.join(self.work, payload + ".cab")
        copy_range(exe, os.path.getsize(exe) - TRAILER_SIZE - cabinet_size, cabinet_size, cabinet)
        # The index's name is one no file may have, so that no medium's file can take it; the
        # platform's unpacker would refuse it: renamed in the copy, it unpacks as a file.
        with open(cabinet, "r+b") as f:
            head = f.read(1 << 20)
            at = head.find(b"<medium>\0")
            if at >= 0:
                f.seek(at)
                f.write(b"_medium_")
        return folder, inf, exe, cabinet

    def bundle_round(self, round_):
        for payload in ("small", "large") if round_ % 2 == 0 else ("large", "small"):
            folder, inf, exe, cabinet = self.bundles[payload]
            expected = count_files(os.path.join(folder, payload))
            root = os.path.join(self.out, "bundle-" + payload)

            def check():
                found = count_files(os.path.join(root, payload))
                return "%d files, expected %d" % (found, expected) if found != expected else None
            # The quiet runs and the peer's silent run install into the same folder.
            setup = [win_path(os.path.join(folder, "SETUP.EXE")), win_path(inf)]
            quiet = ["/quiet", "/dir=" + win_path(root)]
            runs = {"folder": (setup, SETUP_DIALOGS), "bundle": ([win_path(exe)], SETUP_DIALOGS)}
            if payload in self.peers:
                runs["quiet"] = ([win_path(exe)] + quiet, 0)
                runs["nsis"] = ([win_path(self.peers[payload]), "/S", "/D=" + win_path(root)], 0)
                runs["folder-quiet"] = (setup + quiet, 0)
            forms = list(runs)
            shift = round_ % len(forms)
            for form in forms[shift:] + forms[:shift]:
                shutil.rmtree(root, ignore_errors=True)
                self.forget_inf_copy(inf)
                self.robot(("bundle", payload, form), runs[form][0], runs[form][1], check,
                           installs=os.path.join(root, payload) if not runs[form][1] else None)
            places = [("extrac32", self.temp_dir()), ("extrac32-work", self.out)]
            for method, place in places if round_ % 2 == 0 else places[::-1]:
                self.unpack_round(payload, method, place, cabinet, expected)

    def make_peer(self, payload):
        """The peer: an NSIS installer of the bundle's payload, built by makensis with NSIS's
        defaults (zlib, not solid, its own check of the whole file at the start). It installs the
        payload's folder into the folder /D= names, as the bundle's script does."""
        source = os.path.join(self.bundles[payload][0], payload)
        script = os.path.join(self.work, payload + "-nsis.nsi")
        exe = os.path.join(self.work, payload + "-nsis.exe")
        with open(script, "w") as out:
            out.write('Name "Bench %s"\nOutFile "%s"\nInstallDir "$PROGRAMFILES\\Bench"\n'
                      'Section\n  SetOutPath "$INSTDIR"\n  File /r "%s"\nSectionEnd\n'
                      % (payload, exe, source))
        command = ["makensis", "-V1", script]
        start = time.perf_counter()
        if subprocess.run(command, stdout=subprocess.DEVNULL).returncode:
            self.fail(("bundle", payload, "makensis"), "makensis failed", command)
        self.record(("bundle", payload, "makensis"), time.perf_counter() - start)
        return exe

    def temp_dir(self):
        """The Linux path of the temporary folder that Wine gives SETUP.EXE."""
        if not hasattr(self, "temp"):
            shown = subprocess.run(["wine", "cmd.exe", "/c", "echo", "%TEMP%"], env=self.env,
                                   capture_output=True, text=True, errors="replace").stdout
            self.temp = os.path.realpath(subprocess.run(
                ["winepath", "-u", shown.strip()], env=self.env, capture_output=True, text=True,
                errors="replace").stdout.strip())
            if not os.path.isdir(self.temp):
                sys.exit("bench: no temporary folder of Wine's at %r" % self.temp)
        return self.temp

    def unpack_round(self, payload, method, place, cabinet, expected):
        """Wine's extrac32 unpacks the bundle's cabinet into a new folder in place."""
        unpacked = os.path.join(place, "extrac32-" + payload)
        shutil.rmtree(unpacked, ignore_errors=True)
        os.makedirs(unpacked)
        self.settle()
        start = time.perf_counter()
        command = ["wine", "extrac32", "/Y", "/E", "/L", win_path(unpacked), win_path(cabinet)]
        if self.run(command) or count_files(unpacked) < expected:
            self.fail(("bundle", payload, method), "extrac32 failed", command)
        self.record(("bundle", payload, method), time.perf_counter() - start)
        shutil.rmtree(unpacked, ignore_errors=True)

    def bundle_memory(self):
        """One run of a bundle of 1 GB, its private memory watched; the medium is made, packed and
        removed here."""
        make_big_payload(self.medium)
        folder, inf, exe, cabinet = self.make_bundle("big")
        os.remove(cabinet)
        root = os.path.join(self.out, "bundle-big")
        shutil.rmtree(root, ignore_errors=True)
        self.forget_inf_copy(inf)
        self.robot(("bundle", "1GB", "bundle"), [win_path(exe)], SETUP_DIALOGS)
        for path in (folder, root, os.path.join(self.medium, "big")):
            shutil.rmtree(path, ignore_errors=True)
        os.remove(exe)

    # --- scale: 100,000 small files ---

    def scale_round(self, round_):
        """SETUP.EXE (quiet, from the folder) and the reference loop copy the tree of 100,000
        files, each run under the robot and watched for memory; each copy is removed after
        it."""
        source = os.path.join(self.medium, "scale")
        expected = SCALE_DIRS * SCALE_FILES_PER_DIR
        inf = os.path.join(self.medium, "SCALE.INF")
        for method in ("setup", "loop") if round_ % 2 == 0 else ("loop", "setup"):
            root = os.path.join(self.out, "scale-" + method)
            dest = os.path.join(root, "scale")
            shutil.rmtree(root, ignore_errors=True)

            def check():
                found = count_files(dest)
                return "%d files, expected %d" % (found, expected) if found != expected else None
            if method == "setup":
                write_inf(inf, root, ["scale\\*.*=%MyProgramPath%\\scale"])
                self.forget_inf_copy(inf)
                args = self.setup_args(inf) + ["/quiet"]
            else:
                os.makedirs(root)   # the loop makes the last level only
                args = [win_path(self.args.loop), win_path(source), win_path(dest)]
            self.robot(("scale", "first", method), args, 0, check, installs=dest)
            shutil.rmtree(root, ignore_errors=True)

    # --- size ---

    def size(self):
        script = self.args.sizemap
        folder = os.path.dirname(self.args.setup)
        linker_map = os.path.join(folder, "SETUP.map")
        if script and os.path.exists(script) and os.path.exists(linker_map):
            # It exits 1 when the program is too large: the table says so as well.
            result = subprocess.run([script, self.args.setup, linker_map,
                                     os.path.join(folder, "SETUP.dbg")],
                                    capture_output=True, text=True, errors="replace")
            self.sizemap = (result.stdout + result.stderr).rstrip()
        else:
            self.sizemap = "(no bench/sizemap.sh or no SETUP.map beside SETUP.EXE: no size map)"

    def main(self):
        unknown = set(self.parts) - set(PARTS)
        if unknown:
            sys.exit("bench: unknown part(s) %s; the parts are %s" % (",".join(unknown), ",".join(PARTS)))
        os.makedirs(self.medium, exist_ok=True)
        os.makedirs(self.out, exist_ok=True)
        print("bench: payloads in %s; parts %s; %d round(s)%s"
              % (self.medium, ",".join(self.parts), self.args.rounds,
                 ", quick" if self.args.quick else ""), flush=True)
        if "files" in self.parts or "bundle" in self.parts:
            make_file_payloads(self.medium)
        if "keys" in self.parts:
            for count in self.key_counts:
                make_key_payload(self.keys_folder(count), count)
        shutil.copy(self.args.setup, os.path.join(self.medium, "SETUP.EXE"))
        if "bundle" in self.parts:
            for payload in ("small", "large"):
                self.bundles[payload] = self.make_bundle(payload)
            self.peers["small"] = self.make_peer("small")
        if "scale" in self.parts:
            replace_dir(os.path.join(self.medium, "scale"), small_tree(SCALE_DIRS, SCALE_FILES_PER_DIR))
        holder = self.hold_desktop()
        try:
            self.rounds()
        finally:
            holder.terminate()
            try:
                holder.wait(10)
            except subprocess.TimeoutExpired:
                holder.kill()

    def hold_desktop(self):
        """Starts a program that keeps a dialog open for the whole benchmark. Wine's desktop
        process lives only while some program uses the desktop: without one, every run would
        start it anew (100 ms and more), which no Windows machine does. It is not a child of the
        measured programs, so the robot does not end it either."""
        holder = subprocess.Popen(["wine", self.args.minimal], env=self.env,
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(2)
        return holder

    def rounds(self):
        started = time.perf_counter()
        needs_baseline = "files" in self.parts or "keys" in self.parts
        for round_ in range(self.args.rounds):
            print("bench: round %d of %d" % (round_ + 1, self.args.rounds), flush=True)
            if needs_baseline:
                self.baseline()
            if "files" in self.parts:
                self.files_round(round_)
            if "keys" in self.parts:
                self.keys_round(round_)
            if "start" in self.parts:
                self.start_round(round_)
            if "bundle" in self.parts:
                self.bundle_round(round_)
            if "scale" in self.parts:
                self.scale_round(round_)
            if needs_baseline:
                self.baseline()
        if "start" in self.parts:
            print("bench: the fixed cost's parts, under strace", flush=True)
            self.strace_breakdown()
        if "size" in self.parts:
            self.size()
        if "bundle" in self.parts:
            print("bench: a bundle of 1 GB, its memory watched", flush=True)
            self.bundle_memory()
        shutil.rmtree(self.out, ignore_errors=True)
        self.report(time.perf_counter() - started)

    def med(self, key):
        return median(self.times.get(key, []))

    def passes_row(self, key, name):
        """A row without target: the medians of a run's passes (see record_passes)."""
        parts = [self.med(key[:2] + ("%s %d %s" % (key[2], n + 1, part),))
                 for n, part in enumerate(PASSES)]
        return ("  %s: until 1st file / copies / after" % name,
                " / ".join("%.2f" % part for part in parts) + " s", "", None)

    def report(self, seconds):
        print()
        print("%d round(s) in %.0f s; median and range (min-max) in seconds" % (self.args.rounds, seconds))
        for key in sorted(self.times):
            values = self.times[key]
            print("  %-28s %8.3f %8.3f-%-8.3f" % ("/".join(key), median(values), min(values), max(values)))
        if self.memory:
            print()
            for key, (hwm, anon) in sorted(self.memory.items()):
                print("  peak memory %-26s VmHWM %6.1f MB  RssAnon %6.1f MB"
                      % ("/".join(key), hwm / 1024, anon / 1024))
        if self.breakdown:
            print()
            print("Fixed cost in parts (one run under strace, ms from SETUP.EXE's exec):")
            for line in self.breakdown:
                print("  " + line)
        if self.sizemap:
            print()
            print(self.sizemap)
        rows = self.figures()
        print()
        print("%-52s %-24s %-14s %s" % ("figure", "measured", "target", "holds"))
        for figure, measured, target, holds in rows:
            verdict = "-" if holds is None else ("yes" if holds else "NO")
            print("%-52s %-24s %-14s %s" % (figure, measured, target, verdict))

    def rollback_row(self, base):
        """The small-file first install with Rollback=Yes against the same without, both net."""
        plain = self.med(("small", "first", "setup")) - base
        journalled = self.med(("small", "first", "rollback")) - base
        return ("  the same with Rollback=Yes / without, net",
                "%.2f (%.2f / %.2f s)" % (journalled / plain, journalled, plain),
                "<= %.2f" % ROLLBACK_LIMIT, journalled / plain <= ROLLBACK_LIMIT)

    def figures(self):
        rows = []
        base = self.med(("none", "first", "setup"))
        if "files" in self.parts:
            for scenario, against, name, limit in [("first", "loop", "reference loop", 1.1),
                                                   ("again", "xcopy", "wine xcopy", 1.0)]:
                net = self.med(("small", scenario, "setup")) - base
                other = self.med(("small", scenario, against))
                rows.append(("small files %s: net / %s" % (scenario, name),
                             "%.2f (%.2f / %.2f s)" % (net / other, net, other),
                             "<= %.2f" % limit, net / other <= limit))
                if scenario == "first":
                    rows.append(self.rollback_row(base))
                    # SETUP.EXE flushes each file before it takes its final name: the loop that
                    # does as much shows what that costs on this disk.
                    flushing = self.med(("small", "first", "loopflush"))
                    rows.append(("  the same, / reference loop flushing each file",
                                 "%.2f (/ %.2f s)" % (net / flushing, flushing), "", None))
            net = self.med(("large", "first", "setup")) - base
            gross = self.med(("large", "first", "setup"))
            xcopy = self.med(("large", "first", "xcopy"))
            rows.append(("large files: net / wine xcopy",
                         "%.2f (gross %.2f)" % (net / xcopy, gross / xcopy), "<= 1.00",
                         net / xcopy <= 1.0))
        if "keys" in self.parts:
            low, middle, high = self.key_counts
            for kind, label in [("files", "[Files]"), ("regwrite", "[RegWrite]")]:
                per = {}
                for count in self.key_counts:
                    net = self.med(("keys", kind, str(count))) - base
                    per[count] = net / count * 1000
                    rows.append(("%s %s %s: ms each, net" % (label, format(count, ","),
                                                            "keys" if kind == "files" else "lines"),
                                 "%.3f (net %.2f s)" % (per[count], net), "", None))
                ratio = per[high] / per[low]
                rows.append(("%s per-%s cost %s / %s" % (label, "key" if kind == "files" else "line",
                                                       format(high, ","), format(low, ",")),
                             "%.2f" % ratio, "<= 1.25", ratio <= 1.25))
                if kind == "files":
                    keys = self.med(("keys", "files", str(middle))) - base
                    pattern = self.med(("keys", "pattern", str(middle))) - base
                    rows.append(("[Files] %s keys / one pattern key, net" % format(middle, ","),
                                 "%.2f (%.2f / %.2f s)" % (keys / pattern, keys, pattern),
                                 "<= 1.20", keys / pattern <= 1.2))
        if "start" in self.parts:
            setup = median(self.first_dialog.get("SETUP.EXE", []))
            minimal = median(self.first_dialog.get("minimal", []))
            rows.append(("start to first dialog: SETUP.EXE / minimal",
                         "%.2f (%.0f / %.0f ms)" % (setup / minimal, setup, minimal), "<= 1.20",
                         setup / minimal <= 1.2))
        # The start part's runs go unwatched, so they give the cleaner figure.
        fixed = self.med(("start", "SETUP.EXE", "lifetime"))
        fixed = fixed if fixed == fixed else base
        if fixed == fixed:   # measured at all
            rows.append(("fixed cost (3 dialogs answered at once)", "%.3f s" % fixed,
                         "<= 0.415 s", fixed <= 0.415))
        if "size" in self.parts:
            size = os.path.getsize(self.args.setup)
            rows.append(("SETUP.EXE size", "%s bytes" % format(size, ","), "<= 204,800",
                         size <= SIZE_TARGET))
        if "bundle" in self.parts:
            setup_size = os.path.getsize(self.args.setup)
            for payload, (bundle, archive) in sorted(self.bundle_sizes.items()):
                if payload == "big":
                    continue   # made for its memory figure only
                limit = 1.05 * archive + setup_size
                rows.append(("bundle size, %s: / (1.05 zip -9 + SETUP.EXE)" % payload,
                             "%.2f (%s / %s bytes)" % (bundle / limit, format(bundle, ","),
                                                        format(int(limit), ",")),
                             "<= 1.00", bundle <= limit))
            for payload in ("small", "large"):
                folder = self.med(("bundle", payload, "folder"))
                bundle = self.med(("bundle", payload, "bundle"))
                unpack = self.med(("bundle", payload, "extrac32"))
                work = self.med(("bundle", payload, "extrac32-work"))
                if bundle == bundle:
                    rows.append(("bundle run, %s: - folder run, / extrac32 in TEMP" % payload,
                                 "%.2f (%.2f - %.2f / %.2f s)" % ((bundle - folder) / unpack,
                                                                  bundle, folder, unpack),
                                 "<= 1.20", (bundle - folder) / unpack <= 1.2))
                    rows.append(("  the same, / extrac32 in the work folder",
                                 "%.2f (/ %.2f s)" % ((bundle - folder) / work, work), "", None))
            quiet = self.med(("bundle", "small", "quiet"))
            peer = self.med(("bundle", "small", "nsis"))
            if peer == peer:
                rows.append(("bundle run, small, quiet / NSIS installer /S",
                             "%.2f (%.2f / %.2f s)" % (quiet / peer, quiet, peer), "<= 1.00",
                             quiet / peer <= 1.0))
                rows.append(self.passes_row(("bundle", "small", "quiet"), "bundle"))
                rows.append(self.passes_row(("bundle", "small", "nsis"), "NSIS"))
                folder = self.med(("bundle", "small", "folder-quiet"))
                rows.append(("  the same, / the folder run quiet", "%.2f (/ %.2f s)"
                             % (quiet / folder, folder), "", None))
                rows.append(self.passes_row(("bundle", "small", "folder-quiet"), "folder run"))
                bundle_size = self.bundle_sizes["small"][0]
                peer_size = os.path.getsize(self.peers["small"])
                rows.append(("bundle size, small / NSIS installer (zlib)",
                             "%.3f (%s / %s bytes)" % (bundle_size / peer_size,
                                                       format(bundle_size, ","),
                                                       format(peer_size, ",")),
                             "<= 1.05", bundle_size <= 1.05 * peer_size))
            big = self.memory.get(("bundle", "1GB", "bundle"))
            if big:
                rows.append(("bundle run of 1 GB: RssAnon peak", "%.1f MB" % (big[1] / 1024),
                             "< 16 MB", big[1] < BUNDLE_MEMORY_TARGET_KB))
        if "scale" in self.parts:
            setup = self.med(("scale", "first", "setup"))
            loop = self.med(("scale", "first", "loop"))
            rows.append(("%s files, quiet: SETUP.EXE / reference loop"
                         % format(SCALE_DIRS * SCALE_FILES_PER_DIR, ","),
                         "%.2f (%.2f / %.2f s)" % (setup / loop, setup, loop), "<= 1.20",
                         setup / loop <= 1.2))
            rows.append(self.passes_row(("scale", "first", "setup"), "SETUP.EXE"))
            rows.append(self.passes_row(("scale", "first", "loop"), "reference loop"))
            anon = self.memory[("scale", "first", "setup")][1]
            rows.append(("  the same, SETUP.EXE RssAnon peak", "%.1f MB" % (anon / 1024),
                         "< 16 MB", anon < SCALE_MEMORY_TARGET_KB))
        # Bundles and the tree of 100,000 files have targets of their own.
        setup_memory = [(anon, key) for key, (_, anon) in self.memory.items()
                        if key[2] != "loop" and key[0] not in ("bundle", "scale")]
        if setup_memory:
            anon, key = max(setup_memory)
            rows.append(("SETUP.EXE RssAnon peak, worst payload",
                         "%.1f MB (%s)" % (anon / 1024, "/".join(key)), "< 8 MB",
                         anon < MEMORY_TARGET_KB))
        return rows


# Files whose first access marks a step of SETUP.EXE's run, in the order they are expected;
# the breakdown sorts them by time anyway.
MARKERS = [
    ("comctl32.dll", "comctl32 6 loaded (manifest), with user32, gdi32"),
    ("win32u.so", "graphics: win32u, fonts"),
    ("explorer.exe", "Wine starts the desktop process"),
    ("uxtheme.dll", "visual style"),
    ("ole32.dll", "COM: ole32, combase, rpcrt4"),
    ("@INF", "script: discovery, version, profile reads"),
    ("null.dll", "first window: display driver loaded"),
    ("@DIALOG", "first dialog seen by the robot"),
    ("windows/inf/@INF", "installed copy looked up; dialogs 2, 3"),
    ("~setupkv", "INF copy written"),
    ("rundll32.exe", "uninstall command looked up"),
    ("LOGFILKV.LOG", "log opened"),
    ("mscoree.dll", "C run-time's exit"),
]


def phases(trace, inf_name, first_dialog_ms):
    """The steps of SETUP.EXE's run from an strace -f -ttt log: for each marker its first time
    in SETUP.EXE's process, and the time from each step to the next."""
    setup_pid, start, end = None, None, None
    first = {}
    with open(trace, errors="replace") as f:
        for line in f:
            m = re.match(r"(\d+)\s+([\d.]+) (.*)", line)   # strace pads the pid column
            if not m:
                continue
            pid, when, rest = m.group(1), float(m.group(2)), m.group(3)
            if rest.startswith("execve("):
                # The robot's own command line names SETUP.EXE too, and the command lines of
                # SETUP.EXE's execs name the script: neither counts as an access.
                if setup_pid is None and "SETUP.EXE" in rest and "robot" not in rest:
                    setup_pid, start = pid, when
                elif "explorer.exe" in rest and "explorer.exe" not in first:
                    first["explorer.exe"] = when
                continue
            if setup_pid is None:
                continue
            if pid != setup_pid:
                continue
            if rest.startswith("exit_group"):
                end = when
            for pattern, _ in MARKERS:
                needle = pattern.replace("@INF", inf_name)
                if pattern != "@DIALOG" and pattern not in first and needle in rest:
                    first[pattern] = when
    if start is None:
        return ["no SETUP.EXE process in the trace"]
    if first_dialog_ms is not None and first_dialog_ms >= 0:
        first["@DIALOG"] = start + first_dialog_ms / 1000
    names = dict(MARKERS)
    steps = [(start, "process start: Wine loader, ntdll, kernel32, C run-time")]
    steps += sorted((when, names[pattern]) for pattern, when in first.items())
    steps.append((end or steps[-1][0], "end"))
    total = (steps[-1][0] - start) * 1000
    lines = []
    for (when, label), (after, _) in zip(steps, steps[1:]):
        ms = (after - when) * 1000
        lines.append("%7.1f ms at %6.1f  %-48s %4.0f%%" % (ms, (when - start) * 1000, label,
                                                         100 * ms / total if total else 0))
    lines.append("%7.1f ms in all under strace" % total)
    return lines


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--setup", required=True, help="SETUP.EXE to measure")
    parser.add_argument("--robot", required=True, help="robot.exe (Linux path)")
    parser.add_argument("--loop", required=True, help="copyloop.exe (Linux path)")
    parser.add_argument("--minimal", required=True, help="minimaldialog.exe (Linux path)")
    parser.add_argument("--prefix", required=True, help="Wine prefix of the runs")
    parser.add_argument("--work", required=True, help="folder for payloads and copies")
    parser.add_argument("--build", required=True, help="build folder SETUP.EXE comes from")
    parser.add_argument("--sizemap", help="bench/sizemap.sh, run with the build folder")
    parser.add_argument("--rounds", type=int, default=5)
    parser.add_argument("--only", help="comma-separated parts: " + ",".join(PARTS))
    parser.add_argument("--quick", action="store_true", help="smaller key counts")
    Bench(parser.parse_args()).main()


if __name__ == "__main__":
    main()
