#!/usr/bin/env bash
# An installed VORTEL run by a user who is not root and did not build it:
# `cmake --install` into a scratch prefix, then the installed vortel-cli on an
# installed sample. Settings and work files go to the user's data folder, the
# presets are copied there on first start, and nothing is written into the prefix.
BUILD="$1"
GUI="$2"
source "$(dirname "$0")/common.bash"

PREFIX="$T/prefix"
cmake --install "$BUILD" --prefix "$PREFIX" >"$T/install.log" 2>&1 || { cat "$T/install.log"; fail "install"; finish; }
if [ "$(id -u)" -ne 0 ]; then chmod -R a-w "$PREFIX"; fi

expected=(bin/vortel-cli share/vortel/manual.html share/vortel/preset/flat.obj share/vortel/preset/pyl.obj
  share/vortel/preset/shape.obj share/vortel/samples/figure.obj share/vortel/samples/props.pp2
  share/man/man1/vortel-cli.1)
desktop=(bin/vortel share/applications/vortel.desktop share/metainfo/org.vortel.vortel.metainfo.xml
  share/mime/packages/vortel.xml share/icons/hicolor/16x16/apps/vortel.png share/icons/hicolor/256x256/apps/vortel.png)
if [ "$GUI" = 1 ]; then
  expected+=("${desktop[@]}")
else
  for f in "${desktop[@]}"; do [ ! -e "$PREFIX/$f" ] || fail "desktop file $f installed without the window program"; done
fi
for f in "${expected[@]}"; do [ -f "$PREFIX/$f" ] || fail "installed $f"; done
[ -x "$PREFIX/bin/vortel-cli" ] || fail "vortel-cli executable"
before="$(snapshot "$PREFIX")"

CLI="$PREFIX/bin/vortel-cli"
SAMPLE="$PREFIX/share/vortel/samples/figure.obj"

# First start with the default data folder.
H="$T/home"; user_home "$H"
out="$(as_user HOME="$H" -- "$CLI" info "$SAMPLE" 2>"$T/err")"; rc=$?
check "info rc" 0 "$rc"
case "$out" in '{"status":"NORMAL"'*) ;; *) fail "info output: $out $(cat "$T/err")";; esac
D="$H/.local/share/vortel"
[ -f "$D/VELTA.ini" ] || fail "VELTA.ini in the data folder"
[ -d "$D/work" ] || fail "work/ in the data folder"
grep -qx "name=$D/" "$D/VELTA.ini" 2>/dev/null || fail "Locate name is the data folder: $(cat "$D/VELTA.ini" 2>&1)"
for p in flat.obj pyl.obj shape.obj; do
  cmp -s "$PREFIX/share/vortel/preset/$p" "$D/preset/$p" || fail "preset $p copied"
done
check "data folder owner" "$USER_ID" "$(stat -c %u "$D/VELTA.ini" 2>/dev/null)"

# Later starts keep what the user changed: hand edits and a removed preset.
printf '[Excute]\nApplname=/usr/bin/true\n' >>"$D/VELTA.ini"
rm -f "$D/preset/pyl.obj"
as_user HOME="$H" -- "$CLI" info "$SAMPLE" >/dev/null 2>&1
grep -qx "Applname=/usr/bin/true" "$D/VELTA.ini" || fail "hand edit kept"
[ ! -e "$D/preset/pyl.obj" ] || fail "removed preset not copied again"

# XDG_DATA_HOME names the data folder; a relative one is ignored.
X="$T/xdg"; user_home "$X"
as_user HOME="$H" XDG_DATA_HOME="$X" -- "$CLI" info "$SAMPLE" >/dev/null 2>&1
[ -f "$X/vortel/VELTA.ini" ] && [ -f "$X/vortel/preset/shape.obj" ] || fail "XDG_DATA_HOME data folder"
H2="$T/home2"; user_home "$H2"
(cd "$T" && as_user HOME="$H2" XDG_DATA_HOME=relative -- "$CLI" info "$SAMPLE" >/dev/null 2>&1)
[ -f "$H2/.local/share/vortel/VELTA.ini" ] || fail "relative XDG_DATA_HOME ignored"

# VORTEL_HOME still names the home folder outright.
V="$T/vhome"; user_home "$V"
as_user HOME="$H" VORTEL_HOME="$V" -- "$CLI" info "$SAMPLE" >/dev/null 2>&1
[ -f "$V/VELTA.ini" ] || fail "VORTEL_HOME folder used"

# Root may write the prefix but does not turn it into a home folder either.
if [ "$(id -u)" -eq 0 ]; then
  R="$T/roothome"; mkdir -p "$R"
  env -i PATH=/usr/bin:/bin HOME="$R" "$CLI" info "$SAMPLE" >/dev/null 2>&1
  [ -f "$R/.local/share/vortel/VELTA.ini" ] || fail "root's data folder"
fi

check "prefix unchanged" "$before" "$(snapshot "$PREFIX")"
finish
