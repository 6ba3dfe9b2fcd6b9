#!/usr/bin/env bash
# movar-search's data: what it writes loads back or is refused, check rows and columns are
# found by name, --write-samples never overwrites another file of the run, the progress file
# ends at a whole line.
set -u
bin=${1:?usage: cli_data_test.sh PATH-TO-movar-search}
source "$(dirname "${BASH_SOURCE[0]}")/cli_check.sh"

runs() {  # name, grep pattern for stderr (or ""), args...: a search that ends with 0 or 1
  local name=$1 pattern=$2; shift 2
  LC_ALL=C "$bin" "$@" >"$tmp/out" 2>"$tmp/err"; local code=$?
  if [[ $code == 0 || $code == 1 ]] && { [[ -z $pattern ]] || grep -q -- "$pattern" "$tmp/err"; }; then
    passed=$((passed + 1)); else echo "FAIL $name: exit $code"; cat "$tmp/err"; failed=$((failed + 1)); fi
}

# Rows of three inputs and y = p + 2q + 3r, under a header in the order given.
table() {  # header, file, [awk field order]
  { echo "$1"; awk -v order="${3:-1 2 3 4}" 'BEGIN { for (i = 0; i < 30; i++) {
      p = i / 4; q = (i * 7) % 11 / 2; r = (i * 3) % 5; y = p + 2 * q + 3 * r + (i * i % 7) / 10
      v[1] = p; v[2] = q; v[3] = r; v[4] = y
      split(order, o, " "); printf "%s,%s,%s,%s\n", v[o[1]], v[o[2]], v[o[3]], v[o[4]] } }'; } >"$2"
}

# What is written loads back with its names, inputs and values.
table "E,m,speed,y" "$tmp/emy.csv"
runs emy-write "" --seed 1 --generations 1 --import "$tmp/emy.csv" --write-samples "$tmp/emy.mvs"
runs emy-reload "" --seed 1 --generations 1 --samples "$tmp/emy.mvs" --write-samples "$tmp/emy2.mvs"
if [[ $(head -n 1 "$tmp/emy.mvs") == $'E,m,speed,y\r' ]] && cmp -s "$tmp/emy.mvs" "$tmp/emy2.mvs"; then
  passed=$((passed + 1)); else echo "FAIL emy: names or rows lost"; head -n 2 "$tmp/emy.mvs" "$tmp/emy2.mvs"
  failed=$((failed + 1)); fi
printf 'x,y\n-0,1\n1,-0.0\n2,3\n' >"$tmp/zero.csv"
runs zero-write "" --seed 1 --generations 1 --import "$tmp/zero.csv" --write-samples "$tmp/zero.mvs"
if [[ $(sed -n 2,3p "$tmp/zero.mvs") == $'-0.00000000,1.00000000\r\n1.00000000,-0.00000000\r' ]]; then
  passed=$((passed + 1)); else echo "FAIL zero: sign lost"; cat "$tmp/zero.mvs"; failed=$((failed + 1)); fi
# Names a header cannot give back are refused before anything is written.
table "400,500,600,y" "$tmp/spectrum.csv"
check numeric-names 2 '"400" reads as a number' \
  --seed 1 --generations 1 --import "$tmp/spectrum.csv" --write-samples "$tmp/spectrum.mvs"
[[ -e $tmp/spectrum.mvs ]] && { echo "FAIL numeric-names: file written"; failed=$((failed + 1)); }
printf '"line\nbreak",y\n1,2\n3,4\n' >"$tmp/break.csv"
check break-name 2 "holds a line break" \
  --seed 1 --generations 1 --import "$tmp/break.csv" --write-samples "$tmp/break.mvs"
# Items a line holds beyond those read are reported, and so are numbers cut short.
printf 'x,y\r\n1,2,3\r\n4,5\r\n6,7\r\n' >"$tmp/extra.mvs"
runs extra-items "1 of 3 lines held more than 2 items; those after the 2nd were not used (line 2)" \
  --seed 1 --generations 1 --no-progressive --samples "$tmp/extra.mvs"
printf '1,2.5e\r\n3,4\r\n5,.\r\n' >"$tmp/short.mvs"
runs cut-short "2 of 3 lines held a number cut short" \
  --seed 1 --generations 1 --no-progressive --samples "$tmp/short.mvs"

