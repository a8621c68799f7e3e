#!/usr/bin/env bash
# vortel-cli --help and --version, and the manual page made from them: every
# command of the program's table is in the help text, the usage lines of a
# usage error and the manual page.
CLI="$1"
MAN="$2"
source "$(dirname "$0")/common.bash"

help="$("$CLI" --help)"; rc=$?
check "--help rc" 0 "$rc"
version="$("$CLI" --version)"; rc=$?
check "--version rc" 0 "$rc"
case "$version" in "vortel-cli (VORTEL) "[0-9]*) ;; *) fail "--version: $version";; esac

"$CLI" >/dev/null 2>"$T/usage"; rc=$?
check "no command rc" 2 "$rc"
usages="$(sed -n 's/^  vortel-cli //p' "$T/usage")"
[ -n "$usages" ] || fail "usage lines"
[ -f "$MAN" ] || { fail "manual page $MAN"; finish; }
# The page as text: roff's escaped hyphens and font changes taken out.
page="$(sed -e 's/\\-/-/g' -e 's/\\f[BIRP]//g' "$MAN")"
while IFS= read -r u; do
  grep -qxF "  $u" <<<"$help" || fail "help lists: $u"
  grep -qF "$u" <<<"$page" || fail "manual page lists: $u"
done <<<"$usages"
grep -qF "${version#vortel-cli (VORTEL) }" <<<"$page" || fail "manual page version"
grep -q '^\.SH NAME' "$MAN" || fail "manual page NAME section"
finish
