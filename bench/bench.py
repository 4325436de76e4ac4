#!/usr/bin/env python3
"""Benchmark of SETUP.EXE's [Files] installation against other ways to copy the same files.

Payloads: a small-file tree (5,000 files of 1 to 8 KB in 50 directories) and a few 64 MB files.
Each is copied, interleaved round by round, by:
  setup   SETUP.EXE under Wine through a [Files] script, the dialog robot answering its dialogs
  xcopy   wine xcopy FROM TO /E /I /Y
  loop    copyloop.exe: FindFirstFileA walk + CopyFileA, the least a Win32 copier does
  cp      native cp -r
The small tree is copied into an empty destination ("first") and again over its own copy
("again"). "setup" is the lifetime of the SETUP.EXE process (seen in /proc), "setup+robot" the
robot's whole run around it. SETUP.EXE's fixed cost (start, dialogs answered by the robot, INF
copy, log header) is measured twice a round by the same run with a [Files] entry that matches
nothing ("none"), so that "net" is the time of the file installation itself. Peak memory of
SETUP.EXE and of the reference copier is sampled from /proc during their runs.

Run through bench/run.sh, which builds what is needed and passes the paths.
"""
import argparse
import os
import random
import shutil
import statistics
import subprocess
import sys
import threading
import time

SMALL_DIRS = 50
SMALL_FILES_PER_DIR = 100
LARGE_FILES = 3
LARGE_SIZE = 64 << 20


