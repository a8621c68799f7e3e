# Shared by the vortel-cli contract scripts (sourced, not run as a test):
# CLI and a scratch folder T, check NAME EXPECTED ACTUAL counting fails, and
# run ARGS... setting out, err and rc.
set -u
CLI="$1"
T="$(mktemp -d)"
trap 'rm -rf "$T"' EXIT
fails=0
check() {  # name expected actual
  if [ "$2" != "$3" ]; then
    echo "FAIL $1"; echo "  expected: $2"; echo "  actual:   $3"; fails=$((fails + 1))
  fi
}
run() {  # runs the command; sets out, err, rc
  out="$("$CLI" "$@" 2>"$T/err")"; rc=$?; err="$(cat "$T/err")"
}
