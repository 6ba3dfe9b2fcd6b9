#!/usr/bin/env bash
# End-to-end checks of movar-search: exit codes, argument errors, repeatability.
set -u
bin=${1:?usage: cli_test.sh PATH-TO-movar-search}
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
passed=0 failed=0

check() {  # name, expected exit, grep pattern for stderr (or ""), args...
  local name=$1 want=$2 pattern=$3; shift 3
  LC_ALL=C "$bin" "$@" >"$tmp/out" 2>"$tmp/err"; local code=$?
  if [[ $code != "$want" ]]; then
    echo "FAIL $name: exit $code, expected $want"; cat "$tmp/err"; failed=$((failed + 1)); return
  fi
  if [[ -n $pattern ]] && ! grep -q -- "$pattern" "$tmp/err"; then
    echo "FAIL $name: stderr lacks '$pattern'"; cat "$tmp/err"; failed=$((failed + 1)); return
  fi
  passed=$((passed + 1))
}

check help 0 "" --help
grep -q -- "--write-samples FILE" "$tmp/out" || { echo "FAIL help text"; failed=$((failed + 1)); }
check unknown-option 2 "unknown option: --frobnicate" --frobnicate
check missing-value 2 "--seed: missing value" --seed
check non-numeric 2 "--population: not a whole number" --population lots
check trailing-garbage 2 "--margin: not a whole number" --margin 10x
check registers-range 2 "--registers: out of range" --registers 21
check margin-range 2 "--margin: out of range" --margin 41
check seed-range 2 "--seed: out of range" --seed 4294967296
check generations-range 2 "--generations: out of range" --generations 0
check threads-range 2 "--threads: out of range" --threads 0
check missing-file 2 "Cannot open file" --seed 1 --samples "$tmp/none.mvs"
check limit-without-match 1 "seed: 9" --seed 9 --margin 0 --generations 3
check match 0 "seed: 1" --seed 1 --generations 300
grep -q "^generations: 56$" "$tmp/out" || { echo "FAIL match: generation line"; failed=$((failed + 1)); }

# --emit: the report stays as it is, the forms follow it.
check emit-unknown 2 "--emit: not one of formula, latex, c, python" --emit fortran
LC_ALL=C "$bin" --seed 1 --generations 300 >"$tmp/plain" 2>/dev/null
LC_ALL=C "$bin" --seed 1 --generations 300 --emit formula --emit c >"$tmp/emit" 2>/dev/null
lines=$(wc -l <"$tmp/plain")
if head -n "$lines" "$tmp/emit" | cmp -s - "$tmp/plain" && sed -n "$((lines + 1))p" "$tmp/emit" |
  grep -qx 'sin(2\*x)' && grep -q "^double model(double x) {$" "$tmp/emit"; then
  passed=$((passed + 1)); else echo "FAIL emit"; failed=$((failed + 1)); fi

# The same seed and options give the same stdout, whatever the thread count.
LC_ALL=C "$bin" --seed 21 --population 200 --generations 40 --registers 3 >"$tmp/a" 2>/dev/null
LC_ALL=C "$bin" --seed 21 --population 200 --generations 40 --registers 3 --threads 2 >"$tmp/b" 2>/dev/null
if cmp -s "$tmp/a" "$tmp/b" && [[ -s $tmp/a ]]; then passed=$((passed + 1)); else
  echo "FAIL repeatability"; failed=$((failed + 1)); fi

# Ctrl+C ends the run after the generation in progress and still prints the model.
LC_ALL=C "$bin" --seed 5 --margin 0 --population 2000 >"$tmp/int" 2>/dev/null &
pid=$!; sleep 1; kill -INT $pid; wait $pid; code=$?
if [[ $code == 1 ]] && grep -q "^generations: [0-9]*$" "$tmp/int" && grep -q "^}$" "$tmp/int"; then
  passed=$((passed + 1)); else echo "FAIL interrupt: exit $code"; failed=$((failed + 1)); fi

echo "$passed passed, $failed failed"
[[ $failed == 0 ]]
