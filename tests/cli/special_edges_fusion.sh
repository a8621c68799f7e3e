#!/usr/bin/env bash
# vortel-cli edges, fuse and restore: the JSON line, the cut, the welded and
# restored meshes, the map file, the kept map file and the exit codes.
source "$(dirname "$0")/common.bash" "$1"
exists() { [ -e "$1" ] && echo yes || echo no; }

cat > "$T/cube.obj" <<'OBJ'
v -1 -1 -1
v 1 -1 -1
v 1 1 -1
v -1 1 -1
v -1 -1 1
v 1 -1 1
v 1 1 1
v -1 1 1
f 1 4 3 2
f 5 6 7 8
f 1 2 6 5
f 2 3 7 6
f 3 4 8 7
f 4 1 5 8
OBJ
cube_lines='[[1,2,2],[2,3,3],[3,4,4],[1,4,5],[5,6,2],[6,7,3],[7,8,4],[5,8,5],[2,6,3],[1,5,5],[3,7,4],[4,8,5]]'
run edges "$T/cube.obj" 8
check "edges json" "{\"hits\":12,\"lines\":$cube_lines}" "$out"
check "edges rc" 0 "$rc"
check "edges box" "[VORTEL] HIT LINE NUM = [12]" "$(echo "$err" | tail -n 1)"
run edges "$T/cube.obj" 12
check "edges slider 12" '{"hits":0,"lines":[]}' "$out"
run edges "$T/cube.obj" 8 "$T/cut.obj"
check "edges cut rc" 0 "$rc"
check "edges cut json" "{\"hits\":12,\"lines\":$cube_lines}" "$out"
check "edges cut vertices" 24 "$(grep -c '^v ' "$T/cut.obj")"
check "edges cut faces" "$(printf 'f 1 4 3 2\nf 5 6 7 8\nf 9 10 17 18\nf 11 12 19 20\nf 13 14 21 22\nf 15 16 23 24')" \
  "$(grep '^f ' "$T/cut.obj")"
check "edges cut copies" "v -1.000000 -1.000000 -1.000000" "$(sed -n 10p "$T/cut.obj")"
run edges "$T/cube.obj" 13; check "edges angle 13" 2 "$rc"
run edges "$T/cube.obj" x; check "edges angle x" 2 "$rc"
run edges "$T/cube.obj"; check "edges usage" 2 "$rc"
run edges "$T/missing.obj" 8; check "edges missing" 1 "$rc"

printf 'v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 1 0 0\nv 2 0 0\nv 2 1 0\nv 1 1 0\ng a\nf 1 2 3 4\ng b\nf 5 6 7 8\n' > "$T/two.obj"
run fuse "$T/two.obj" "$T/map.vcm" "$T/fused.obj"
check "fuse rc" 0 "$rc"
check "fuse box" "[VORTEL] OK. GENERATE VCM TABLE. PLEASE SAVE FUSION 3D OBJ DATA." "$(echo "$err" | tail -n 1)"
check "fuse mesh" "$(printf '# Convert by TOLK\nv 0.000000 0.000000 0.000000\nv 1.000000 0.000000 0.000000\nv 1.000000 1.000000 0.000000\nv 0.000000 1.000000 0.000000\nv 2.000000 0.000000 0.000000\nv 2.000000 1.000000 0.000000\ng FUSIONDATA\nf 1 2 3 4\nf 2 5 6 3')" \
  "$(cat "$T/fused.obj")"
