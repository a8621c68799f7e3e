# Shared by the install checks (sourced): a scratch folder T that a normal
# user can enter, check/fail counting, and as_user to run a program as a user
# who is not root.
set -u
T="$(mktemp -d)"
chmod 755 "$T"
cleanup() { chmod -R u+w "$T" 2>/dev/null; rm -rf "$T"; }
trap cleanup EXIT
fails=0
fail() { echo "FAIL $*"; fails=$((fails + 1)); }
check() {  # name expected actual
  if [ "$2" != "$3" ]; then
    echo "FAIL $1"; echo "  expected: $2"; echo "  actual:   $3"; fails=$((fails + 1))
  fi
}
finish() {
  if [ "$fails" -ne 0 ]; then echo "$fails check(s) failed"; exit 1; fi
  echo "all checks passed"
}

# The user the installed program runs as: nobody when we are root, else ourselves.
if [ "$(id -u)" -eq 0 ]; then
  USER_ID=65534; GROUP_ID=65534
else
  USER_ID="$(id -u)"; GROUP_ID="$(id -g)"
fi

# A home folder for that user.
user_home() {  # path
  mkdir -p "$1"
  if [ "$(id -u)" -eq 0 ]; then chown "$USER_ID:$GROUP_ID" "$1"; fi
}

# as_user VAR=VALUE... -- PROGRAM ARGS...: runs PROGRAM as the normal user in a
# clean environment holding only the given variables (and PATH).
as_user() {
  local vars=()
  while [ "$1" != "--" ]; do vars+=("$1"); shift; done
  shift
  if [ "$(id -u)" -eq 0 ]; then
    setpriv --reuid="$USER_ID" --regid="$GROUP_ID" --clear-groups \
      env -i PATH=/usr/bin:/bin "${vars[@]}" "$@"
  else
    env -i PATH=/usr/bin:/bin "${vars[@]}" "$@"
  fi
}

# Every file and folder under a tree with its kind, size, mode and change time.
snapshot() { find "$1" -printf '%P %y %s %m %C@\n' | sort; }
