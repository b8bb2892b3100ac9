#!/usr/bin/env python3
"""Runs command-line cases kept as data.

A case file holds cases, each:

    === name of the case
    $ shell command, run by bash in a fresh temporary folder
    --- file NAME        (a file to create before the run)
    |content line        (everything after the '|' is literal)
    --- stdin
    --- stdout           (expected; empty when the block is absent)
    --- stderr           (expected; empty when the block is absent)
    --- status N         (expected exit status; 0 when absent)
    --- expect-file NAME (a file the run must leave with this content)
    --- no-file NAME     (a file the run must not leave behind)

A content block whose last line is '\\ no newline' ends without a newline.
Lines outside blocks that begin with '#' are comments. The programs are
found on PATH through --bindir; --wrap puts a command (valgrind, say) in
front of every run of them.
"""
import argparse
import os
import shlex
import subprocess
import sys
import tempfile

PROGRAMS = ("tavrix", "serialinc")


class Case:
    def __init__(self, name, line):
        self.name = name
        self.line = line
        self.command = []
        self.files = {}
        self.stdin = b""
        self.stdout = b""
        self.stderr = b""
        self.status = 0
        self.expect_files = {}
        self.no_files = []


def parse(path):
    cases = []
    case = None
    block = None  # (kind, name, lines)

    def close_block():
        nonlocal block
        if block is None:
            return
        kind, name, lines = block
        text = "".join(lines)
        if lines and lines[-1] == "\\ no newline\n":
            text = "".join(lines[:-1])[:-1]
        data = text.encode("latin-1")
        if kind == "file":
            case.files[name] = data
        elif kind == "expect-file":
            case.expect_files[name] = data
        else:
            setattr(case, kind, data)
        block = None

    with open(path, encoding="latin-1", newline="") as f:
        for number, line in enumerate(f, 1):
            if line.startswith("==="):
                close_block()
                case = Case(line[3:].strip(), number)
                cases.append(case)
            elif case is None or (block is None and line.startswith("#")):
                continue
            elif line.startswith("$ ") or line.rstrip("\n") == "$":
                close_block()
                case.command.append(line[2:].rstrip("\n"))
            elif line.startswith("--- "):
                close_block()
                words = line[4:].split(None, 1)
                kind = words[0]
                arg = words[1].rstrip("\n") if len(words) > 1 else ""
                if kind == "status":
                    case.status = int(arg)
                elif kind == "no-file":
                    case.no_files.append(arg)
                elif kind in ("file", "expect-file", "stdin", "stdout", "stderr"):
                    block = (kind, arg, [])
                else:
                    sys.exit(f"{path}:{number}: unknown block '{kind}'")
            elif line.startswith("|"):
                if block is None:
                    sys.exit(f"{path}:{number}: content line outside a block")
                block[2].append(line[1:] if line.endswith("\n") else line[1:] + "\n")
            elif line.strip() == "":
                continue
            else:
                sys.exit(f"{path}:{number}: cannot read line: {line!r}")
    close_block()
    return cases


def show(data):
    return "\n".join("    |" + l for l in data.decode("latin-1").split("\n"))


def run(case, bindir, wrap, source_dir):
    failures = []
    with tempfile.TemporaryDirectory(prefix="cli.") as tmp:
        work = os.path.join(tmp, "work")
        wrapdir = os.path.join(tmp, "bin")
        os.mkdir(work)
        os.mkdir(wrapdir)
        for program in PROGRAMS:
            real = os.path.join(bindir, program)
            with open(os.path.join(wrapdir, program), "w") as f:
                f.write(f'#!/bin/sh\nexec {wrap} {shlex.quote(real)} "$@"\n')
            os.chmod(os.path.join(wrapdir, program), 0o755)
        for name, data in case.files.items():
            path = os.path.join(work, name)
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "wb") as f:
                f.write(data)
        env = dict(os.environ)
        env.update(TZ="UTC", LC_ALL="C", SRCDIR=source_dir,
                   PATH=wrapdir + os.pathsep + env.get("PATH", ""))
        proc = subprocess.run(["bash", "-c", "\n".join(case.command)], cwd=work,
                              input=case.stdin, capture_output=True, env=env,
                              timeout=300)
        if proc.returncode != case.status:
            failures.append(f"  status {proc.returncode}, expected {case.status}")
        for what, got, want in (("stdout", proc.stdout, case.stdout),
                                ("stderr", proc.stderr, case.stderr)):
            if got != want:
                failures.append(f"  {what} differs; got:\n{show(got)}\n  expected:\n{show(want)}")
        for name, want in case.expect_files.items():
            path = os.path.join(work, name)
            if not os.path.isfile(path):
                failures.append(f"  file {name} was not made")
                continue
            with open(path, "rb") as f:
                got = f.read()
            if got != want:
                failures.append(f"  file {name} differs; got:\n{show(got)}\n  expected:\n{show(want)}")
        for name in case.no_files:
            if os.path.lexists(os.path.join(work, name)):
                failures.append(f"  file {name} should not exist")
    return failures


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--bindir", required=True)
    ap.add_argument("--wrap", default="", help="command put before every program run")
    ap.add_argument("--source-dir", default=os.path.dirname(os.path.dirname(
        os.path.dirname(os.path.abspath(__file__)))))
    ap.add_argument("files", nargs="+")
    args = ap.parse_args()
    bindir = os.path.abspath(args.bindir)
    passed = failed = 0
    for path in args.files:
        for case in parse(path):
            failures = run(case, bindir, args.wrap, args.source_dir)
            if failures:
                failed += 1
                print(f"FAIL {os.path.basename(path)}:{case.line}: {case.name}")
                print("\n".join(failures))
            else:
                passed += 1
    print(f"{passed} passed, {failed} failed")
    return 1 if failed or not passed else 0


if __name__ == "__main__":
    sys.exit(main())
