#!/usr/bin/env python3
"""Lists the routines of the product code that are longer than a limit, and fails when any is.

A routine's length is counted from the line of its opening brace to the line of its closing
brace, both included. A routine is a brace block opened after a ')' (with perhaps const,
noexcept, override, a trailing return type or an initializer list between) that is not the block
of an if, for, while, switch or catch, and lies directly in the file, a namespace or a class.
Lambdas and blocks inside a routine count as part of it.

Usage: routine-lengths.py [--limit N] [--all] [ROOT]
ROOT is the repository (default: the folder above this script). --all lists every routine.
"""
import argparse
import os
import re
import sys

# The product: what goes into SETUP.EXE, its DLLs and the script checker; not tests nor fuzz.
PRODUCT = ["Setup", "Rules", "Tools/infcheck", "SysDll", "GetDirDlg", "FileInfoKv", "LnkOleU"]
SKIP_DIRS = {"tests", "fuzz"}


def blanked(text):
    """Text with comments, strings and character literals replaced by blanks, lines kept."""
    out = []
    i, n = 0, len(text)
    while i < n:
        c = text[i]
        if text.startswith("//", i):
            j = text.find("\n", i)
            j = n if j < 0 else j
            out.append(" " * (j - i))
            i = j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            out.append(re.sub(r"[^\n]", " ", text[i:j]))
            i = j
        elif text.startswith('R"', i) and not (i and (text[i - 1].isalnum() or text[i - 1] == "_")):
            k = text.find("(", i)
            end = ")" + text[i + 2:k] + '"'
            j = text.find(end, k)
            j = n if j < 0 else j + len(end)
            out.append('""' + re.sub(r"[^\n]", " ", text[i + 2:j]))
            i = j
        elif c in "\"'":
            j = i + 1
            while j < n and text[j] != c and text[j] != "\n":
                j += 2 if text[j] == "\\" else 1
            j = min(j + 1, n)
            out.append(c + " " * (j - i - 2) + c if j - i >= 2 else c)
            i = j
        else:
            out.append(c)
            i += 1
    # Preprocessor lines are no part of a routine's head.
    return re.sub(r"(?m)^[ \t]*#.*$", lambda m: " " * len(m.group(0)), "".join(out))


def routine_head(before):
    """The routine's head when the text before a '{' opens a routine, else None."""
    head = before.strip()
    # Drop an initializer list and the words that may follow the parameter list.
    head = re.sub(r"\)\s*:\s*[\w:]+\s*[({].*$", ")", head, flags=re.S)
    head = re.sub(r"(\s*(const|noexcept|override|final|->\s*[\w:<>&*\s]+))+$", "", head)
    if not head.endswith(")"):
        return None
    # The last call-like name before the parameter list; a control word makes it no routine.
    depth, k = 0, len(head) - 1
    while k >= 0:
        if head[k] == ")":
            depth += 1
        elif head[k] == "(":
            depth -= 1
            if depth == 0:
                break
        k -= 1
    m = re.search(r"([\w:~]+|operator\s*\S+)\s*$", head[:k])
    if not m or m.group(1) in ("if", "for", "while", "switch", "catch", "return", "sizeof"):
        return None
    return m.group(1)


def routines(path):
    text = open(path, encoding="utf-8", errors="replace").read()
    code = blanked(text)
    found = []
    stack = []           # one entry per open brace: "scope", "routine" or "block"
    start = 0            # where the text before the next brace begins
    line = 1
    opened = None        # (name, line) of the routine now open
    for i, c in enumerate(code):
        if c == "\n":
            line += 1
        elif c in ";":
            if not stack or stack[-1] == "scope":
                start = i + 1
        elif c == "{":
            before = code[start:i]
            if all(s == "scope" for s in stack):
                name = routine_head(before)
                if name:
                    stack.append("routine")
                    opened = (name, line)
                elif re.search(r"\b(namespace|class|struct|union|extern\s+\"\")\b[^;]*$", before):
                    stack.append("scope")
                else:
                    stack.append("block")
            else:
                stack.append("block")
            start = i + 1
        elif c == "}":
            kind = stack.pop() if stack else "block"
            if kind == "routine" and opened:
                found.append((opened[0], opened[1], line - opened[1] + 1))
                opened = None
            start = i + 1
    return found


def product_files(root):
    for part in PRODUCT:
        for folder, dirs, files in os.walk(os.path.join(root, part)):
            dirs[:] = sorted(d for d in dirs if d not in SKIP_DIRS)
            for name in sorted(files):
                if name.endswith((".cpp", ".h")):
                    yield os.path.join(folder, name)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--limit", type=int, default=60)
    parser.add_argument("--all", action="store_true")
    parser.add_argument("root", nargs="?",
                        default=os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    args = parser.parse_args()
    over = 0
    count = 0
    for path in product_files(args.root):
        rel = os.path.relpath(path, args.root)
        for name, first, length in routines(path):
            count += 1
            if length > args.limit:
                over += 1
            if length > args.limit or args.all:
                print(f"{rel}:{first}: {name} {length} lines")
    print(f"routine-lengths: {count} routines, {over} over {args.limit} lines")
    return 1 if over else 0


if __name__ == "__main__":
    sys.exit(main())
