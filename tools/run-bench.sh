#!/bin/sh
# make bench: builds every benchmark of bench/ for Windows and runs each under
# Wine (with a virtual display); each prints its own ratios.
set -eu
build=$(cd "$1" && pwd)
repo=$(cd "$(dirname "$0")/.." && pwd)
cmake --build "$build" --target benches -j2
found=0
failed=
for b in "$build"/src/win32/bench_*.exe; do
  [ -f "$b" ] || continue
  found=1
  echo "== $(basename "$b" .exe)"
  # One that fails leaves the others their run; the failures are named last.
  xvfb-run -a -s "-screen 0 1024x768x24" "$repo/cmake/wine-run.sh" "$b" || failed="$failed $(basename "$b" .exe)"
done
[ $found = 1 ] || echo "no benchmarks"
[ -z "$failed" ] || { echo "failed:$failed"; exit 1; }
