# Shared by the command-line test scripts (sourced): a work folder removed at
# exit, named checks that count what passed and failed, and the summary line
# whose status ends the script.
set -u
work=$(mktemp -d)
trap 'chmod -R u+w "$work" 2>/dev/null; rm -rf "$work"' EXIT
passed=0
failed=0
check() {  # check NAME COMMAND...: passes when the command succeeds
  local name=$1
  shift
  if "$@"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: $name"; fi
}
has() { grep -qF -- "$2" <<<"$1"; }  # has TEXT PART
finish() {  # finish LABEL: the summary line; fails when a check failed
  echo "$1: $passed passed, $failed failed"
  test "$failed" = 0
}
