#!/usr/bin/env bash
# vortel-cli drop: the JSON line, the exported file, the generator seed, the
# controls as options, the refusals (exit 1, nothing written) and usage errors.
source "$(dirname "$0")/common.bash" "$1"
exists() { [ -e "$1" ] && echo yes || echo no; }

printf 'v -100 0 -100\nv -100 0 100\nv 100 0 100\nv 100 0 -100\nf 1 2 3 4\n' > "$T/floor.obj"
printf 'v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nvt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\nf 1/1 2/2 3/3 4/4\n' > "$T/quad.obj"

# Fixed places and sizes: every one of the 10 x 10 lines lands on the floor.
run drop "$T/floor.obj" "$T/quad.obj" "$T/out.obj" --fixed-size --fixed-location --size 99
check "json" '{"lines":100,"hits":100,"vertices":400,"faces":100}' "$out"
check "rc" 0 "$rc"
check "seed box" "[progress] SEED LOAD OK (V=4)" "$(echo "$err" | grep 'SEED LOAD OK')"
check "comment" "# Convert by TOLK" "$(head -n 1 "$T/out.obj")"
check "v lines" 400 "$(grep -c '^v ' "$T/out.obj")"
check "vt lines" "$(printf 'vt 0.000000 0.000000\nvt 1.000000 0.000000\nvt 1.000000 1.000000\nvt 0.000000 1.000000')" \
  "$(grep '^vt ' "$T/out.obj")"
check "first face" "f 1/1 2/2 3/3 4/4" "$(grep '^f ' "$T/out.obj" | head -n 1)"
check "last face" "f 397/1 398/2 399/3 400/4" "$(grep '^f ' "$T/out.obj" | tail -n 1)"
check "lines" 505 "$(wc -l < "$T/out.obj")"
# In the mesh's units: the first copy is centred on the first line, x = -90 and
# z = -90 (the box is 200 wide), and at Size 99 it is 0.7 / 3 display units
# (200 / 0.7 mesh units each) across: 66.67.
check "units centre" "-90.000 -90.000" "$(sed -n 2,5p "$T/out.obj" | awk '{x += $2; z += $4} END {printf "%.3f %.3f", x / 4, z / 4}')"
check "units size" "66.667" "$(sed -n 2,3p "$T/out.obj" | awk 'NR == 1 {a = $2} NR == 2 {printf "%.3f", $2 - a}')"

# The generator seed makes random drops repeatable.
run drop "$T/floor.obj" "$T/quad.obj" "$T/a.obj" --time 42 --n 20
check "random rc" 0 "$rc"
run drop "$T/floor.obj" "$T/quad.obj" "$T/b.obj" --time 42 --n 20
check "same seed" "$(md5sum < "$T/a.obj")" "$(md5sum < "$T/b.obj")"
run drop "$T/floor.obj" "$T/quad.obj" "$T/c.obj" --time 43 --n 20
check "other seed" yes "$([ "$(md5sum < "$T/a.obj")" != "$(md5sum < "$T/c.obj")" ] && echo yes || echo no)"

# Presets from the home folder.
for p in F C S; do
  run drop "$T/floor.obj" "$p" "$T/preset_$p.obj" --time 1
  check "preset $p" 0 "$rc"
done

# Refusals: exit 1 and OUT not written.
run drop "$T/floor.obj" "$T/quad.obj" "$T/front.obj" --front
check "front rc (floor parallel to the lines)" 1 "$rc"
check "front out" no "$(exists "$T/front.obj")"
awk 'BEGIN { for (i = 0; i < 100; i++) printf "v %d %d 0\n", i, i % 3; print "f 1 2 3" }' > "$T/seed100.obj"
run drop "$T/floor.obj" "$T/seed100.obj" "$T/n37.obj" --n 37
check "n 37 refused" 1 "$rc"
check "n 37 out" no "$(exists "$T/n37.obj")"
run drop "$T/floor.obj" "$T/seed100.obj" "$T/n36.obj" --n 36 --fixed-location
check "n 36 json" '{"lines":1296,"hits":1296,"vertices":129600,"faces":1296}' "$out"
run drop "$T/missing.obj" "$T/quad.obj" "$T/x.obj"
check "missing mesh" 1 "$rc"
run drop "$T/floor.obj" "$T/missing.obj" "$T/x.obj"
check "missing seed" 1 "$rc"
check "missing seed box" "[VORTEL] SEED OPEN ERROR" "$(echo "$err" | tail -n 1)"
printf '# nothing\n' > "$T/empty.obj"
run drop "$T/floor.obj" "$T/empty.obj" "$T/x.obj"
check "empty seed" 1 "$rc"
check "no out" no "$(exists "$T/x.obj")"

# Usage errors.
for bad in "--n 9" "--n 41" "--n x" "--size 0" "--size 100" "--time -1" "--time 4294967296" "--bogus" "--n"; do
  run drop "$T/floor.obj" "$T/quad.obj" "$T/u.obj" $bad
  check "usage $bad" 2 "$rc"
done
run drop "$T/floor.obj" "$T/quad.obj"
check "usage two args" 2 "$rc"

[ "$fails" -eq 0 ] || exit 1
echo "drop: all checks passed"
