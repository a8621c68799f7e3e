#!/usr/bin/env bash
# `cpack -G DEB` builds the package: its dependencies come from dpkg-shlibdeps,
# it holds the programs, the shared files and the desktop files under /usr, and
# its vortel-cli, unpacked, works for a normal user.
BUILD="$1"
GUI="$2"
source "$(dirname "$0")/common.bash"

(cd "$T" && cpack -G DEB --config "$BUILD/CPackConfig.cmake" -B "$T/out") >"$T/cpack.log" 2>&1 \
  || { cat "$T/cpack.log"; fail "cpack"; finish; }
deb="$(ls "$T"/out/vortel_*.deb 2>/dev/null | head -1)"
[ -n "$deb" ] || { cat "$T/cpack.log"; fail "no package built"; finish; }

depends="$(dpkg-deb -f "$deb" Depends)"
needed=(libc6 libstdc++6)
[ "$GUI" = 1 ] && needed+=(libqt6widgets6 libqt6openglwidgets6 libglu1-mesa qt6-qpa-plugins)
names="$(sed -e 's/ *([^)]*)//g' -e 's/ *| */\n/g' -e 's/, */\n/g' <<<"$depends")"
for p in "${needed[@]}"; do
  grep -qxF "$p" <<<"$names" || fail "Depends lacks $p: $depends"
done
check "Package" vortel "$(dpkg-deb -f "$deb" Package)"

contents="$(dpkg-deb -c "$deb" | awk '{print $6}')"
files=(./usr/bin/vortel-cli ./usr/share/vortel/preset/flat.obj ./usr/share/vortel/samples/figure.obj
  ./usr/share/man/man1/vortel-cli.1)
[ "$GUI" = 1 ] && files+=(./usr/bin/vortel ./usr/share/applications/vortel.desktop
  ./usr/share/icons/hicolor/48x48/apps/vortel.png ./usr/share/metainfo/org.vortel.vortel.metainfo.xml)
for f in "${files[@]}"; do grep -qxF "$f" <<<"$contents" || fail "package holds $f"; done

# Unpacked as dpkg would lay it out, the program runs for a normal user.
dpkg-deb -x "$deb" "$T/root"
H="$T/home"; user_home "$H"
out="$(as_user HOME="$H" -- "$T/root/usr/bin/vortel-cli" info "$T/root/usr/share/vortel/samples/props.pp2" 2>"$T/err")"
case "$out" in '{"status":"NORMAL"'*) ;; *) fail "unpacked vortel-cli info: $out $(cat "$T/err")";; esac
[ -f "$H/.local/share/vortel/VELTA.ini" ] || fail "unpacked program's data folder"
finish
