#!/bin/bash
# The whole-run benchmark of tavrix and serialinc: bench/run.sh BUILDDIR [REPS]
set -euo pipefail
[ $# -ge 1 ] || { echo "usage: $0 BUILDDIR [REPS]" >&2; exit 2; }
[ -x /usr/bin/time ] || { echo "$0: /usr/bin/time is missing (Debian package time)" >&2; exit 2; }
exec python3 "$(dirname "$0")/bench.py" "$@"
