#!/usr/bin/env bash
# Installs the built program into a fresh prefix (with a blank in its path) and checks the
# portable program folder: files, permissions, and a desktop entry that names that folder.
set -euo pipefail
build=${1:?build folder}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
prefix="$tmp/My Apps"
cmake --install "$build" --prefix "$prefix" >"$tmp/install.log"
folder="$prefix/Tavrel"

fail() {
    echo "FAIL: $*" >&2
    exit 1
}
for f in tavrel Tavrel.wav Saved.wav tavrel.png tavrel.desktop; do
    [ -f "$folder/$f" ] || fail "$f not installed"
done
[ -x "$folder/tavrel" ] || fail "tavrel not executable"
cmp -s "$folder/Tavrel.wav" "$build/bin/Tavrel.wav" || fail "Tavrel.wav differs"
cmp -s "$folder/Saved.wav" "$build/bin/Saved.wav" || fail "Saved.wav differs"
[ "$(head -c 8 "$folder/tavrel.png" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] ||
    fail "tavrel.png is not a PNG"
extra=$(find "$folder" -mindepth 1 | grep -v -e '/tavrel$' -e '/Tavrel.wav$' -e '/Saved.wav$' \
    -e '/tavrel.png$' -e '/tavrel.desktop$' || true)
[ -z "$extra" ] || fail "unexpected files: $extra"

entry=$folder/tavrel.desktop
expect() {
    grep -qxF -- "$1" "$entry" || {
        sed 's/^/  /' "$entry" >&2
        fail "desktop entry lacks: $1"
    }
}
expect '[Desktop Entry]'
expect 'Type=Application'
expect 'Name=Tavrel'
expect "Exec=\"$folder/tavrel\""
expect "Path=$folder"
expect "Icon=$folder/tavrel.png"
expect 'Categories=Utility;'
! grep -q '@' "$entry" || fail "placeholder left in the desktop entry"
desktop-file-validate "$entry" || fail "desktop-file-validate"

# Launched as a desktop launches it (the menu, or a copy in ~/.config/autostart/ at login), from
# anywhere, the program runs in its own folder, where it finds the messages by their bare names.
(cd / && QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$tmp" XDG_CONFIG_HOME="$tmp/config" \
    gio launch "$entry") >/dev/null 2>&1 &
pid=""
for _ in $(seq 100); do
    pid=$(pgrep -xf "$folder/tavrel" || true)
    [ -n "$pid" ] && break
    sleep 0.1
done
[ -n "$pid" ] || fail "the desktop entry did not start the program"
cwd=$(readlink "/proc/$pid/cwd")
kill "$pid"
[ "$cwd" = "$folder" ] || fail "started in '$cwd', not in its folder"

# DESTDIR stages the files without changing the paths written into the entry.
DESTDIR="$tmp/stage" cmake --install "$build" --prefix /opt/apps >/dev/null
grep -qxF 'Path=/opt/apps/Tavrel' "$tmp/stage/opt/apps/Tavrel/tavrel.desktop" ||
    fail "DESTDIR leaked into the desktop entry"
# Exec quotes the path: '$' and '"' are escaped there (the backslash itself doubled as in any
# string value) and '%' is doubled; Path and Icon keep the characters as they are.
odd="$tmp/odd \$x\"%1"
cmake --install "$build" --prefix "$odd" >/dev/null
entry=$odd/Tavrel/tavrel.desktop
expect "Exec=\"$tmp/odd \\\\\$x\\\\\"%%1/Tavrel/tavrel\""
expect "Path=$odd/Tavrel"
echo PASS
