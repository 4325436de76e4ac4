#!/usr/bin/env python3
"""The benchmark's own bookkeeping, checked without Wine: which process the memory watch takes,
how a run is cut into its passes, and which run the memory rows name."""
import argparse
import os
import signal
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import bench  # noqa: E402


def bench_of(parts, work):
    return bench.Bench(argparse.Namespace(work=work, prefix=work, quick=False, only=parts,
                                          setup=None, rounds=1))


def wait_for(proc_file, pid, text):
    """Until /proc/PID/PROC_FILE holds text: a child shows its own argument and state only once
    it has run so far."""
    for _ in range(1000):
        with open("/proc/%d/%s" % (pid, proc_file), "rb") as f:
            if text in f.read():
                return
        time.sleep(0.01)
    raise AssertionError("/proc/%d/%s never held %r" % (pid, proc_file, text))


class WatchTest(unittest.TestCase):
    def test_takes_the_whole_path_and_sees_the_end_at_the_zombie(self):
        # Two processes of the same name, as a test of another work tree runs beside the bench.
        other = subprocess.Popen(["Z:\\other\\SETUP.EXE", "30"], executable="sleep")
        ours = subprocess.Popen(["Z:\\bench\\SETUP.EXE", "30"], executable="sleep")
        try:
            for process in (other, ours):
                wait_for("cmdline", process.pid, b"SETUP.EXE")
            watch = bench.ProcessWatch("Z:\\bench\\SETUP.EXE")
            watch.sample()
            self.assertEqual(watch.pid, str(ours.pid))
            seen = watch.last_seen
            ours.send_signal(signal.SIGKILL)
            wait_for("status", ours.pid, b"\nState:\tZ")
            watch.sample()   # ended, not yet reaped: no longer running
            self.assertIsNone(watch.pid)
            self.assertEqual(watch.last_seen, seen)
        finally:
            for process in (other, ours):
                process.kill()
                process.wait()


class FiguresTest(unittest.TestCase):
    def test_passes_add_up_to_the_lifetime(self):
        with tempfile.TemporaryDirectory() as work:
            for name in ("a", "b"):
                open(os.path.join(work, name), "w").close()
            changed = sorted(os.stat(os.path.join(work, n)).st_ctime for n in ("a", "b"))
            watch = bench.ProcessWatch("x")
            watch.last_seen = changed[-1] + 0.5
            run = bench_of("scale", work)
            key = ("scale", "first", "setup")
            run.record(key, 2.0)
            run.record_passes(key, watch, work)
            parts = [run.times[key[:2] + ("setup %d %s" % (n + 1, name),)][0]
                     for n, name in enumerate(bench.PASSES)]
            self.assertAlmostEqual(sum(parts), 2.0)
            self.assertAlmostEqual(parts[1], changed[1] - changed[0])
            self.assertAlmostEqual(parts[2], 0.5)

    def test_rollback_row_compares_net_times_of_the_same_rounds(self):
        with tempfile.TemporaryDirectory() as work:
            run = bench_of("files", work)
            for key, seconds in ((("none", "first", "setup"), 1.0),
                                 (("small", "first", "setup"), 3.0),
                                 (("small", "first", "rollback"), 3.3)):
                run.record(key, seconds)
            row = run.rollback_row(run.med(("none", "first", "setup")))
            self.assertEqual(row[1:3], ("1.15 (2.30 / 2.00 s)", "<= 1.10"))
            self.assertFalse(row[3])

    def test_memory_rows_name_their_own_runs(self):
        with tempfile.TemporaryDirectory() as work:
            run = bench_of("scale", work)
            for method, seconds in (("setup", 6.0), ("loop", 5.0)):
                run.record(("scale", "first", method), seconds)
            run.memory = {("scale", "first", "setup"): (0, 12 * 1024),
                          ("small", "first", "setup"): (0, 5 * 1024),
                          ("small", "first", "loop"): (0, 9 * 1024),
                          ("bundle", "small", "quiet"): (0, 11 * 1024)}
            rows = {row[0]: row for row in run.figures()}
            self.assertEqual(rows["100,000 files, quiet: SETUP.EXE / reference loop"][1:],
                             ("1.20 (6.00 / 5.00 s)", "<= 1.20", True))
            self.assertEqual(rows["  the same, SETUP.EXE RssAnon peak"][1:],
                             ("12.0 MB", "< 16 MB", True))
            self.assertEqual(rows["SETUP.EXE RssAnon peak, worst payload"][1],
                             "5.0 MB (small/first/setup)")


if __name__ == "__main__":
    unittest.main()