# Check rows are matched to the samples' columns by name, whatever their order.
table "p,q,r,y" "$tmp/train.csv"
table "r,q,p,y" "$tmp/reordered.csv" "3 2 1 4"
runs validation-same "" --seed 3 --generations 20 --import "$tmp/train.csv" --validation "$tmp/train.csv"
grep "^held-out:" "$tmp/out" >"$tmp/held-same"
runs validation-reordered "" --seed 3 --generations 20 --import "$tmp/train.csv" \
  --validation "$tmp/reordered.csv"
grep "^held-out:" "$tmp/out" >"$tmp/held-reordered"
if [[ -s $tmp/held-same ]] && cmp -s "$tmp/held-same" "$tmp/held-reordered"; then
  passed=$((passed + 1)); else echo "FAIL validation by name"; cat "$tmp/held-same" "$tmp/held-reordered"
  failed=$((failed + 1)); fi
table "a,b,c,y" "$tmp/other.csv"
check validation-other-names 2 'No column is named "p"' --seed 3 --generations 2 \
  --import "$tmp/train.csv" --validation "$tmp/other.csv"
runs write-train "" --seed 1 --generations 1 --import "$tmp/train.csv" --write-samples "$tmp/train.mvs"
runs write-reordered "" --seed 1 --generations 1 --import "$tmp/reordered.csv" \
  --write-samples "$tmp/reordered.mvs"
runs validation-file-reordered "" --seed 3 --generations 20 --import "$tmp/train.csv" \
  --validation "$tmp/reordered.mvs"
grep "^held-out:" "$tmp/out" >"$tmp/held-file"
cmp -s "$tmp/held-same" "$tmp/held-file" ||
  { echo "FAIL validation file by name"; cat "$tmp/held-file"; failed=$((failed + 1)); }

# A name given twice chooses nothing; a name with a comma is chosen in quotes.
printf 'a,b,a,y\n1,2,3,4\n5,6,7,8\n' >"$tmp/twice.csv"
check name-twice 2 'Columns 1 and 3 are both named "a"' --seed 1 --generations 1 \
  --import "$tmp/twice.csv" --x-column a
printf '"a,b",c,y\n1,2,3\n5,6,7\n' >"$tmp/comma.csv"
runs comma-name 'x column "a,b", y column "y"' --seed 1 --generations 1 --no-progressive \
  --import "$tmp/comma.csv" --x-column '"a,b"' --y-column y

# --write-samples never replaces another file of the run, however it is named.
printf '1,2\r\n3,4\r\n5,7\r\n' >"$tmp/in.mvs"; cp "$tmp/in.mvs" "$tmp/in.keep"
ln -s "$tmp/in.mvs" "$tmp/link.mvs"
check write-over-samples 2 "--write-samples: $tmp/./in.mvs is also" --seed 1 --generations 1 \
  --samples "$tmp/in.mvs" --write-samples "$tmp/./in.mvs"
check write-over-link 2 "--write-samples: $tmp/link.mvs is also" --seed 1 --generations 1 \
  --samples "$tmp/in.mvs" --write-samples "$tmp/link.mvs"
check write-over-validation 2 "is also" --seed 1 --generations 1 \
  --validation "$tmp/in.mvs" --write-samples "$tmp/link.mvs"
cp "$tmp/train.csv" "$tmp/train.keep"
check write-over-import 2 "is also" --seed 1 --generations 1 \
  --import "$tmp/train.csv" --write-samples "$tmp/train.csv"
check write-over-progress 2 "is also" --seed 1 --generations 1 \
  --progress-file "$tmp/p.csv" --write-samples "$tmp/p.csv"
cmp -s "$tmp/in.mvs" "$tmp/in.keep" && cmp -s "$tmp/train.csv" "$tmp/train.keep" &&
  [[ ! -e $tmp/p.csv ]] || { echo "FAIL write-over: a file changed"; failed=$((failed + 1)); }

# A progress file that the disk stops ends at its last whole line (a 1 KiB file limit here).
(ulimit -f 1; trap '' XFSZ; LC_ALL=C exec "$bin" --seed 5 --margin 0 --generations 2000 \
  --progress-file "$tmp/cut.csv") >"$tmp/out" 2>"$tmp/err"
code=$?
if [[ $code == 2 ]] && grep -q "cannot write the progress file" "$tmp/err" &&
   [[ $(tail -c 1 "$tmp/cut.csv" | od -An -c | tr -d ' ') == '\n' ]] &&
   awk -F, 'NF != 5 { bad = 1 } END { exit bad }' "$tmp/cut.csv"; then
  passed=$((passed + 1)); else echo "FAIL cut progress file: exit $code"; tail -c 60 "$tmp/cut.csv"
  cat "$tmp/err"; failed=$((failed + 1)); fi

report