def win_path(path):
    """The Linux path as Wine's drive Z: shows it."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def make_payloads(medium):
    small = os.path.join(medium, "small")
    large = os.path.join(medium, "large")
    if not os.path.isdir(small):
        rng = random.Random(5)
        tmp = small + ".tmp"
        shutil.rmtree(tmp, ignore_errors=True)
        for d in range(SMALL_DIRS):
            folder = os.path.join(tmp, "dir%02d" % d)
            os.makedirs(folder)
            for f in range(SMALL_FILES_PER_DIR):
                with open(os.path.join(folder, "file%03d.dat" % f), "wb") as out:
                    out.write(rng.randbytes(rng.randint(1024, 8192)))
        os.rename(tmp, small)
    if not os.path.isdir(large):
        tmp = large + ".tmp"
        shutil.rmtree(tmp, ignore_errors=True)
        os.makedirs(tmp)
        for f in range(LARGE_FILES):
            with open(os.path.join(tmp, "big%d.bin" % f), "wb") as out:
                for _ in range(LARGE_SIZE >> 20):
                    out.write(os.urandom(1 << 20))
        os.rename(tmp, large)


def write_inf(path, dest, files_line):
    text = "\r\n".join(["[Version]", "FormKv=KELVOR", "[Strings]", "MyProgramPath=" + win_path(dest),
                        "[Files]", files_line]) + "\r\n"
    with open(path, "w", newline="") as out:
        out.write(text)


def count_files(folder):
    return sum(len(files) for _, _, files in os.walk(folder))


class ProcessWatch:
    """Samples VmHWM and RssAnon of every process whose command line names Program, and notes
    when such a process was first and last seen (every 10 ms)."""

    def __init__(self, program):
        self.program = program.lower().encode()
        self.peak_hwm = 0
        self.peak_anon = 0
        self.first_seen = None
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
        except OSError:
            self.pid = None   # ended; a later process of the same name is watched as well
            return
        now = time.perf_counter()
        self.first_seen = self.first_seen or now
        self.last_seen = now
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
        self.memory = {}     # program -> (peak VmHWM kB, peak RssAnon kB)
        self.inf_copies = os.path.join(args.prefix, "drive_c", "windows", "inf")

    def run(self, command, quiet=True):
        result = subprocess.run(command, env=self.env, stdout=subprocess.DEVNULL if quiet else None,
                                stderr=subprocess.DEVNULL if quiet else None)
        return result.returncode

    def timed(self, key, command, check, watch=None):
        # Write back what the last run left (and the discards of the trees it deleted), so that
        # no run pays for another one's disk work.
        subprocess.run(["sync"])
        time.sleep(1)
        start = time.perf_counter()
        if watch:
            with ProcessWatch(watch) as process:
                code = self.run(command)
            hwm, anon = self.memory.get(key, (0, 0))
            self.memory[key] = (max(hwm, process.peak_hwm), max(anon, process.peak_anon))
        else:
            code = self.run(command)
        seconds = time.perf_counter() - start
        problem = check(code)
        if problem:
            sys.exit("bench: %s: %s (command: %s)" % ("/".join(key), problem, " ".join(command)))
        if watch == "SETUP.EXE":
            # The robot's own start and its wait for late child processes are not SETUP.EXE's.
            self.times.setdefault(key[:2] + ("setup+robot",), []).append(seconds)
            seconds = process.last_seen - process.first_seen
        self.times.setdefault(key, []).append(seconds)

    def setup_command(self, inf):
        return ["wine", self.args.robot, "--defaults", "--timeout", "600000", "--",
                win_path(os.path.join(self.medium, "SETUP.EXE")), win_path(inf)]

    def copy_commands(self, method, source, dest):
        if method == "xcopy":
            return ["wine", "xcopy", win_path(source), win_path(dest), "/E", "/I", "/Y"]
        if method == "loop":
            return ["wine", self.args.loop, win_path(source), win_path(dest)]
        if method == "cp":
            # Over an existing copy: copy the contents, not the folder into itself.
            return ["cp", "-r", source + "/.", dest] if os.path.isdir(dest) else ["cp", "-r", source, dest]
        raise ValueError(method)

    def one(self, payload, scenario, method, expected):
        source = os.path.join(self.medium, payload)
        root = os.path.join(self.out, "%s-%s" % (payload, method))
        dest = os.path.join(root, payload) if method == "setup" else root
        if scenario == "first":
            shutil.rmtree(root, ignore_errors=True)
            if method == "setup":
                inf_copy = os.path.join(self.inf_copies, payload.upper() + ".INF")
                if os.path.exists(inf_copy):
                    os.remove(inf_copy)

        def check(code):
            if code != 0:
                return "exit code %d" % code
            found = count_files(dest)
            if found != expected:
                return "%d files at %s, expected %d" % (found, dest, expected)
            return None

        key = (payload, scenario, method)
        if method == "setup":
            inf = os.path.join(self.medium, payload.upper() + ".INF")
            write_inf(inf, root, payload + "\\*.*=%MyProgramPath%\\" + payload)
            self.timed(key, self.setup_command(inf), check, "SETUP.EXE")
        else:
            watch = "copyloop.exe" if method == "loop" and payload == "small" else None
            self.timed(key, self.copy_commands(method, source, dest), check, watch)

    def baseline(self):
        root = os.path.join(self.out, "none-setup")
        shutil.rmtree(root, ignore_errors=True)
        inf = os.path.join(self.medium, "NONE.INF")
        write_inf(inf, root, "nothing\\*.none=")
        inf_copy = os.path.join(self.inf_copies, "NONE.INF")
        if os.path.exists(inf_copy):
            os.remove(inf_copy)
        self.timed(("none", "first", "setup"), self.setup_command(inf),
                   lambda code: "exit code %d" % code if code else None, "SETUP.EXE")

    def main(self):
        os.makedirs(self.medium, exist_ok=True)
        os.makedirs(self.out, exist_ok=True)
        print("bench: payloads in %s" % self.medium, flush=True)
        make_payloads(self.medium)
        shutil.copy(self.args.setup, os.path.join(self.medium, "SETUP.EXE"))
        small = count_files(os.path.join(self.medium, "small"))
        large = count_files(os.path.join(self.medium, "large"))
        methods = ["setup", "xcopy", "loop", "cp"]
        for round_ in range(self.args.rounds):
            print("bench: round %d of %d" % (round_ + 1, self.args.rounds), flush=True)
            order = methods[round_ % 4:] + methods[:round_ % 4]   # no method always goes first
            self.baseline()
            for method in order:
                self.one("small", "first", method, small)
                self.one("small", "again", method, small)
            for method in order:
                self.one("large", "first", method, large)
            self.baseline()
        shutil.rmtree(self.out, ignore_errors=True)
        self.report()

    def report(self):
        def med(key):
            return statistics.median(self.times[key])

        base = med(("none", "first", "setup"))
        print()
        print("%d rounds; median and range (min-max) in seconds" % self.args.rounds)
        print("%-22s %8s %17s" % ("", "median", "range"))
        for key in sorted(self.times, key=lambda k: (k[0] != "small", k[0], k[1] != "first", k[2])):
            values = self.times[key]
            print("%-22s %8.2f %8.2f-%-8.2f" % ("/".join(key), med(key), min(values), max(values)))
        print()
        print("SETUP.EXE fixed cost (start, dialogs, INF copy, log): %.2f s" % base)
        for payload, scenario in [("small", "first"), ("small", "again"), ("large", "first")]:
            setup = med((payload, scenario, "setup"))
            net = setup - base
            xcopy = med((payload, scenario, "xcopy"))
            loop = med((payload, scenario, "loop"))
            cp = med((payload, scenario, "cp"))
            print("%s/%s: setup %.2f s (net %.2f s)  setup/xcopy %.2f (net %.2f)  "
                  "setup/loop %.2f (net %.2f)  xcopy/loop %.2f  loop/cp %.1f"
                  % (payload, scenario, setup, net, setup / xcopy, net / xcopy, setup / loop,
                     net / loop, xcopy / loop, loop / cp))
        print()
        for key, (hwm, anon) in sorted(self.memory.items()):
            if key[0] == "large":
                continue
            print("peak memory %-22s VmHWM %6.1f MB  RssAnon %6.1f MB"
                  % ("/".join(key), hwm / 1024, anon / 1024))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--setup", required=True, help="SETUP.EXE to measure")
    parser.add_argument("--robot", required=True, help="robot.exe (Linux path)")
    parser.add_argument("--loop", required=True, help="copyloop.exe (Linux path)")
    parser.add_argument("--prefix", required=True, help="Wine prefix of the runs")
    parser.add_argument("--work", required=True, help="folder for payloads and copies")
    parser.add_argument("--rounds", type=int, default=5)
    Bench(parser.parse_args()).main()


if __name__ == "__main__":
    main()
