#!/usr/bin/env python3
"""Times whole runs of tavrix and serialinc; see README.md.

usage: bench.py BUILDDIR [REPS]

Everything generated goes to a temporary directory that is removed at the
end. Times are medians of REPS runs (default 5) of wall-clock time; peak RSS
comes from /usr/bin/time -v. Nothing here asserts a speed.
"""
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
SIZES = [10_000, 100_000, 1_000_000]
ONE = ["-p", "2001:db8::/48"]
FOUR = ONE + ["-p", "2001:db8:1::/48", "-p", "2001:db8:2::/48", "-p", "2001:db8:3::/48"]


def timed(cmd, cwd=None, stdout=subprocess.DEVNULL, prepare=None):
    """Wall time of one run; inherited descriptors are closed (close_fds)."""
    if prepare:
        prepare()
    t = time.perf_counter()
    r = subprocess.run(cmd, cwd=cwd, stdout=stdout, stderr=subprocess.PIPE)
    dt = time.perf_counter() - t
    if r.returncode != 0:
        sys.exit("failed (%d): %s\n%s" % (r.returncode, " ".join(cmd), r.stderr.decode()))
    return dt


def median(cmd, reps, **kw):
    return statistics.median(timed(cmd, **kw) for _ in range(reps))


def peak_rss_kib(cmd, cwd=None, prepare=None):
    if prepare:
        prepare()
    r = subprocess.run(["/usr/bin/time", "-v"] + cmd, cwd=cwd, stdout=subprocess.DEVNULL,
                       stderr=subprocess.PIPE, text=True)
    for line in r.stderr.splitlines():
        if "Maximum resident set size" in line:
            return int(line.split(":")[1])
    return -1


def limited(cmd, nofile):
    """cmd under a soft limit of open files, when nofile is given."""
    if nofile is None:
        return cmd
    return ["bash", "-c", 'ulimit -Sn %d && exec "$@"' % nofile, "bash"] + cmd


def main():
    build = os.path.abspath(sys.argv[1])
    reps = int(sys.argv[2]) if len(sys.argv) > 2 else 5
    tavrix = os.path.join(build, "tavrix")
    serialinc = os.path.join(build, "serialinc")
    tmp = tempfile.mkdtemp(prefix="tavrix-bench-")
    try:
        run(tmp, tavrix, serialinc, reps)
    finally:
        shutil.rmtree(tmp)


def hostfile(tmp, n, extra=True):
    path = os.path.join(tmp, "hosts-%d%s" % (n, "" if extra else "-noextra"))
    if not os.path.exists(path):
        args = [sys.executable, os.path.join(HERE, "genhosts.py"), str(n), path]
        subprocess.run(args + ([] if extra else ["--no-extra"]), check=True)
    return path


