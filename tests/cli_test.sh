#!/usr/bin/env bash
# End-to-end checks of movar-search: exit codes, argument errors, repeatability.
set -u
bin=${1:?usage: cli_test.sh PATH-TO-movar-search [VERSION]}
version=${2:-}
source "$(dirname "${BASH_SOURCE[0]}")/cli_check.sh"

check help 0 "" --help
grep -q -- "--write-samples FILE" "$tmp/out" || { echo "FAIL help text"; failed=$((failed + 1)); }
grep -q -- "--threads N .*(1..1024)" "$tmp/out" || { echo "FAIL help: thread limit"; failed=$((failed + 1)); }
check version 0 "" --version
if [[ -n $version ]] && [[ $(cat "$tmp/out") != "movar-search $version" ]]; then
  echo "FAIL version line: $(cat "$tmp/out")"; failed=$((failed + 1)); fi
check short-help 0 "" -h
grep -q -- "--write-samples FILE" "$tmp/out" || { echo "FAIL -h text"; failed=$((failed + 1)); }
check unknown-option 2 "unknown option: --frobnicate" --frobnicate
check missing-value 2 "--seed: missing value" --seed
check value-is-an-option 2 "--seed: missing value" --seed --population 200
check file-is-an-option 2 "--samples: missing value" --samples --generations 1
check empty-samples-name 2 "--samples: empty file name" --samples ""
check empty-write-name 2 "--write-samples: empty file name" --write-samples ""
check non-numeric 2 "--population: not a whole number" --population lots
check trailing-garbage 2 "--margin: not a whole number" --margin 10x
check registers-range 2 "--registers: out of range" --registers 21
check margin-range 2 "--margin: out of range" --margin 41
check seed-range 2 "--seed: out of range" --seed 4294967296
check generations-range 2 "--generations: out of range" --generations 0
check threads-range 2 "--threads: out of range" --threads 0
check missing-file 2 "Cannot open file" --seed 1 --samples "$tmp/none.mvs"
printf '' >"$tmp/empty.mvs"
check empty-file 2 "no samples, the file holds no line of data" --seed 1 --samples "$tmp/empty.mvs"
printf 'x,y\r\n\r\n \t\r\n' >"$tmp/header.mvs"
check header-only 2 "no samples, the file holds no line of data" --seed 1 --samples "$tmp/header.mvs"
printf 'x,y\r\n\r\n1;2\r\nabc\r\n' >"$tmp/unreadable.mvs"
check no-readable-line 2 "2 of 2 lines could not be read as two numbers (lines 3 and 4)" \
  --seed 1 --samples "$tmp/unreadable.mvs"
check nul-device 2 "no samples" --seed 1 --samples /dev/zero
# A header and blank lines are no samples and go unmentioned, the header's names are kept;
# a garbled line is left out.
printf 'x,y\r\n' >"$tmp/header.mvs"
for i in $(seq 0 11); do printf '%d,%d\r\n\r\n' "$i" "$i" >>"$tmp/header.mvs"; done
check header-and-blanks 0 "" --seed 1 --samples "$tmp/header.mvs" --write-samples "$tmp/back.mvs"
if grep -q "could not be read" "$tmp/err" || [[ $(wc -l <"$tmp/back.mvs") != 13 ]] ||
  [[ $(head -n 1 "$tmp/back.mvs") != $'x,y\r' ]]; then
  echo "FAIL header-and-blanks: $(cat "$tmp/err")"; failed=$((failed + 1)); fi
printf '0,0\r\n1,1\r\n2,2\r\n\r\n3;3\r\n' >"$tmp/some.mvs"
for i in $(seq 4 11); do printf '%d,%d\r\n' "$i" "$i" >>"$tmp/some.mvs"; done
check some-unreadable 0 "1 of 12 lines could not be read as two numbers and was left out (line 5)" \
  --seed 1 --samples "$tmp/some.mvs" --write-samples "$tmp/back.mvs"
