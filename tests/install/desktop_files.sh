#!/usr/bin/env bash
# The desktop entry, the AppStream metadata, the file types and the icons.
SRC="$1"
source "$(dirname "$0")/common.bash"
D="$SRC/dist"

desktop-file-validate "$D/vortel.desktop" || fail "desktop-file-validate"
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$D/org.vortel.vortel.metainfo.xml" >"$T/as.log" 2>&1 || { cat "$T/as.log"; fail "appstreamcli validate"; }
fi

# The entry opens .obj, .pp2 and .hr2 files: every type it lists is known, from
# the shared database (model/obj) or from VORTEL's own definitions, with its pattern.
mkdir -p "$T/mime/packages"
cp "$D/vortel-mime.xml" "$T/mime/packages/"
update-mime-database "$T/mime" >/dev/null 2>&1 || fail "update-mime-database"
types="$(sed -n 's/^MimeType=//p' "$D/vortel.desktop" | tr ';' '\n' | sed '/^$/d')"
check "MIME types" "model/obj application/x-poser-prop application/x-poser-hair" "$(echo $types)"
for pair in /usr/share/mime/globs2:model/obj:obj "$T/mime/globs2:application/x-poser-prop:pp2" \
            "$T/mime/globs2:application/x-poser-hair:hr2"; do
  IFS=: read -r globs type ext <<<"$pair"
  grep -q ":$type:\*\.$ext$" "$globs" || fail "pattern *.$ext for $type in $globs"
done

# Icons at the usual sizes, each drawn at its size.
for s in 16 22 24 32 48 64 128 256; do
  f="$SRC/gui/resources/hicolor/${s}x${s}/apps/vortel.png"
  case "$(file -b "$f")" in "PNG image data, $s x $s,"*) ;; *) fail "icon $s: $(file -b "$f")";; esac
done
finish
