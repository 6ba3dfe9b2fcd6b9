#!/usr/bin/env bash
# End-to-end checks of movar-search --restarts: the same stdout for every thread count and
# (with "mpi": built with MPI, mpirun there) every number of ranks, replaying an attempt
# from its seed, and clean ends by the time limit and by Ctrl+C. "plugin" (built with MPI,
# not run under mpirun) checks only how the program finds its MPI plug-in.
set -u
bin=${1:?usage: restarts_test.sh PATH-TO-movar-search [mpi|plugin]}
mpi=${2:-}
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
passed=0 failed=0
pass() { passed=$((passed + 1)); }
fail() { echo "FAIL $*"; failed=$((failed + 1)); }
run() { LC_ALL=C "$bin" "$@" 2>"$tmp/err"; echo "exit $?"; }

"$bin" --seed 9 --write-samples "$tmp/sine.mvs" --generations 1 >/dev/null 2>&1
runs=(
  "--samples $tmp/sine.mvs --seed 9 --restarts --restart-unit 20"
  "--seed 1000 --random --registers 3 --instructions 10 --margin 20 --restarts --attempts 6"
  "--seed 2 --restarts --restart-unit 7 --no-refine --no-scaled-constants"
  "--seed 3 --registers 1 --instructions 1 --restarts --restart-unit 2 --attempts 9"
  "--samples $tmp/sine.mvs --seed 9 --restarts --restart-unit 20 --size-ladder"
  "--seed 3 --registers 1 --instructions 1 --restarts --restart-unit 2 --attempts 9 --size-ladder"
)
for args in "${runs[@]}"; do
  reference=$(run --threads 1 $args)
  grep -q "^attempt: [0-9]*$" <<<"$reference" && grep -q "^seed: [0-9]*$" <<<"$reference" ||
    fail "no attempt and seed lines: $args"
  for threads in 2 4; do
    [[ $(run --threads $threads $args) == "$reference" ]] && pass || fail "--threads $threads: $args"
  done
  if [[ $mpi == mpi ]]; then
    for ranks in 1 3; do
      other=$(LC_ALL=C mpirun --allow-run-as-root --oversubscribe -n $ranks "$bin" --threads 1 \
        $args 2>/dev/null; echo "exit $?")
      # mpirun reports the highest exit status of its ranks; every rank agrees on it.
      [[ $other == "$reference" ]] && pass || fail "mpirun -n $ranks: $args"
    done
  fi
done

# --emit prints the answer's program whichever rank found it: the forms follow the report.
if [[ $mpi == mpi ]]; then
  for args in "--seed 2 --restarts --restart-unit 7 --emit formula --emit c" \
    "--seed 1000 --random --registers 3 --instructions 10 --margin 20 --restarts --attempts 6 --emit c"; do
    reference=$(run --threads 1 $args)
    [[ $reference == *"double model(double x) {"* ]] || fail "no emitted code: $args"
    for ranks in 1 2 3; do
      other=$(LC_ALL=C mpirun --allow-run-as-root --oversubscribe -n $ranks "$bin" --threads 1 \
        $args 2>/dev/null; echo "exit $?")
      [[ $other == "$reference" ]] && pass || fail "mpirun -n $ranks: $args"
    done
  done
fi

# A law of three inputs that is four instructions without a constant, d1 d2 / (d2 + n d1):
# attempt 1 tries every short program and finds it, on every thread count and rank count.
awk 'BEGIN { print "d1,d2,n,y"; s = 7;
  for (i = 0; i < 60; i++) {
    s = (s * 1103515245 + 12345) % 2147483648; a = 1 + 4 * s / 2147483648;
    s = (s * 1103515245 + 12345) % 2147483648; b = 1 + 4 * s / 2147483648;
    s = (s * 1103515245 + 12345) % 2147483648; n = 1 + 4 * s / 2147483648;
    printf "%.17g,%.17g,%.17g,%.17g\n", a, b, n, a * b / (b + n * a) } }' >"$tmp/lens.csv"
law="--import $tmp/lens.csv --restarts --margin 1 --seed 4"
reference=$(run --threads 1 $law)
[[ $reference == *"exit 0" && $reference == *$'\nattempt: 1\n'* ]] &&
  grep -q "^attempt 1  short programs of 1 to 4 instructions  matched 60 of 60$" "$tmp/err" &&
  pass || fail "the short programs' answer: $reference"
[[ $(run --threads 2 $law) == "$reference" ]] && pass || fail "--threads 2: $law"
if [[ $mpi == mpi ]]; then
  other=$(LC_ALL=C mpirun --allow-run-as-root --oversubscribe -n 3 "$bin" --threads 1 $law \
    2>/dev/null; echo "exit $?")
  [[ $other == "$reference" ]] && pass || fail "mpirun -n 3: $law"
fi
# Four inputs, (m1 r1 + m2 r2) / (m1 + m2): five instructions in four registers, too many
# programs to try them all, but found among those that read every input, in one of four parts.
awk 'BEGIN { print "m1,m2,r1,r2,y"; s = 5;
  for (i = 0; i < 60; i++) {
    for (j = 0; j < 4; j++) { s = (s * 1103515245 + 12345) % 2147483648; v[j] = 1 + 4 * s / 2147483648 }
    printf "%.17g,%.17g,%.17g,%.17g,%.17g\n", v[0], v[1], v[2], v[3],
      (v[0] * v[2] + v[1] * v[3]) / (v[0] + v[1]) } }' >"$tmp/mean.csv"
