# Helpers of the shell tests, sourced by each (never run on its own).

# Says why the test failed, on standard error, and ends it.
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# A Unix path as a Windows program under Wine names it (drive Z:).
windows_path() { printf 'Z:%s' "$(printf '%s' "$1" | tr / '\\')"; }
