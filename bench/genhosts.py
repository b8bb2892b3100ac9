#!/usr/bin/env python3
"""Writes a deterministic host file of N hosts for the tavrix benchmark.

usage: genhosts.py N OUTFILE [--no-extra]

The file has a subnet section (named subnets), a scope section whose scopes
cover the third and fourth benchmark prefix (2001:db8:2::/48, 2001:db8:3::/48)
and a host section. Hosts come in runs that share a subnet, as in real host
files, over 96 subnets (64 named, 32 written as :N:), so split output with
-b 64 gives about 100 files. Host IDs mix the four MAC address forms and
"::" interface identifiers; some hosts have a TTL, a scope list or
continuation lines (not with --no-extra, for -d, whose update lines
cannot carry them).
"""
import random
import sys

NAMED_SUBNETS = 64
NUMBERED_SUBNETS = 32


def mac(rng):
    o = [rng.randrange(256) for _ in range(6)]
    form = rng.randrange(4)
    if form == 0:
        return ":".join("%02x" % b for b in o)
    if form == 1:
        return "-".join("%02X" % b for b in o)
    if form == 2:
        return "%02x%02x.%02x%02x.%02x%02x" % tuple(o)
    return "".join("%02x" % b for b in o)


def ifid(rng):
    groups = [rng.randrange(65536) for _ in range(rng.randrange(1, 5))]
    return "::" + ":".join("%x" % g for g in groups)


def hostname(rng, i):
    kind = rng.randrange(4)
    if kind == 0:
        return "h%d" % i
    if kind == 1:
        return "pc-%06d.lab" % i
    if kind == 2:
        return "srv_%d" % i
    return "workstation-%d.floor%d.building-%d" % (i, rng.randrange(9), rng.randrange(99))


def main():
    n = int(sys.argv[1])
    extra = "--no-extra" not in sys.argv[3:]
    rng = random.Random(4711)
    out = open(sys.argv[2], "w")
    w = out.write
    w("# benchmark host file, %d hosts\n\n%%%%SUBNET\n" % n)
    named = ["net%02d" % k for k in range(NAMED_SUBNETS)]
    for k, name in enumerate(named):
        w("%-12s:%x:\n" % (name, 0x100 + k))
    w("\n%%SCOPE\n")
    w("lab   *   lab.example.com.   2001:db8:2::/48\n")
    w("dmz   *   dmz.example.com.   2001:db8:3::/48\n")
    w("\n%%HOST\n")
    i = 0
    while i < n:
        numbered = rng.randrange(3) == 0
        subnet = (":%x:" % (0x2000 + rng.randrange(NUMBERED_SUBNETS)) if numbered
                  else rng.choice(named))
        for _ in range(min(n - i, rng.randrange(1, 60))):
            fields = [hostname(rng, i)]
            r = rng.randrange(100)
            if r < 8:
                fields.append("<1h>")
            elif r < 10:
                fields.append("<30m>")
            fields.append(ifid(rng) if rng.randrange(5) == 0 else mac(rng))
            fields.append(subnet)
            r = rng.randrange(100)
            if r < 3:
                fields.append("[lab]")
            elif r < 5:
                fields.append("[dmz, lab]")
            elif r < 6:
                fields.append("[ * ]")
            w("\t".join(fields) + "\n")
            if rng.randrange(100) < 3 and extra:
                w("^\tIN TXT \"host %d\"\n" % i)
                if rng.randrange(2) == 0:
                    w("^\tIN MX 10 mail\n")
            i += 1
    out.close()


if __name__ == "__main__":
    main()
