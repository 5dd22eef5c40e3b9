#!/usr/bin/env bash
# The README's benchmark commands, taken from README.md and run as written from a checkout whose
# build/bench is this build's, with temporary files in a folder of their own. The figures are
# not judged here (no timed assertion in a test): each command must end well and print its
# targets, and leave nothing behind.
#   readme_bench_test.sh SOURCE_DIR BENCH_DIR
set -euo pipefail
source_dir=$1 bench_dir=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# The sh block of the benchmarks' section.
awk '/^## / { section = ($0 ~ /^## Benchmarks/) }
     section && /^```sh$/ { inside = 1; next }
     inside && /^```$/ { inside = 0; next }
     inside { print }' "$source_dir/README.md" >"$work/bench.sh"
[[ $(grep -c 'build/bench/' "$work/bench.sh") -ge 3 ]] || fail "no benchmark block in README.md"

mkdir -p "$work/checkout/build" "$work/tmp"
ln -s "$bench_dir" "$work/checkout/build/bench"
(cd "$work/checkout" && env -i PATH=/usr/bin:/bin HOME="$work" TMPDIR="$work/tmp" \
   QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$work" bash -e -o pipefail "$work/bench.sh") \
  >"$work/out.log" 2>&1 || { cat "$work/out.log"; fail "a benchmark stopped"; }
for figure in "ListMembers of 10000 members" "fresh 200x40" "fresh 1000x40" "rerun 200x40" \
              "linear 1000x40/200x40" "sql 1000x40" "check 1000x40" "memory generate 1000x40" \
              "main window shown with 200 classes"; do
  grep -q "^$figure.*target" "$work/out.log" || { cat "$work/out.log"; fail "no figure: $figure"; }
done
[[ -z $(ls -A "$work/tmp") ]] || fail "left in TMPDIR: $(ls -A "$work/tmp")"
echo "README benchmarks ok: $(wc -l <"$work/bench.sh") commands"
