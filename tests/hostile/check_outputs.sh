#!/bin/sh
# Generates every hostile model that passes `check` (plain, and --complete) and parses the output:
# check-vb6 over every .frm, sqlfluff (T-SQL) over the script. A tool for looking at output by
# hand, not a test: it needs Java, check-vb6 and sqlfluff. Usage: check_outputs.sh CLI CHECK_VB6 WORKDIR
set -u
cli=$1 checkvb6=$2 work=$3
rm -rf "$work" && mkdir -p "$work/home"
"$cli" --home "$work/home" project list >/dev/null
python3 "$(dirname "$0")/store_models.py" "$work/home"
for model in $(cd "$(dirname "$0")" && ls *.json | sed 's/\.json$//'); do
  for mode in plain complete; do
    flag=; [ $mode = complete ] && flag=--complete
    if ! "$cli" --home "$work/home" check "$model" $flag >"$work/$model.$mode.check" 2>&1; then
      echo "$model $mode: refused by check"
      continue
    fi
    out="$work/out/$mode"
    mkdir -p "$out"
    "$cli" --home "$work/home" generate "$model" $flag >/dev/null 2>"$work/$model.$mode.err" ||
      echo "$model $mode: generate FAILED"
    rm -rf "$out/$model" && mv "$work/home/projects/$model" "$out/$model"
    "$cli" --home "$work/home" sql "$model" $flag >"$out/$model.sql" ||
      echo "$model $mode: sql FAILED"
    if sqlfluff parse --dialect tsql "$out/$model.sql" >"$work/$model.$mode.sqlfluff" 2>&1 &&
       ! grep -q unparsable "$work/$model.$mode.sqlfluff"; then
      echo "$model $mode: passes check; script parses"
    else
      echo "$model $mode: passes check; script FAILS to parse"
    fi
  done
done
find "$work/out" -name '*.frm' | sort >"$work/frm-list"
echo "forms: $(wc -l <"$work/frm-list")"
"$checkvb6" --crlf -q --list "$work/frm-list" | tail -40