def run(tmp, tavrix, serialinc, reps):
    print("tavrix, output to /dev/null; median of %d runs" % reps)
    print("%-26s %9s %9s %9s %11s %11s %7s %8s" % (
        "case", "hosts", "lines", "seconds", "hosts/s", "lines/s", "x cat", "RSS KiB"))
    cases = [("-f -S", ["-f", "-S"], ONE, True), ("-r -b 64", ["-r", "-b", "64"], ONE, True),
             ("default", [], ONE, True), ("default, 4 prefixes", [], FOUR, True),
             ("-d", ["-d"], ONE, False)]
    growth = {}
    for name, opts, prefixes, extra in cases:
        for n in SIZES:
            hosts = hostfile(tmp, n, extra)
            cmd = [tavrix] + opts + prefixes + [hosts]
            out = os.path.join(tmp, "out")
            with open(out, "wb") as f:
                subprocess.run(cmd, stdout=f, check=True)
            size = os.path.getsize(out)
            with open(out, "rb") as f:
                lines = sum(chunk.count(b"\n") for chunk in iter(lambda: f.read(1 << 20), b""))
            t = median(cmd, reps)
            tcat = median(["cat", out], reps)
            rss = peak_rss_kib(cmd)
            os.remove(out)
            growth[(name, n)] = t
            print("%-26s %9d %9d %9.3f %11.0f %11.0f %7.1f %8d" % (
                name, n, lines, t, n / t, lines / t, t / tcat if tcat > 0 else 0, rss))
            del size
    print("\ngrowth of the time from 100 000 to 1 000 000 hosts (10 would be linear)")
    for name, _, _, _ in cases:
        print("  %-26s %5.2f" % (name, growth[(name, 1_000_000)] / growth[(name, 100_000)]))

    print("\ntavrix -w -b 64 (split output, one file per reverse subnet): median of %d runs"
          % reps)
    print("%-34s %9s %7s %9s %11s %8s" % ("case", "hosts", "files", "seconds", "hosts/s",
                                          "RSS KiB"))
    for pname, prefixes in [("1 prefix", ONE), ("4 prefixes", FOUR)]:
        for nofile in [None, 20]:
            for n in SIZES[1:]:
                hosts = hostfile(tmp, n)
                wdir = os.path.join(tmp, "w")

                def fresh():
                    shutil.rmtree(wdir, ignore_errors=True)
                    os.mkdir(wdir)
                cmd = limited([tavrix, "-w", "-b", "64"] + prefixes + [hosts], nofile)
                t = median(cmd, reps, cwd=wdir, prepare=fresh)
                files = len(os.listdir(wdir))
                rss = peak_rss_kib(cmd, cwd=wdir, prepare=fresh)
                label = "%s, %s" % (pname, "ulimit -Sn 20" if nofile else "no ulimit")
                print("%-34s %9d %7d %9.3f %11.0f %8d" % (label, n, files, t, n / t, rss))
                shutil.rmtree(wdir)

    split_against_one_file(tmp, tavrix, reps)

    print("\nserialinc on a 1 GiB zone with its SOA at the top: median of %d runs" % reps)
    zone = os.path.join(tmp, "big.zone")

    def writezone():
        with open(zone, "w") as f:
            f.write("$TTL 1d\n@  IN SOA ns.example.com. hostmaster.example.com. (\n"
                    "        2024010101 ; serial\n        1h 15m 1w 1h )\n")
        os.truncate(zone, 1 << 30)
    writezone()
    for name, args in [("print", [zone]), ("-u", ["-u", zone])]:
        cmd = [serialinc] + args
        t = median(cmd, reps)
        rss = peak_rss_kib(cmd)
        traced = subprocess.run(["strace", "-e", "trace=read", "-e", "signal=none", "-o",
                                 os.path.join(tmp, "trace")] + cmd, stdout=subprocess.DEVNULL)
        read = 0
        if traced.returncode == 0:
            with open(os.path.join(tmp, "trace")) as f:
                for line in f:
                    if line.startswith("read(") and "= " in line:
                        fd = line[5:line.index(",")]
                        if int(fd) >= 3:
                            read += max(0, int(line.rsplit("= ", 1)[1].split()[0]))
        print("  serialinc %-6s %8.2f ms  RSS %5d KiB  bytes read from files %d" % (
            name, t * 1000, rss, read))


def split_against_one_file(tmp, tavrix, reps):
    """-w -b 64 on 1 000 000 hosts against the same output into one file."""
    hosts = hostfile(tmp, SIZES[-1])
    args = ["-b", "64"] + ONE + [hosts]
    wdir = os.path.join(tmp, "w")
    one = os.path.join(tmp, "one")

    def fresh():
        shutil.rmtree(wdir, ignore_errors=True)
        os.mkdir(wdir)

    def to_file():
        return open(one, "wb")
    cases = [("standard output into one file", [tavrix] + args, None, None)]
    w = [tavrix, "-w"] + args
    cases.append(("-w, first run", w, wdir, fresh))
    if shutil.which("eatmydata"):
        cases.append(("-w, first run, eatmydata", ["eatmydata"] + w, wdir, fresh))
    cases.append(("-w, unchanged second run", w, wdir, None))
    cases.append(("-w, first run, ulimit -Sn 20", limited(w, 20), wdir, fresh))
    print("\ntavrix -w -b 64 on %d hosts against one file: median of %d runs" % (SIZES[-1], reps))
    print("%-34s %9s %7s %8s" % ("case", "seconds", "x one", "RSS KiB"))
    base = None
    for name, cmd, cwd, prepare in cases:
        if cwd is None:
            times = []
            for _ in range(reps):
                with to_file() as f:
                    times.append(timed(cmd, stdout=f))
            t = statistics.median(times)
        else:
            if prepare is None and not os.listdir(wdir):
                subprocess.run(w, cwd=wdir, stdout=subprocess.DEVNULL, check=True)
            t = median(cmd, reps, cwd=cwd, prepare=prepare)
        rss = peak_rss_kib(cmd, cwd=cwd, prepare=prepare)
        base = base or t
        print("%-34s %9.3f %7.2f %8d" % (name, t, t / base, rss))
    shutil.rmtree(wdir, ignore_errors=True)
    os.remove(one)


if __name__ == "__main__":
    main()
