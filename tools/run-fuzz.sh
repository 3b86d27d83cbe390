#!/bin/sh
# Runs every fuzz target in the given build folder for the given seconds each.
set -e
dir=$1; secs=$2
found=0
for f in "$dir"/fuzz_*; do
  [ -x "$f" ] || continue
  found=1
  name=$(basename "$f")
  corpus="$dir/corpus/$name"; mkdir -p "$corpus"
  echo "fuzz: $name for ${secs}s"
  "$f" -max_total_time="$secs" -print_final_stats=0 -rss_limit_mb=4096 "$corpus" 2>"$dir/$name.log" || { tail -40 "$dir/$name.log"; exit 1; }
done
[ $found = 1 ] || echo "fuzz: no targets"
