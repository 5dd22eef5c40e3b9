#!/usr/bin/env bash
# Runs clang-tidy with the checks of .clang-tidy over our C++ sources.
#   tools/tidy.sh FILE...         the given files (a header is checked through its .cpp)
#   tools/tidy.sh --since REV     the files changed since the git revision REV (committed or not)
#   tools/tidy.sh --all           every source file of the tree
# The compile commands come from build/compile_commands.json (BUILD_DIR overrides the build
# directory; configure it first). JOBS sets how many files run at once (default 2).
# Exits 1 when clang-tidy reports anything, 2 on a usage or setup error.
set -euo pipefail
cd "$(dirname "$0")/.."

BUILD_DIR=${BUILD_DIR:-build}
JOBS=${JOBS:-2}
TIDY=${CLANG_TIDY:-$(command -v clang-tidy-14 || command -v clang-tidy || true)}

usage() {
  sed -n '2,8p' "$0" | sed 's/^# \{0,1\}//' >&2
  exit 2
}

[[ -n "$TIDY" ]] || { echo "clang-tidy not found (Debian: apt-get install clang-tidy)" >&2; exit 2; }
[[ -f "$BUILD_DIR/compile_commands.json" ]] || {
  echo "$BUILD_DIR/compile_commands.json missing: configure first (cmake --preset default)" >&2
  exit 2
}

declare -a candidates=()
case "${1:-}" in
  "" | -h | --help) usage ;;
  --since)
    [[ $# -eq 2 ]] || usage
    git rev-parse --verify --quiet "$2^{commit}" >/dev/null || { echo "no revision $2" >&2; exit 2; }
    # Committed, staged and unstaged changes since REV, and files not yet added.
    mapfile -t candidates < <({ git diff --name-only --diff-filter=d "$2" --;
                                git ls-files --others --exclude-standard; } | sort -u)
    ;;
  --all)
    [[ $# -eq 1 ]] || usage
    mapfile -t candidates < <(git ls-files '*.cpp')
    ;;
  *) candidates=("$@") ;;
esac

# Keep C++ sources and headers of the tree; a header is checked through the source beside it.
declare -A units=()
for file in "${candidates[@]}"; do
  file=${file#./}
  case "$file" in
    *.cpp) source=$file ;;
    *.h) source=${file%.h}.cpp ;;
    *) continue ;;
  esac
  if [[ -f "$source" ]]; then
    units["$source"]=1
  elif [[ "$file" == *.h ]]; then
    echo "tidy: $file has no $source beside it; checked where it is included" >&2
  else
    echo "tidy: no such file: $file" >&2
    exit 2
  fi
done

if [[ ${#units[@]} -eq 0 ]]; then
  echo "tidy: no C++ source to check"
  exit 0
fi

# Only what the build compiles has compile commands.
declare -a checked=()
for source in $(printf '%s\n' "${!units[@]}" | sort); do
  if grep -q "\"file\": \"$PWD/$source\"" "$BUILD_DIR/compile_commands.json"; then
    checked+=("$source")
  else
    echo "tidy: $source is not in $BUILD_DIR/compile_commands.json; skipped" >&2
  fi
done
[[ ${#checked[@]} -gt 0 ]] || { echo "tidy: nothing compiled among the files"; exit 0; }

echo "tidy: checking ${#checked[@]} file(s) with $("$TIDY" --version | grep -o 'version [0-9.]*')"
# clang-tidy tells on stderr how many warnings it generated, most of them in system headers
# and hidden by the header filter; the findings themselves go to stdout.
if ! printf '%s\0' "${checked[@]}" |
  xargs -0 -n 1 -P "$JOBS" "$TIDY" -p "$BUILD_DIR" --quiet \
    2> >(grep -v -E '^[0-9]+ (warning|error)s? (and [0-9]+ (warning|error)s? )?generated\.$' >&2); then
  echo "tidy: clang-tidy reported findings (above)" >&2
  exit 1
fi
echo "tidy: clean"
