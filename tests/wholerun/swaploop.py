#!/usr/bin/env python3
"""Makes LINK a symbolic link to TARGET and exchanges it with the folder A (renameat2
RENAME_EXCHANGE) over and over, as someone who may write in a temporary folder swaps a folder for
a link, until the file STOP appears. Then leaves both as
they were as far as it can, removes the link (whichever of the two it is now) and writes how
many exchanges it made into COUNT.

    swaploop.py A LINK TARGET STOP COUNT
"""
import ctypes
import os
import sys

AT_FDCWD = -100
RENAME_EXCHANGE = 2


def main():
    a, b, target, stop, count = sys.argv[1:6]
    os.symlink(target, b)
    renameat2 = ctypes.CDLL(None, use_errno=True).renameat2
    exchange = lambda: renameat2(AT_FDCWD, a.encode(), AT_FDCWD, b.encode(), RENAME_EXCHANGE) == 0
    made = 0
    while not os.path.exists(stop):
        for _ in range(100):
            made += exchange()
    if made % 2 and exchange():
        made += 1
    for path in (a, b):
        if os.path.islink(path):
            os.unlink(path)
    with open(count, "w") as out:
        out.write(str(made))


main()
