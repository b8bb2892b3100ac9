# Sourced by the completion tests: runs a bash completion function as bash
# would and checks its offers. Counts failures in $failures.

failures=0

# load_completion SCRIPT COMMAND: sources SCRIPT and checks that it
# registers a completion for COMMAND; ends the test when it does not.
load_completion() {
  if [ ! -f "$1" ]; then
    echo "FAIL: $1 is missing"
    exit 1
  fi
  # shellcheck source=/dev/null
  source "$1" || { echo "FAIL: sourcing $1"; exit 1; }
  if ! complete -p "$2" >/dev/null 2>&1; then
    echo "FAIL: no completion registered for $2"
    exit 1
  fi
}

# complete_words WORDS...: runs the completion function registered for
# WORDS[0] on the command line WORDS, completing the last word; leaves the
# offers, one a line and sorted, in $offers.
complete_words() {
  local fn
  fn=$(complete -p "$1" | sed -n 's/.*-F \([^ ]*\).*/\1/p')
  COMP_WORDS=("$@")
  COMP_CWORD=$(($# - 1))
  COMP_LINE="$*"
  COMP_POINT=${#COMP_LINE}
  COMPREPLY=()
  "$fn" "$1" "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD-1]}"
  offers=$(printf '%s\n' "${COMPREPLY[@]}" | sort)
}

# expect NAME WANT DONTWANT WORDS...: WANT are words that must be offered
# (space separated), DONTWANT words that must not be.
expect() {
  local name=$1 want=$2 dontwant=$3
  shift 3
  complete_words "$@"
  local w
  for w in $want; do
    if ! grep -qxF -e "$w" <<<"$offers"; then
      echo "FAIL: $name: '$w' not offered; got: $(tr '\n' ' ' <<<"$offers")"
      failures=$((failures + 1))
    fi
  done
  for w in $dontwant; do
    if grep -qxF -e "$w" <<<"$offers"; then
      echo "FAIL: $name: '$w' offered"
      failures=$((failures + 1))
    fi
  done
}

# expect_count NAME N: the last completion made exactly N offers.
expect_count() {
  local count
  count=$(grep -c . <<<"$offers")
  if [ "$count" -ne "$2" ]; then
    echo "FAIL: $1: expected $2 offers, got $count: $(tr '\n' ' ' <<<"$offers")"
    failures=$((failures + 1))
  fi
}

# finish WHAT: the test's status and closing line.
finish() {
  if [ $failures -ne 0 ]; then
    echo "$failures failure(s)"
    exit 1
  fi
  echo "$1"
}