[[ $(wc -l <"$tmp/back.mvs") == 11 ]] || { echo "FAIL some-unreadable: rows"; failed=$((failed + 1)); }
printf '1,1\r\n2,5\r\n3,2\r\n' >"$tmp/three.mvs"
check few-progressive 1 "use --no-progressive" --seed 1 --generations 2 --samples "$tmp/three.mvs"
check few-plain 1 "" --seed 1 --generations 2 --no-progressive --samples "$tmp/three.mvs" --margin 0
if grep -q "progressive" "$tmp/err"; then echo "FAIL few-plain: warned"; failed=$((failed + 1)); fi

# Output that never reached its reader is a failure, not a result.
for sink in full closed; do
  if [[ $sink == full ]]; then LC_ALL=C "$bin" --seed 1 --generations 2 >/dev/full 2>"$tmp/err"
  else LC_ALL=C "$bin" --seed 1 --generations 2 >&- 2>"$tmp/err"; fi
  code=$?
  if [[ $code == 2 ]] && grep -q "cannot write the model to standard output" "$tmp/err"; then
    passed=$((passed + 1)); else echo "FAIL stdout $sink: exit $code"; cat "$tmp/err"; failed=$((failed + 1)); fi
done
grep -q "No space left on device" "$tmp/err" && { echo "FAIL closed stdout: wrong reason"; failed=$((failed + 1)); }

check limit-without-match 1 "seed: 9" --seed 9 --margin 0 --generations 3
grep -q "^ended by the generation limit: [0-9]* of 100 samples matched$" "$tmp/err" ||
  { echo "FAIL generation limit: no reason"; failed=$((failed + 1)); }
check time-limit 1 "^ended by the time limit: [0-9]* of 100 samples matched$" \
  --seed 9 --margin 0 --time-limit 1
# The searches alone: the short programs with a constant match this sine exactly.
check restarts-time-limit 1 "^ended by the time limit: " --seed 9 --margin 0 --time-limit 1 \
  --restarts --threads 1 --no-short-programs
check attempt-limit 1 "^ended by the attempt limit: " --seed 9 --margin 0 --attempts 2 --restarts
check match 0 "seed: 1" --seed 1 --generations 300
grep -q "^every sample matched (100)$" "$tmp/err" && grep -q "^model size: 2 live instructions$" \
  "$tmp/err" || { echo "FAIL match: end and size"; failed=$((failed + 1)); }
grep -q "^generations: 56$" "$tmp/out" || { echo "FAIL match: generation line"; failed=$((failed + 1)); }

# --emit: the report stays as it is, the forms follow it.
check emit-unknown 2 "--emit: not one of formula, formula-exact, latex, c, python" --emit fortran
LC_ALL=C "$bin" --seed 1 --generations 300 >"$tmp/plain" 2>/dev/null
LC_ALL=C "$bin" --seed 1 --generations 300 --emit formula --emit c >"$tmp/emit" 2>/dev/null
lines=$(wc -l <"$tmp/plain")
if head -n "$lines" "$tmp/emit" | cmp -s - "$tmp/plain" && sed -n "$((lines + 1))p" "$tmp/emit" |
  grep -qx 'sin(2\*x)' && grep -q "^double model(double x) {$" "$tmp/emit"; then
  passed=$((passed + 1)); else echo "FAIL emit"; failed=$((failed + 1)); fi

# Every digit: the shown formula rounds its numbers and says how far that lies from the
# model; the exact one keeps them and lies only rounding away.
LC_ALL=C "$bin" --seed 3 --margin 0 --generations 40 --emit formula --emit formula-exact \
  >"$tmp/exact" 2>/dev/null
