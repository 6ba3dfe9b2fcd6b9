# Sourced by the movar-search scripts: a scratch folder, the counts, and check().
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

report() {
  echo "$passed passed, $failed failed"
  [[ $failed == 0 ]]
}
