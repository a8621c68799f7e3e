#!/usr/bin/env bash
# vortel-cli hair and collide: the output formats and exit statuses are contracts.
source "$(dirname "$0")/common.bash" "$1"
SRC="$2"

# hair: the strip builder, then Export > "HAIR" to OUT. The model's centre is (1, 1, 1):
# each strip's outer edge lies 1 % farther from it.
printf 'v 0 0 0\nv 1 0 0\nv 1 1 0\nv 2 2 2\nf 1 2 4\nl 1 2 3\n' > "$T/lines.obj"
run hair "$T/lines.obj" "$T/strips.obj"
check "hair json" '{"strands":2,"vertices":8}' "$out"
check "hair rc" 0 "$rc"
check "hair boxes" "$(printf '[progress] NOW LOADING...\n[VORTEL] 2')" "$err"
check "hair file" "$(printf '# Convert by TOLK\nv 0.000000 0.000000 0.000000\nv 1.000000 0.000000 0.000000\nv 1.000000 -0.010000 -0.010000\nv -0.010000 -0.010000 -0.010000\nv 1.000000 0.000000 0.000000\nv 1.000000 1.000000 0.000000\nv 1.000000 1.000000 -0.010000\nv 1.000000 -0.010000 -0.010000\nf 1 2 3 4\nf 5 6 7 8')" "$(cat "$T/strips.obj")"

# --collect: 0 is CLOSE (nothing changes), 9999 RESET, anything else DONE.
run hair "$T/lines.obj" "$T/close.obj" --collect 0
check "collect 0" '{"strands":2,"vertices":8}' "$out"
check "collect 0 file" "$(cat "$T/strips.obj")" "$(cat "$T/close.obj")"
run hair "$T/lines.obj" "$T/done.obj" --collect -7
check "collect done" '{"strands":2,"vertices":3}' "$out"
check "collect done rc" 0 "$rc"
check "collect done file" "$(printf '# Convert by TOLK\nv 0.000000 0.000000 0.000000\nv 1.000000 0.000000 0.000000\nv 1.000000 1.000000 0.000000')" "$(cat "$T/done.obj")"
check "collect done box" "[HAIR] 2 OF 2 HAIR FACES NOT WRITTEN: THEIR POINTS ARE GONE" "$(tail -1 "$T/err")"
run hair "$T/lines.obj" "$T/reset.obj" --collect 9999
check "collect reset" '{"strands":2,"vertices":0}' "$out"
check "collect reset file" "# Convert by TOLK" "$(cat "$T/reset.obj")"

# No strand, a failed load or an export that cannot be written: exit 1, OUT not written.
printf 'v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n' > "$T/plain.obj"
run hair "$T/plain.obj" "$T/none.obj"
check "no strand json" '{"strands":0,"vertices":0}' "$out"
check "no strand rc" 1 "$rc"
check "no strand file" "no" "$([ -e "$T/none.obj" ] && echo yes || echo no)"
run hair "$T/missing.obj" "$T/x.obj"
check "hair missing rc" 1 "$rc"
check "hair missing json" "" "$out"
run hair "$T/lines.obj" /nonexistent-dir/x.obj
check "hair unwritable rc" 1 "$rc"
check "hair unwritable box" "[HAIR] READ SUCCESSFUL" "$(tail -1 "$T/err")"

# collide: a cloth triangle, two of its corners inside a box, then Save As (direct, all groups).
printf 'v 0 0.5 0\nv 0.2 -0.8 0.1\nv 0.5 3 0.5\nv -1 -1 -1\nv 1 -1 -1\nv 1 1 -1\nv -1 1 -1\nv -1 -1 1\nv 1 -1 1\nv 1 1 1\nv -1 1 1\ng cloth\nf 1 2 3\ng box\nf 4 5 9 8\nf 7 11 10 6\nf 4 7 6 5\nf 8 9 10 11\nf 4 8 11 7\nf 5 6 10 9\n' > "$T/box.obj"
run collide "$T/box.obj" "$T/collided.obj"
check "collide json" '{"processed":3,"collided":2}' "$out"
check "collide rc" 0 "$rc"
check "collide moved" "$(printf 'v 0.000000 1.000000 0.000000\nv 0.200000 -1.000000 0.100000\nv 0.550000 3.200000 0.550000')" "$(sed -n 2,4p "$T/collided.obj")"
check "collide box kept" "v -1.000000 -1.000000 -1.000000" "$(sed -n 5p "$T/collided.obj")"

# Fewer than two groups: nothing moves, OUT is the mesh as Save As writes it.
run collide "$T/plain.obj" "$T/same.obj"
check "one group json" '{"processed":0,"collided":0}' "$out"
check "one group rc" 0 "$rc"
"$CLI" save "$T/plain.obj" "$T/saved.obj" --direct 2>/dev/null
check "one group file" "$(cat "$T/saved.obj")" "$(cat "$T/same.obj")"
run collide "$T/missing.obj" "$T/x.obj"
check "collide missing rc" 1 "$rc"
run collide "$T/box.obj" /nonexistent-dir/x.obj
check "collide unwritable rc" 1 "$rc"

for args in "hair" "hair a" "hair a b c" "hair a b --collect" "hair a b --collect x" "hair a b --collect 1.5" "hair a b --bogus 1" "collide" "collide a" "collide a b c"; do
  # shellcheck disable=SC2086
  "$CLI" $args >/dev/null 2>&1; rc=$?
  check "usage '$args'" 2 "$rc"
done
exit $((fails > 0))
