#!/usr/bin/env bash
# Runs movar-search with 1, 2 and 4 threads on several seeds and parameter sets and fails
# on any difference in the standard output or the exit status.
set -u
bin=${1:?usage: threads_test.sh PATH-TO-movar-search}
fail=0
while read -r args; do
  [[ -z $args ]] && continue
  reference=$(LC_ALL=C "$bin" --threads 1 $args 2>/dev/null; echo "exit $?")
  for threads in 2 4; do
    other=$(LC_ALL=C "$bin" --threads "$threads" $args 2>/dev/null; echo "exit $?")
    if [[ $reference != "$other" ]]; then
      echo "differs with --threads $threads: $args"
      diff <(echo "$reference") <(echo "$other") | head -n 10
      fail=1
    fi
  done
done <<'RUNS'
--seed 1 --generations 300
--seed 3 --population 1000 --instructions 20 --registers 4 --no-progressive --generations 60
--seed 5 --population 1 --registers 1 --instructions 2 --generations 100
--seed 8 --population 2000 --registers 20 --instructions 100 --generations 5 --random
--seed 77 --registers 6 --instructions 40 --population 500 --margin 5 --generations 60
--seed 1000 --random --registers 3 --instructions 10 --population 300 --margin 20 --no-progressive --generations 200
--seed 42 --population 1500 --registers 12 --instructions 50 --no-progressive --generations 8
--seed 6 --holdout 20 --population 300 --registers 3 --instructions 10 --generations 80 --front
RUNS
exit $fail