# The map file after its 27-byte date: V F G, names, face groups, corners, "HERE", the vertex map.
check "map date" 1 "$(head -c 27 "$T/map.vcm" | tr '\0' '\n' | grep -cE '^\[[A-Z][a-z]{2} [A-Z][a-z]{2} [ 123][0-9] [0-9]{2}:[0-9]{2}:[0-9]{2} [0-9]{4}\]$')"
check "map body" "08 00 00 00 02 00 00 00 02 00 00 00 61 0a 00 62 0a 00 00 00 00 00 01 00 00 00 01 00 00 00 02 00 00 00 03 00 00 00 04 00 00 00 05 00 00 00 06 00 00 00 07 00 00 00 08 00 00 00 48 45 52 45 00 00 00 00 00 01 00 00 00 02 00 00 00 03 00 00 00 01 00 00 00 04 00 00 00 05 00 00 00 02 00 00 00" \
  "$(tail -c +28 "$T/map.vcm" | od -An -v -tx1 | tr -s ' \n' ' ' | sed 's/^ //; s/ $//')"

run restore "$T/fused.obj" "$T/map.vcm" "$T/back.obj"
check "restore rc" 0 "$rc"
check "restore mesh" "$(printf '# Convert by TOLK\nv 0.000000 0.000000 0.000000\nv 1.000000 0.000000 0.000000\nv 1.000000 1.000000 0.000000\nv 0.000000 1.000000 0.000000\nv 1.000000 0.000000 0.000000\nv 2.000000 0.000000 0.000000\nv 2.000000 1.000000 0.000000\nv 1.000000 1.000000 0.000000\ng a\n\nf 1 2 3 4\ng b\n\nf 5 6 7 8')" \
  "$(cat "$T/back.obj")"
check "restore question" "[VORTEL] VCM INFORMATION.\\n CREATE DATE = $(head -c 26 "$T/map.vcm")\\n\\n  Vertex = 8\\n  Face   = 2\\n  Group  = 2\\n\\n\\nContinue??" \
  "$(echo "$err" | tail -n 1)"

# Refusals: exit 1, nothing written, the previous map file kept.
cp "$T/map.vcm" "$T/kept.vcm"
printf 'v 0 0 0\nv 1 0 0\nv 1 1 0\nv 9 9 9\nf 1 2 3\n' > "$T/floating.obj"
run fuse "$T/floating.obj" "$T/kept.vcm" "$T/none.obj"
check "fuse floating rc" 1 "$rc"
check "fuse floating box" "[VORTEL] NG! TERGET OBJ HAS SOME FLOATING POINTS." "$(echo "$err" | tail -n 1)"
check "fuse floating keeps map" "" "$(cmp "$T/map.vcm" "$T/kept.vcm" 2>&1)"
check "fuse floating wrote nothing" no "$(exists "$T/none.obj")"
run fuse "$T/two.obj" "$T/nofolder/map.vcm" "$T/none.obj"
check "fuse no folder rc" 1 "$rc"
check "fuse no folder box" "[VORTEL] WK I/O ERROR" "$(echo "$err" | tail -n 1)"
run restore "$T/fused.obj" "$T/missing.vcm" "$T/none.obj"
check "restore missing rc" 1 "$rc"
check "restore missing box" "[VORTEL] WK I/O ERROR" "$(echo "$err" | tail -n 1)"
run restore "$T/two.obj" "$T/map.vcm" "$T/none.obj"
check "restore two groups rc" 1 "$rc"
check "restore two groups box" "[VORTEL] NG! VCM TABLE <-> TERGET OBJ UNMATCH." "$(echo "$err" | tail -n 1)"
head -c 60 "$T/map.vcm" > "$T/cut.vcm"
run restore "$T/fused.obj" "$T/cut.vcm" "$T/none.obj"
check "restore truncated rc" 1 "$rc"
check "restore truncated box" "[VORTEL] NG! VCM TABLE SYNTAX ERROR. PLEASE REMAKE IT." "$(echo "$err" | tail -n 1)"
check "restore refused wrote nothing" no "$(exists "$T/none.obj")"
run fuse "$T/two.obj" "$T/map.vcm"; check "fuse usage" 2 "$rc"
run restore "$T/two.obj"; check "restore usage" 2 "$rc"

[ "$fails" -eq 0 ] && echo "special_edges_fusion: all passed"
exit $((fails > 0))
