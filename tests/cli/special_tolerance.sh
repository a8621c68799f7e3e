#!/usr/bin/env bash
# vortel-cli vcm and mirror with --tolerance EPS: EPS 0 gives the exact command's output on every
# sample, a mesh with rounding noise gets its map, and malformed options are usage errors.
source "$(dirname "$0")/common.bash" "$1"
SRC="$2"

for f in figure.obj parts.obj hair.obj props.pp2; do
  run vcm "$SRC/data/samples/$f"; o1="$out"; e1="$err"; r1="$rc"
  run vcm "$SRC/data/samples/$f" --tolerance 0; check "$f eps 0 json" "$o1" "$out"
  check "$f eps 0 boxes" "$e1" "$err"; check "$f eps 0 rc" "$r1" "$rc"
done

# The right side carries noise of 2e-6; the centre vertex 3 is exact.
printf 'v 1 0 0\nv -1.000002 0 0\nv 0 1 0\nv 1 1 1\nv -1 1.000002 1\nf 1 2 3\nf 3 4 5\n' > "$T/noisy.obj"
run vcm "$T/noisy.obj"
check "exact json" '{"resolved":1,"vertices":5,"valid":1,"table":[-1,-1,2,-1,-1],"markers":[1,2,4,5]}' "$out"
check "exact box" "[VORTEL] NOT SYMMETRY" "$(echo "$err" | tail -n 1)"
run vcm "$T/noisy.obj" --tolerance 1e-5
check "tolerance json" '{"resolved":5,"vertices":5,"valid":1,"table":[1,0,2,4,3],"markers":[]}' "$out"
check "tolerance box" "[VORTEL] FLAWLESS SYMMETRY [5]" "$(echo "$err" | tail -n 1)"
check "tolerance rc" 0 "$rc"
run vcm --tolerance 0.00001 "$T/noisy.obj"
check "option first" '{"resolved":5,"vertices":5,"valid":1,"table":[1,0,2,4,3],"markers":[]}' "$out"
run vcm "$T/noisy.obj" --tolerance 1e-7
check "too tight json" '{"resolved":1,"vertices":5,"valid":1,"table":[-1,-1,2,-1,-1],"markers":[1,2,4,5]}' "$out"

# The left side (x > 0) moves; L->R copies it onto the noisy right side only with the tolerance.
# (The writer gives the zeros that the display transform leaves a hair below 0 as -0.000000.)
printf 'v 1.5 0 0\nv -1.000002 0 0\nv 0 1 0\nv 1 1.25 1\nv -1 1.000002 1\n' > "$T/target.obj"
run mirror "$T/noisy.obj" "$T/target.obj" l2r "$T/out.obj" --tolerance 1e-5
check "mirror rc" 0 "$rc"
check "mirror file" "$(printf '# Convert by TOLK\nv 1.500000 -0.000000 0.000000\nv -1.500002 -0.000000 0.000000\nv -0.000000 1.000000 0.000000\nv 1.000000 1.250000 1.000000\nv -1.000000 1.250002 1.000000\nf 1 2 3\nf 3 4 5')" "$(cat "$T/out.obj")"
run mirror "$T/noisy.obj" "$T/target.obj" l2r "$T/exact.obj"
check "mirror exact leaves the right side" "v -1.000002 -0.000000 0.000000" "$(sed -n 3p "$T/exact.obj")"

for bad in "--tolerance" "--tolerance -1" "--tolerance nan" "--tolerance inf" "--tolerance 1e-3x" \
           "--tolerance 1e-3 --tolerance 1e-3" "--tolerance ''"; do
  eval "run vcm \"\$T/noisy.obj\" $bad"
  check "vcm $bad" 2 "$rc"
done
run mirror "$T/noisy.obj" "$T/target.obj" l2r --tolerance 1e-5
check "mirror without OUT" 2 "$rc"

[ "$fails" -eq 0 ] && echo "special_tolerance: all passed"
exit $((fails > 0))