mean="--import $tmp/mean.csv --restarts --margin 1 --seed 4"
reference=$(run --threads 1 $mean)
[[ $reference == *"exit 0" ]] &&
  grep -Eq "^attempt (8|9|10|11)  short programs of 5 instructions that read every input, part [1-4] of 4  matched 60 of 60$" "$tmp/err" &&
  pass || fail "the short programs that read every input: $reference"
[[ $(run --threads 2 $mean) == "$reference" ]] && pass || fail "--threads 2: $mean"

[[ $(run --threads 1 $law --attempts 3 --no-short-programs) != *$'\nattempt: 1\n'* ]] &&
  ! grep -q "short programs" "$tmp/err" && pass || fail "--no-short-programs still tried them"

# The stderr line of the answer names the options that replay it as a plain search, at the
# attempt's own sizes with the size ladder (stdout says them). The searches alone, numbered
# without the short programs' attempt.
for ladder in "" "--size-ladder"; do
  run --threads 2 --samples "$tmp/sine.mvs" --seed 1 --restarts --restart-unit 20 --margin 12 \
    --no-short-programs $ladder >"$tmp/answer"
  replay=$(grep "matched .*(replay: " "$tmp/err" | tail -n 1 | sed 's/.*(replay: \(.*\))$/\1/')
  attempt=$(grep "^attempt: " "$tmp/answer" | cut -d' ' -f2)
  [[ $attempt -gt 0 ]] || fail "the replay check wants an answer from a later attempt: $ladder"
  if [[ -n $ladder ]]; then
    sizes=$(grep "^sizes: " "$tmp/answer")
    [[ -n $sizes && $replay == *"--registers $(cut -d' ' -f2 <<<"$sizes") "* ]] ||
      fail "the sizes of the answer and of its replay: $sizes / $replay"
  elif grep -q "^sizes: " "$tmp/answer"; then
    fail "sizes reported without the ladder"
  fi
  # Beside linear scaling every other attempt of each size runs unscaled, and says so.
  kinds=$([[ -n $ladder ]] && echo 6 || echo 2)
  if ((attempt % kinds >= kinds / 2)); then
    [[ $replay != *--linear-scaling* ]] && pass || fail "an unscaled attempt's replay: $replay"
  else
    [[ $replay == *"--linear-scaling --margin-line"* ]] && pass ||
      fail "a scaled attempt's replay: $replay"
  fi
  run --samples "$tmp/sine.mvs" $replay >"$tmp/replayed"
  if diff <(sed -n '/^generations:/q;p' "$tmp/answer") <(sed -n '/^generations:/q;p' "$tmp/replayed") >/dev/null &&
    grep -q "^exit 0$" "$tmp/replayed"; then pass; else fail "replay: $replay"; fi
done

# A time limit ends both modes cleanly with the best model so far.
for mode in "" "--restarts"; do
  start=$SECONDS
  out=$(run --seed 5 --margin 0 --registers 1 --instructions 1 --time-limit 1 $mode)
  if [[ $out == *"exit 1" && $out == *"generations: "* && $((SECONDS - start)) -lt 10 ]]; then
    pass; else fail "time limit $mode: $out"; fi
done

# Ctrl+C ends every attempt after its generation and prints the best model.
LC_ALL=C "$bin" --seed 5 --margin 0 --registers 1 --instructions 1 --restarts --population 2000 >"$tmp/int" 2>/dev/null &
pid=$!; sleep 1; kill -INT $pid; wait $pid; code=$?
[[ $code == 1 ]] && grep -q "^attempt: " "$tmp/int" && grep -q "^}$" "$tmp/int" && pass ||
  fail "interrupt: exit $code"

[[ $(run --restarts --generations 5) == *"exit 2" ]] && grep -q "with --restarts use" "$tmp/err" &&
  pass || fail "--generations with --restarts"

if [[ -n $mpi ]]; then
  # MPI's libraries come with the plug-in, under a launcher only: a plain run binds none.
  if command -v ldd >/dev/null; then
    ldd "$bin" | grep -q "libmpi" && fail "movar-search links MPI itself" || pass
  fi
  # Under a launcher a program without its plug-in, or with a broken one, says so and
  # stops, rather than running alone on every rank and printing the answer once per rank.
  mkdir "$tmp/alone"; cp "$bin" "$tmp/alone/movar-search"
  for plugin in none broken; do
    [[ $plugin == broken ]] && echo "not a library" >"$tmp/alone/movar-search-mpi.so"
    out=$(OMPI_COMM_WORLD_SIZE=2 LC_ALL=C "$tmp/alone/movar-search" --seed 2 --restarts 2>&1)
    code=$?
    [[ $code == 2 && $out == *"started by an MPI launcher, but its MPI plug-in"* &&
      $out != *"generations:"* ]] && pass || fail "$plugin plug-in: exit $code: $out"
  done
fi

echo "$passed passed, $failed failed"
[[ $failed == 0 ]]
