#!/usr/bin/env bash
# The bash completion of vbgen-cli, driven as bash drives it on a Tab.
#   completion_test.sh SOURCE_DIR PROGRAM_DIR
set -euo pipefail
export LC_ALL=C  # the order of the expected lists
source_dir=$1 program_dir=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# shellcheck source=/dev/null
source /usr/share/bash-completion/bash_completion
# shellcheck source=/dev/null
source "$source_dir/data/completion/vbgen-cli"
cli="$work/bin/vbgen-cli"
mkdir -p "$work/bin" "$work/home"
cp "$program_dir/vbgen-cli" "$cli"
cp -r "$program_dir/template" "$program_dir/bak" "$work/bin/"
"$cli" --home "$work/home" project add 书店 >/dev/null 2>&1
"$cli" --home "$work/home" project add 图书馆 >/dev/null 2>&1

# Completes the last word of a command line.
complete_line() {
  read -r -a COMP_WORDS <<<"$1"
  [[ $1 == *' ' ]] && COMP_WORDS+=("")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMP_LINE=$1 COMP_POINT=${#1}
  COMPREPLY=()
  _vbgen_cli
  printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' '
}

[[ $(complete_line "$cli ") == "check class export generate help import import-sql member project sql " ]] ||
  fail "commands: $(complete_line "$cli ")"
[[ $(complete_line "$cli member ") == "add delete down list swap up update " ]] || fail "member verbs"
[[ $(complete_line "$cli member add 1 --ty") == "--type " ]] || fail "member options"
[[ $(complete_line "$cli member add 1 --type ") == "图片型 字符串 整型 日期型 浮点型 " ]] ||
  fail "types: $(complete_line "$cli member add 1 --type ")"
[[ $(complete_line "$cli project list --") == "--help --home --json --version " ]] || fail "list options"
# Project names come from the model the line names with --home.
[[ $(complete_line "$cli --home $work/home generate ") == "书店 图书馆 " ]] ||
  fail "projects: $(complete_line "$cli --home $work/home generate ")"
[[ $(complete_line "$cli --home=$work/home class add 书") == "书店 " ]] || fail "--home= projects"
echo "completion ok"
