#!/usr/bin/env bash
# vortel-cli cr2 and split: the group list's two direct exports. The JSON
# lines, the boxes, the exit statuses and the files are contracts.
source "$(dirname "$0")/common.bash" "$1"

printf 'v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 2 0 0\nv 2 1 0\ng a\nf 1 2 3 4\ng b/c\r\nf 2 5 6 3\n' > "$T/two.obj"
printf 'v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 2 0 0\nv 2.5 1 0\n' > "$T/smile.obj"

# cr2: the file beside the morph target, one actor block per moved group.
run cr2 "$T/two.obj" "$T/smile.obj"
check "cr2 rc" 0 "$rc"
check "cr2 json" "{\"file\":\"$T/smile.obj.cr2\",\"actors\":1}" "$out"
check "cr2 boxes" "$(printf '[progress] NOW LOADING...\n[progress] MT NOW LOADING...\n[progress] MT LOAD OK (V=6)')" "$err"
check "cr2 actor" "actor b/c:1" "$(sed -n 3p "$T/smile.obj.cr2")"
check "cr2 counts and delta" "$(printf '\t\t\tindexes 1\n\t\t\tnumbDeltas 4\n\t\t\tdeltas\n\t\t\t\t\t{\n\t\t\t\t\td 3 0.500000 0.000000 0.000000')" "$(sed -n 22,26p "$T/smile.obj.cr2")"
check "cr2 ends" "$(printf '\t}\n}')" "$(tail -2 "$T/smile.obj.cr2")"

printf 'v 0 0 0\n' > "$T/short.obj"
run cr2 "$T/two.obj" "$T/short.obj"
check "cr2 no morph rc" 1 "$rc"
check "cr2 no morph stdout" "" "$out"
check "cr2 no morph box" "[VORTEL] NO MORPH TERGET! VORTEL CAN'T EXPORT .CR2" "$(tail -1 "$T/err")"
check "cr2 no morph file" "no" "$([ -e "$T/short.obj.cr2" ] && echo yes || echo no)"
mkdir "$T/blocked.obj.cr2"
cp "$T/smile.obj" "$T/blocked.obj"
run cr2 "$T/two.obj" "$T/blocked.obj"
check "cr2 unwritable rc" 1 "$rc"
check "cr2 unwritable box" "[VORTEL] CR2 WRITE ERR:$T/blocked.obj.cr2" "$(tail -1 "$T/err")"
run cr2 "$T/missing.obj" "$T/smile.obj"
check "cr2 failed load rc" 1 "$rc"

# split: one file per shown group in the time-stamped folder, as save --direct writes it.
run split "$T/two.obj"
check "split rc" 0 "$rc"
stamp="$(printf '%s' "$out" | sed -nE 's/^\{"folder":"[^"]*two\.obj([0-9]{14})".*/\1/p')"
check "split json" "{\"folder\":\"$T/two.obj$stamp\",\"files\":[\"$T/two.obj$stamp/two_a.obj\",\"$T/two.obj$stamp/two_b c.obj\"]}" "$out"
check "split boxes" "[progress] NOW LOADING..." "$err"
for g in 0 1; do
  "$CLI" save "$T/two.obj" "$T/direct$g.obj" --direct --groups $g 2>/dev/null
done
check "split group 0 file" "$(cat "$T/direct0.obj")" "$(cat "$T/two.obj$stamp/two_a.obj")"
check "split group 1 file" "$(cat "$T/direct1.obj")" "$(cat "$T/two.obj$stamp/two_b c.obj")"
rm -rf "$T/two.obj$stamp"

run split "$T/two.obj" --groups 1,9
stamp="$(printf '%s' "$out" | sed -nE 's/^\{"folder":"[^"]*two\.obj([0-9]{14})".*/\1/p')"
check "split --groups json" "{\"folder\":\"$T/two.obj$stamp\",\"files\":[\"$T/two.obj$stamp/two_b c.obj\"]}" "$out"
check "split --groups folder" "two_b c.obj" "$(ls "$T/two.obj$stamp")"
rm -rf "$T/two.obj$stamp"

run split "$T/two.obj" --groups 5
check "split nothing shown rc" 1 "$rc"
check "split nothing shown stdout" "" "$out"
check "split nothing shown folder" "" "$(ls -d "$T"/two.obj2* 2>/dev/null)"
run split "$T/missing.obj"
check "split failed load rc" 1 "$rc"

for args in "cr2" "cr2 a" "cr2 a b c" "split" "split a b" "split a --groups" "split a --groups x" "split a --bogus"; do
  # shellcheck disable=SC2086
  "$CLI" $args >/dev/null 2>&1; rc=$?
  check "usage '$args'" 2 "$rc"
done
exit $((fails > 0))