forms=$(sed -n '/^generations: /,$p' "$tmp/exact" | tail -n +2)
shown=$(sed -n 1p <<<"$forms") exact=$(sed -n 3p <<<"$forms")
if [[ -n $exact && $shown != "$exact" && ${#exact} -gt ${#shown} ]] &&
   sed -n 2p <<<"$forms" | grep -q "rounded to 6 digits" &&
   sed -n 4p <<<"$forms" | grep -q "^// Checked against the model at 100 samples: largest difference [0-9.e-]* "; then
  passed=$((passed + 1)); else echo "FAIL formula-exact:"; echo "$forms"; failed=$((failed + 1)); fi

# Held-out rows: the search scores the rest, the report checks the model on them, and the
# front's suggestion is what --pick suggested prints.
check holdout 1 "^held out: 20 of 100 samples$" --seed 6 --margin 0 --generations 150 --holdout 20 \
  --front --pick suggested --emit formula
grep -q "^// model correctness: [0-9]* of 80$" "$tmp/out" &&
  grep -q "^held-out: 20 samples, RMSE [0-9.e+-]*, R² [0-9.e+-]*$" "$tmp/out" ||
  { echo "FAIL holdout: report"; cat "$tmp/out"; failed=$((failed + 1)); }
# The front: sizes rise and errors fall from row to row; one row is marked.
awk '/^[ *] +size +error/ { table = 1; next }
     table && /^[ *] +[0-9]+ / { split(substr($0, 2), cell, " ")
                                 if (n && (cell[1] + 0 <= size || cell[2] + 0 >= error)) bad = 1
                                 size = cell[1] + 0; error = cell[2] + 0; n++
                                 if (substr($0, 1, 1) == "*") marked++ }
     END { exit !(n > 1 && marked == 1 && !bad) }' "$tmp/out" ||
  { echo "FAIL holdout: front"; cat "$tmp/out"; failed=$((failed + 1)); }
picked=$(grep -A1 '^held-out: ' "$tmp/out" | tail -n 1)
marked=$(grep '^\*  ' "$tmp/out" | sed 's/.*  //')
[[ -n $picked && $picked == "$marked" ]] ||
  { echo "FAIL holdout: picked '$picked', marked '$marked'"; failed=$((failed + 1)); }
grep -q "^suggested model: size [0-9]*, held-out error .*, printed by --emit$" "$tmp/err" ||
  { echo "FAIL holdout: suggestion line"; cat "$tmp/err"; failed=$((failed + 1)); }
# A share that holds no row of a small set checks nothing and suggests nothing.
printf '1,7.3\r\n2,-3.1\r\n3,40.7\r\n' >"$tmp/tiny.mvs"
check holdout-none 1 "^held out: 0 of 3 samples (too few samples to hold any out" \
  --seed 1 --margin 0 --generations 5 --no-progressive --samples "$tmp/tiny.mvs" --holdout 20 --front
grep -q "nan" "$tmp/out" || grep -q "held-out\|^suggested" "$tmp/out" "$tmp/err" &&
  { echo "FAIL holdout-none"; cat "$tmp/out" "$tmp/err"; failed=$((failed + 1)); }
# Rows of a file of their own check the models instead.
LC_ALL=C "$bin" --seed 1 --generations 1 --write-samples "$tmp/sine.mvs" >/dev/null 2>&1
check validation 1 "" --seed 6 --margin 0 --generations 20 --validation "$tmp/sine.mvs"
grep -q "^held-out: 100 samples, RMSE " "$tmp/out" ||
  { echo "FAIL validation: report"; cat "$tmp/out"; failed=$((failed + 1)); }
check validation-missing 2 "Cannot open file" --seed 6 --generations 2 --validation "$tmp/none.mvs"

# The same seed and options give the same stdout, whatever the thread count.
LC_ALL=C "$bin" --seed 21 --population 200 --generations 40 --registers 3 >"$tmp/a" 2>/dev/null
LC_ALL=C "$bin" --seed 21 --population 200 --generations 40 --registers 3 --threads 2 >"$tmp/b" 2>/dev/null
if cmp -s "$tmp/a" "$tmp/b" && [[ -s $tmp/a ]]; then passed=$((passed + 1)); else
  echo "FAIL repeatability"; failed=$((failed + 1)); fi

# Ctrl+C ends the run after the generation in progress and still prints the model.
LC_ALL=C "$bin" --seed 5 --margin 0 --population 2000 >"$tmp/int" 2>"$tmp/interr" &
pid=$!; sleep 1; kill -INT $pid; wait $pid; code=$?
if [[ $code == 1 ]] && grep -q "^generations: [0-9]*$" "$tmp/int" && grep -q "^}$" "$tmp/int" &&
   grep -q "^stopped: [0-9]* of 100 samples matched$" "$tmp/interr"; then
  passed=$((passed + 1)); else echo "FAIL interrupt: exit $code"; failed=$((failed + 1)); fi

# TERM and HUP end a run as Ctrl+C does; each progress line is on the disk as it is written.
for sig in TERM HUP; do
  rm -f "$tmp/sig.csv"
  LC_ALL=C "$bin" --seed 5 --margin 0 --population 2000 --progress-file "$tmp/sig.csv" \
    >"$tmp/int" 2>"$tmp/interr" &
  pid=$!; sleep 1; early=$(wc -l <"$tmp/sig.csv" 2>/dev/null || echo 0)
  kill -"$sig" $pid; wait $pid; code=$?
  if [[ $code == 1 ]] && [[ $early -ge 2 ]] && grep -q "^}$" "$tmp/int" &&
     grep -q "^stopped: [0-9]* of 100 samples matched$" "$tmp/interr" &&
     awk -F, 'NF != 5 { bad = 1 } END { exit bad }' "$tmp/sig.csv"; then
    passed=$((passed + 1)); else echo "FAIL SIG$sig: exit $code, $early lines at first"; failed=$((failed + 1)); fi
done

# The progress file is never an input of the run, and a failed write says why.
printf '1,2\r\n3,4\r\n5,7\r\n' >"$tmp/in.mvs"; cp "$tmp/in.mvs" "$tmp/in.keep"
check progress-is-input 2 "is also an input of the run" --seed 1 --generations 2 \
  --samples "$tmp/in.mvs" --progress-file "$tmp/in.mvs"
cmp -s "$tmp/in.mvs" "$tmp/in.keep" || { echo "FAIL progress-is-input: input changed"; failed=$((failed + 1)); }

# --progress-file: a header and one line per generation; stdout as without it.
LC_ALL=C "$bin" --seed 1 --generations 300 >"$tmp/plain" 2>/dev/null
check progress-file 0 "" --seed 1 --generations 300 --progress-file "$tmp/progress.csv"
lines=$(wc -l <"$tmp/progress.csv")
if cmp -s "$tmp/plain" "$tmp/out" && [[ $lines == 57 ]] &&
   [[ $(head -n 1 "$tmp/progress.csv") == "generation,attempt,best_error,matches,elapsed_ms" ]] &&
   awk -F, 'NR > 1 && (NF != 5 || $1 != NR - 1 || $2 != 0 || $3 !~ /^[0-9.e+-]+$/ ||
             $4 !~ /^[0-9]+$/ || $4 > 100 || $5 !~ /^[0-9]+$/) { bad = 1 } END { exit bad }' \
     "$tmp/progress.csv" && [[ $(tail -n 1 "$tmp/progress.csv" | cut -d, -f4) == 100 ]]; then
  passed=$((passed + 1)); else echo "FAIL progress file ($lines lines)"; failed=$((failed + 1)); fi
check progress-file-unwritable 2 "cannot create the progress file" --seed 1 --generations 1 \
  --progress-file "$tmp/no-such-folder/progress.csv"
if [[ -w /dev/full ]]; then  # a full disk stops the run: the model is printed, the run fails
  check progress-file-full 2 "cannot write the progress file /dev/full: No space left on device" \
    --seed 1 --generations 300 --progress-file /dev/full
  grep -q "^stopped: " "$tmp/err" && grep -q "^generations: [12]$" "$tmp/out" && grep -q "^}$" "$tmp/out" ||
    { echo "FAIL progress-file-full: stdout"; cat "$tmp/out"; failed=$((failed + 1)); }
fi
check progress-file-missing-value 2 "--progress-file: missing value" --progress-file

report
