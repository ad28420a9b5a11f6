# Shared by the packer's end-to-end test scripts (sourced, not run).
# The script defines pack(), which leaves the exit code in $rc and the
# program's stderr in err.txt; expected_error_rc is the exit code of an
# error (empty: any non-zero code).

failures=0
checks=0
expected_error_rc=
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
check() { checks=$((checks + 1)); }

# An error: one line, the expected exit code, the output file left as it was
# ("keep") and no temporary file left over.
expect_error() {  # DESCRIPTION OUTPUT_FILE then the packer's arguments
  local what=$1 output=$2
  shift 2
  check
  pack "$@"
  if [ -z "$expected_error_rc" ] && [ $rc -eq 0 ]; then
    fail "$what: succeeded"
  elif [ -n "$expected_error_rc" ] && [ $rc -ne "$expected_error_rc" ]; then
    fail "$what: exit code $rc"
  elif [ "$(wc -l <err.txt)" -ne 1 ]; then
    fail "$what: message is not one line: $(cat err.txt)"
  elif [ -n "$output" ] && [ -e "$output" ] && [ "$(cat "$output")" != keep ]; then
    fail "$what: output was written"
  elif ls ./*.respack-tmp >/dev/null 2>&1; then
    fail "$what: temporary file left"
  fi
}

# The summary line and the script's exit status.
finish() {
  echo "$checks checks, $failures failed"
  [ $failures -eq 0 ]
}
