#!/usr/bin/env bash
# vortel-cli on every sample and preset: info, save (dialog and direct, with a
# morph), vcm, edges, fuse and restore. Standard output, the boxes, the exit
# statuses and a digest of every file written must equal the recorded text in
# golden/samples.txt, so a change inside the core cannot alter what users get.
# Run with a third argument "--record" to rewrite the recording.
source "$(dirname "$0")/common.bash" "$1"
SRC="$2"
GOLDEN="$(dirname "$0")/golden/samples.txt"

# A VCM file starts with its creation time (26 bytes of ctime text); the
# question that shows it and the digest of the file leave that out.
digest() {
  if [ ! -f "$1" ]; then echo "(none)"; return; fi
  case "$1" in
    *.vcm) tail -c +27 "$1" | sha256sum | cut -c1-16 ;;
    *) sha256sum < "$1" | cut -c1-16 ;;
  esac
}
undate() { sed -E 's/CREATE DATE = \[?[A-Z][a-z]{2} [A-Z][a-z]{2} [ 0-9]{2} [0-9:]{8} [0-9]{4}\]?/CREATE DATE = (date)/'; }

# step NAME OUTFILE ARGS...: runs vortel-cli ARGS and prints what it did.
step() {
  local name="$1" outfile="$2"; shift 2
  rm -f "$outfile"
  run "$@"
  echo "== $name rc=$rc"
  # Long JSON (whole tables) is kept as a digest.
  if [ ${#out} -gt 400 ]; then echo "stdout $(printf '%s' "$out" | sha256sum | cut -c1-16)"
  elif [ -n "$out" ]; then echo "$out"; fi
  [ -n "$err" ] && echo "$err" | undate
  [ "$outfile" != - ] && echo "-> $(digest "$outfile")"
}

report() {
  local f name
  for f in "$SRC"/data/samples/* "$SRC"/preset/*; do
    name="$(basename "$(dirname "$f")")/$(basename "$f")"
    step "$name info" - info "$f"
    step "$name save dialog" "$T/s.obj" save "$f" "$T/s.obj"
    step "$name save direct" "$T/d.obj" save "$f" "$T/d.obj" --direct
    step "$name save groups 0" "$T/g.obj" save "$f" "$T/g.obj" --groups 0 --direct
    step "$name save vertex only" "$T/v.obj" save "$f" "$T/v.obj" --vertex-only
    step "$name save morph" "$T/m.obj" save "$f" "$T/m.obj" --morph "$SRC/data/samples/figure_mt.obj"
    step "$name vcm" - vcm "$f"
    step "$name mirror l2r" "$T/l2r.obj" mirror "$f" "$SRC/data/samples/figure_mt.obj" l2r "$T/l2r.obj"
    for a in 0 8 12; do step "$name edges $a" "$T/e$a.obj" edges "$f" "$a" "$T/e$a.obj"; done
    step "$name fuse" "$T/f.obj" fuse "$f" "$T/map.vcm" "$T/f.obj"
    echo "map $(digest "$T/map.vcm")"
    step "$name restore" "$T/r.obj" restore "$T/f.obj" "$T/map.vcm" "$T/r.obj"
    rm -f "$T/map.vcm"
  done
}

if [ "${3:-}" = --record ]; then
  report > "$GOLDEN"
  echo "recorded $(wc -l < "$GOLDEN") lines"
  exit 0
fi
report > "$T/now.txt"
if ! diff -u "$GOLDEN" "$T/now.txt"; then fails=$((fails + 1)); fi
[ "$fails" -eq 0 ] && echo "golden_samples: all passed"
exit $((fails > 0))
