#!/usr/bin/env bash
# movar-search refuses a search larger than the memory it may use, with exit status 2 and
# a sentence naming the size, before it allocates any of it.
set -u
bin=${1:?usage: cli_memory_test.sh PATH-TO-movar-search}
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
failed=0

# About 16 GiB asked of a process limited to 1 GiB of address space.
(ulimit -v 1048576; LC_ALL=C exec "$bin" --seed 1 --population 1000000 --instructions 1000 \
  --registers 20 --threads 2 --generations 1) >"$tmp/out" 2>"$tmp/err"
code=$?
want="movar-search: A search of population 1000000 with 1000 instructions and 20 registers on 2 threads needs about 15.[0-9] GiB of memory, more than the 1.0 GiB this process may use (its address-space limit)."
if [[ $code != 2 ]]; then echo "FAIL refusal: exit $code"; cat "$tmp/err"; failed=1; fi
if ! grep -qx -- "$want" "$tmp/err"; then echo "FAIL refusal text:"; cat "$tmp/err"; failed=1; fi
if grep -q "bad_alloc" "$tmp/err"; then echo "FAIL: bare bad_alloc"; failed=1; fi
if [[ -s $tmp/out ]]; then echo "FAIL refusal wrote a model"; failed=1; fi

# A search that fits the same limit still runs.
(ulimit -v 1048576; LC_ALL=C exec "$bin" --seed 1 --population 1000 --threads 2 \
  --generations 3) >"$tmp/out" 2>"$tmp/err"
code=$?
if [[ $code != 1 ]] || ! grep -q "^generations: 3$" "$tmp/out"; then
  echo "FAIL small search under the limit: exit $code"; cat "$tmp/err"; failed=1
fi

# An import larger than that limit is refused by its size before it is read: a sparse file
# of 2 GiB that starts with a table.
printf 'x,y\n1,2\n3,4\n' >"$tmp/huge.csv"
truncate -s 2G "$tmp/huge.csv"
(ulimit -v 1048576; LC_ALL=C exec "$bin" --seed 1 --generations 1 --import "$tmp/huge.csv") \
  >"$tmp/out" 2>"$tmp/err"
code=$?
want="movar-search: Cannot import file \"$tmp/huge.csv\". Its text needs 2.0 GiB of memory, more than the 1.0 GiB this process may use (its address-space limit)."
if [[ $code != 2 ]] || ! grep -qxF -- "$want" "$tmp/err"; then
  echo "FAIL import refusal: exit $code"; cat "$tmp/err"; failed=1; fi

[[ $failed == 0 ]] && echo "passed"
exit $failed
