#!/usr/bin/env bash
# The README's command-line example, taken from README.md and run as written in a fresh copy of
# the build's program directory, by a user whose HOME is a temporary folder.
#   readme_example_test.sh SOURCE_DIR PROGRAM_DIR
set -euo pipefail
source_dir=$1 program_dir=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# The sh blocks of the command line's section, one after the other.
awk '/^## / { section = ($0 ~ /^## The command line/) }
     section && /^```sh$/ { inside = 1; next }
     inside && /^```$/ { inside = 0; next }
     inside { print }' "$source_dir/README.md" >"$work/example.sh"
grep -q 'vbgen-cli' "$work/example.sh" || fail "no example block in README.md"

# A fresh checkout's build: the program directory with the example model made as the build does.
checkout="$work/checkout"
mkdir -p "$checkout/build/bin" "$work/home"
cp "$program_dir/vbgen-cli" "$checkout/build/bin/"
cp -r "$program_dir/template" "$program_dir/bak" "$program_dir/examples" "$checkout/build/bin/"
cli="$checkout/build/bin/vbgen-cli"
# The first command makes projects.db holding the example, as the build does.
[[ $("$cli" project list) == $'1\t图书馆管理' ]] || fail "a new program directory has no example"
before=$("$cli" export 图书馆管理)
: >"$work/stamp"

(cd "$checkout" && env -i PATH=/usr/bin:/bin HOME="$work/home" bash -e -o pipefail "$work/example.sh") \
  >"$work/out.log" 2>&1 || { cat "$work/out.log"; fail "the example stopped"; }

# What it says it does.
out="$checkout/build/bin/projects/书店"
for file in FrmAddBook.frm FrmEditBook.frm FrmManageBook.frm frmczql.frm MainForm.frm ModMain.bas; do
  [[ -f $out/$file ]] || fail "not generated: $file"
done
head -c 200 "$work/home/create.sql" | grep -q $'CREATE TABLE \\[dbo\\]\\.\\[admin\\](\r' || fail "create.sql"
grep -q '"projectName": "书店"' "$work/home/书店.json" || fail "书店.json"
[[ $("$cli" check 书店) == "模型检查通过，没有发现问题。" ]] || fail "check 书店"
# The imported copy was generated as the complete application, then deleted from the model.
copy="$checkout/build/bin/projects/书店副本"
grep -q '^Option Explicit' "$copy/FrmManageBook.frm" || fail "complete FrmManageBook.frm"
grep -q 'CREATE TABLE \[dbo\]\.\[Book\]' "$work/home/create-again.sql" || fail "create-again.sql"
# The application's own tables alone: the operators' table where it is missing, nothing dropped.
grep -q "if object_id(N'\[dbo\]\.\[admin\]', N'U') is null" "$work/home/app-tables.sql" || fail "app-tables.sql"
! grep -qi -e '^drop ' -e 'CREATE TABLE \[dbo\]\.\[Book\]' "$work/home/app-tables.sql" || fail "app-tables.sql drops or creates a class table"
! "$cli" project list | grep -q 书店副本 || fail "书店副本 left in the model"
# The example project is as it was.
[[ $("$cli" check 图书馆管理) == "模型检查通过，没有发现问题。" ]] || fail "check 图书馆管理"
[[ $("$cli" export 图书馆管理) == "$before" ]] || fail "图书馆管理 changed"
# Nothing landed in the checkout outside build/bin/projects and the model.
changed=$(cd "$checkout" && find . -newer "$work/stamp" -not -type d | grep -v -e '^./build/bin/projects/' \
          -e '^./build/bin/projects.db$' || true)
[[ -z $changed ]] || fail "written into the checkout: $changed"
[[ $(cd "$work/home" && ls | LC_ALL=C sort | tr '\n' ' ') == "app-tables.sql create-again.sql create.sql 书店.json " ]] ||
  fail "home holds: $(ls "$work/home")"
# And it can be run again after the clean-up the README names.
"$cli" project delete 书店 >/dev/null
(cd "$checkout" && env -i PATH=/usr/bin:/bin HOME="$work/home" bash -e -o pipefail "$work/example.sh") \
  >/dev/null 2>&1 || fail "the example does not run a second time"
echo "README example ok: $(wc -l <"$work/example.sh") lines"
