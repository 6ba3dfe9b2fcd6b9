#!/usr/bin/env bash
# movar-search --import: the same search as from a sample file holding the same samples,
# columns by name or number, and the errors of files and columns that cannot be used.
set -u
bin=${1:?usage: cli_import_test.sh PATH-TO-movar-search}
source "$(dirname "${BASH_SOURCE[0]}")/cli_check.sh"

same_stdout() {  # name, file with the expected stdout
  if cmp -s "$tmp/out" "$2" && [[ -s $2 ]]; then passed=$((passed + 1)); else
    echo "FAIL $1: stdout differs from the sample file's run"; diff "$2" "$tmp/out" | head -5
    failed=$((failed + 1)); fi
}

# The reference: the sine sample of seed 1, written as a sample file and searched from it.
LC_ALL=C "$bin" --seed 1 --write-samples "$tmp/sine.mvs" --generations 1 >/dev/null 2>&1
LC_ALL=C "$bin" --seed 1 --samples "$tmp/sine.mvs" --generations 300 >"$tmp/expected" 2>/dev/null

# The same samples as a spreadsheet writes them: a mark, a header, ";" and decimal commas, an
# index column, CR LF, a note with quotes, a blank line and a row that is no data.
{
  printf '\xEF\xBB\xBFindex;time;value;note\r\n'
  awk -F, '{ sub(/\r$/, ""); gsub(/\./, ",", $1); gsub(/\./, ",", $2)
             printf "%d;%s;%s;\"row \"\"%d\"\"\"\r\n", NR, $1, $2, NR
             if (NR == 50) printf "\r\nn/a;;;\"not; data\"\r\n" }' "$tmp/sine.mvs"
} >"$tmp/sine.csv"

check by-name 0 "100 samples; 1 row skipped because a chosen cell is not a number (line 53)" \
  --seed 1 --generations 300 --import "$tmp/sine.csv" --x-column time --y-column value
same_stdout by-name "$tmp/expected"
check by-number 0 "x column 2 (\"time\"), y column 3 (\"value\")" \
  --seed 1 --generations 300 --import "$tmp/sine.csv" --x-column 2 --y-column 3
same_stdout by-number "$tmp/expected"
check as-detected 0 "delimiter ';', decimal separator ',', header" \
  --seed 1 --generations 300 --import "$tmp/sine.csv"
same_stdout as-detected "$tmp/expected"

# Tab-separated with a decimal point and no header.
tr ',' '\t' <"$tmp/sine.mvs" >"$tmp/sine.tsv"
check tsv 0 "delimiter tab, decimal separator '.', no header" \
  --seed 1 --generations 300 --import "$tmp/sine.tsv"
same_stdout tsv "$tmp/expected"

# What was searched is named: in the replay hint of an attempt and in the emitted code.
cp "$tmp/sine.csv" "$tmp/my data.csv"
check replay-names-import 0 "(replay: --seed [0-9]* --generations [0-9]* --import '$tmp/my data.csv' --x-column time --y-column value " \
  --seed 1 --margin 0 --attempts 1 --restarts --threads 1 --emit python \
  --import "$tmp/my data.csv" --x-column time --y-column value
grep -qF "# Movar Tester model for $tmp/my data.csv," "$tmp/out" ||
  { echo "FAIL emit names the import"; head -n 3 "$tmp/out"; failed=$((failed + 1)); }

check missing-file 2 "Cannot open file" --seed 1 --import "$tmp/none.csv"
# Endless devices: the text ends at the first NUL, so the run ends too; its error names the file.
check zero-device 2 'Cannot import file "/dev/zero". The file holds no rows of data.' \
  --seed 1 --import /dev/zero
LC_ALL=C timeout 60 "$bin" --seed 1 --generations 1 --import /dev/urandom >/dev/null 2>"$tmp/err"
code=$?
if [[ $code == 1 ]] || { [[ $code == 2 ]] && grep -q 'Cannot import file "/dev/urandom"' "$tmp/err"; }; then
  passed=$((passed + 1)); else echo "FAIL urandom: exit $code"; cat "$tmp/err"; failed=$((failed + 1)); fi
check no-such-column 2 'No column is named "speed"' --seed 1 --import "$tmp/sine.csv" --y-column speed
check column-past-rows 2 "There is no column 9: the widest row has 4 columns" \
  --seed 1 --import "$tmp/sine.csv" --x-column 9
check column-zero 2 "Column 0 does not exist" --seed 1 --import "$tmp/sine.csv" --x-column 0
check columns-without-import 2 "need --import" --seed 1 --x-column 2
check import-and-samples 2 "exclude each other" --import "$tmp/sine.csv" --samples "$tmp/sine.mvs"
check empty-column 2 "--y-column: empty value" --import "$tmp/sine.csv" --y-column ""
printf 'a,b\nc,d\n' >"$tmp/text.csv"
check no-numbers 2 "None of the 2 rows has numbers" --seed 1 --import "$tmp/text.csv"

report
