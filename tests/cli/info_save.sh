#!/usr/bin/env bash
# vortel-cli info and save: the output formats and exit statuses are contracts.
source "$(dirname "$0")/common.bash" "$1"
SRC="$2"

# info: one JSON line, names byte for byte, exit 0 / 1.
printf 'v 0 0 0\nv 2 4 8\ng a\xe9"\\\r\nusemtl m\nf 1 2 1\nl 1 2\n' > "$T/names.obj"
out="$("$CLI" info "$T/names.obj" 2>"$T/err")"; rc=$?
check "info names" '{"status":"NORMAL","message":"READ SUCCESSFUL","vertices":2,"uvs":0,"faces":2,"corners":5,"groups":["a\u00e9\u0022\u005c\u000d\u000a"],"materials":["m\u000a"],"floating":0,"has_uv":0,"file_colours":0,"display_scale":0.0874999985,"display_centre":[1,2,4]}' "$out"
check "info rc" 0 "$rc"
check "info boxes" "[progress] NOW LOADING..." "$(cat "$T/err")"

out="$("$CLI" info "$T/missing.obj" 2>"$T/err")"; rc=$?
check "info missing rc" 1 "$rc"
check "info missing boxes" "$(printf '[progress] NOW LOADING...\n[progress] OPEN ERROR')" "$(cat "$T/err")"

printf 'v 1 2\n' > "$T/bad.obj"
"$CLI" info "$T/bad.obj" >/dev/null 2>"$T/err"; rc=$?
check "info bad rc" 1 "$rc"
check "info bad box" "[VEL] Vertex Num is Zero" "$(tail -1 "$T/err")"

printf 'prop a\nobjFileGeom 0 0 :Runtime:x.obj\n' > "$T/ext.pp2"
"$CLI" info "$T/ext.pp2" >/dev/null 2>"$T/err"
check "line feed in a box" '[VORTEL] 3D data is not included.\nLocation=/Runtime/x.obj' "$(grep VORTEL "$T/err")"

# save: dialog answers, groups, vertex only, direct mode, morph.
printf 'v 0 0 0\nv 1 0 0\nv 0 1 0\nv 5 5 5\ng a\nf 1 2 3\ng b\nf 2 3 4\n' > "$T/two.obj"
"$CLI" save "$T/two.obj" "$T/b.obj" --groups 1 2>/dev/null; rc=$?
check "save groups rc" 0 "$rc"
check "save groups bytes" "$(printf '# Convert by TOLK\nv 1.000000 0.000000 0.000000\nv 0.000000 1.000000 0.000000\nv 5.000000 5.000000 5.000000\ng b\n\nf 1 2 3')" "$(cat "$T/b.obj")"
"$CLI" save "$T/two.obj" "$T/v.obj" --vertex-only 2>/dev/null
check "save vertex only" 5 "$(wc -l < "$T/v.obj")"
"$CLI" save "$T/two.obj" "$T/d.obj" --direct --groups 0 2>/dev/null
check "save direct" "$(printf '# Convert by TOLK\nv 0.000000 0.000000 0.000000\nv 1.000000 0.000000 0.000000\nv 0.000000 1.000000 0.000000\ng a\n\nf 1 2 3')" "$(cat "$T/d.obj")"

printf 'v 1 1 1\nv 2 2 2\n' > "$T/float.obj"
"$CLI" save "$T/float.obj" "$T/f.obj" 2>/dev/null
check "all floating: forced vertex only" 3 "$(wc -l < "$T/f.obj")"
"$CLI" save "$T/float.obj" "$T/f2.obj" --direct 2>/dev/null
check "all floating direct: header only" "# Convert by TOLK" "$(cat "$T/f2.obj")"

printf 'v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n' > "$T/base.obj"
printf 'v 0 0 0\nv 3 0 0\nv 0 1 0\n' > "$T/target.obj"
"$CLI" save "$T/base.obj" "$T/m.obj" --morph "$T/target.obj" 2>/dev/null; rc=$?
check "save morph rc" 0 "$rc"
check "save morph writes the target" "v 3.000000 0.000000 0.000000" "$(sed -n 3p "$T/m.obj")"
printf 'v 0 0 0\n' > "$T/short.obj"
"$CLI" save "$T/base.obj" "$T/m2.obj" --morph "$T/short.obj" 2>/dev/null; rc=$?
check "save failed morph rc" 1 "$rc"
"$CLI" save "$T/missing.obj" "$T/x.obj" 2>/dev/null; rc=$?
check "save failed load rc" 1 "$rc"
"$CLI" save "$T/two.obj" "$T/none.obj" --groups 7 2>"$T/err"; rc=$?
check "save no selection rc" 1 "$rc"
check "save no selection message" "[SAVE OPTION] NO SELECTION. AT LEAST SELECT ONE." "$(tail -1 "$T/err")"
"$CLI" save "$T/two.obj" /nonexistent-dir/x.obj --direct 2>"$T/err"; rc=$?
check "save unwritable rc" 1 "$rc"
check "save unwritable box" "[progress] WRITE ERR/nonexistent-dir/x.obj" "$(tail -1 "$T/err")"

# usage errors
for args in "" "info" "info a b" "save a" "save a b --groups" "save a b --groups x" "save a b --bogus" "nosuch"; do
  # shellcheck disable=SC2086
  "$CLI" $args >/dev/null 2>&1; rc=$?
  check "usage '$args'" 2 "$rc"
done

# the bundled samples load
for f in figure.obj figure_mt.obj parts.obj hair.obj props.pp2; do
  "$CLI" info "$SRC/data/samples/$f" >/dev/null 2>&1; rc=$?
  check "sample $f" 0 "$rc"
done
exit $((fails > 0))
