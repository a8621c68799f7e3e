#!/usr/bin/env bash
# vortel-cli vcm and mirror: the JSON line, the mirrored morph target, the messages and exit codes.
source "$(dirname "$0")/common.bash" "$1"

printf 'v 1 0 0\nv -1 0 0\nv 0 1 0\nv 2 2 0\nf 1 2 3\nf 1 3 4\n' > "$T/partial.obj"
run vcm "$T/partial.obj"
check "vcm json" '{"resolved":3,"vertices":4,"valid":1,"table":[1,0,2,-1],"markers":[4]}' "$out"
check "vcm rc" 0 "$rc"
check "vcm boxes" "$(printf '[progress] NOW LOADING...\n[VORTEL] NOT SYMMETRY. DO YOU TRY AGAIN?\n[VORTEL] Symmetry [3/4]')" "$err"

printf 'v 1 0 0\nv -1 0 0\nv 0 1 0\nf 1 2 3\n' > "$T/base.obj"
run vcm "$T/base.obj"
check "vcm flawless" '{"resolved":3,"vertices":3,"valid":1,"table":[1,0,2],"markers":[]}' "$out"
check "vcm flawless box" "[VORTEL] FLAWLESS SYMMETRY [3]" "$(echo "$err" | tail -n 1)"

printf 'v 1 0 0\nv -1 0 0\nv 0 1 0\ng a\nf 1 2 3\ng b\nf 3 2 1\n' > "$T/two.obj"
run vcm "$T/two.obj"
check "vcm two groups rc" 1 "$rc"
check "vcm two groups prints nothing" "" "$out"
check "vcm two groups box" "[VORTEL] MTM CAN USE 1 GROUP OBJECT ONLY." "$(echo "$err" | tail -n 1)"
run vcm "$T/missing.obj"; check "vcm missing rc" 1 "$rc"
run vcm; check "vcm usage" 2 "$rc"
run vcm a b; check "vcm usage 2" 2 "$rc"

printf 'v 1.5 0 0\nv -1 0 0\nv 0 1 0.5\n' > "$T/target.obj"
mirror_case() {  # mode, the three expected vertex lines
  run mirror "$T/base.obj" "$T/target.obj" "$1" "$T/out_$1.obj"
  check "mirror $1 rc" 0 "$rc"
  check "mirror $1 file" "$(printf '# Convert by TOLK\n%s\n%s\n%s\nf 1 2 3' "$2" "$3" "$4")" "$(cat "$T/out_$1.obj")"
}
mirror_case l2r 'v 1.500000 0.000000 0.000000' 'v -1.500000 0.000000 0.000000' 'v 0.000000 1.000000 0.500000'
mirror_case r2l 'v 1.000000 0.000000 0.000000' 'v -1.000000 0.000000 0.000000' 'v 0.000000 1.000000 0.500000'
mirror_case swap 'v 1.000000 0.000000 0.000000' 'v -1.500000 0.000000 0.000000' 'v 0.000000 1.000000 0.500000'
mirror_case reset-r 'v 1.500000 0.000000 0.000000' 'v -1.000000 0.000000 0.000000' 'v 0.000000 1.000000 0.000000'
mirror_case reset-l 'v 1.000000 0.000000 0.000000' 'v -1.000000 0.000000 0.000000' 'v 0.000000 1.000000 0.000000'
check "mirror l2r boxes" "$(printf '[progress] NOW LOADING...\n[progress] MT NOW LOADING...\n[progress] MT LOAD OK (V=3)\n[VORTEL] FLAWLESS SYMMETRY [3]')" \
  "$("$CLI" mirror "$T/base.obj" "$T/target.obj" l2r "$T/o.obj" 2>&1 >/dev/null)"

run mirror "$T/base.obj" "$T/target.obj" sideways "$T/o.obj"; check "mirror bad mode" 2 "$rc"
run mirror "$T/base.obj" "$T/target.obj" l2r; check "mirror usage" 2 "$rc"
printf 'v 1 0 0\nv -1 0 0\n' > "$T/short.obj"
rm -f "$T/o.obj"
run mirror "$T/base.obj" "$T/short.obj" l2r "$T/o.obj"
check "mirror unmatched target rc" 1 "$rc"
check "mirror unmatched target wrote nothing" "no" "$([ -e "$T/o.obj" ] && echo yes || echo no)"
run mirror "$T/two.obj" "$T/target.obj" swap "$T/o.obj"
check "mirror two groups rc" 1 "$rc"
check "mirror two groups wrote nothing" "no" "$([ -e "$T/o.obj" ] && echo yes || echo no)"

[ "$fails" -eq 0 ] && echo "special_vcm_mirror: all passed"
exit $((fails > 0))
