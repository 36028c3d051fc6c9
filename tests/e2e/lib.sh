# Shared helpers for the end-to-end tests of the real program: a virtual X display with a tray
# host, a private program folder, and polling waits with bounded timeouts.
# Each test script sources this file and calls e2e_setup first.
set -euo pipefail

E2E_BIN=${E2E_BIN:?E2E_BIN must name the built program folder}
E2E_SHOTS=${E2E_SHOTS:?E2E_SHOTS must name a folder for screenshots}
E2E_NAME=$(basename "$0" .sh)
E2E_SOURCE=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
case ${E2E_DESKTOP:-} in gnome | kde) E2E_NAME=$E2E_NAME-$E2E_DESKTOP ;; esac
E2E_PIDS=()

fail() {
    echo "FAIL: $*" >&2
    [ -s "${E2E_TMP:-/nonexistent}/tavrel.log" ] && sed 's/^/tavrel: /' "$E2E_TMP/tavrel.log" >&2
    [ -s "${E2E_TMP:-/nonexistent}/panel.log" ] && sed 's/^/panel: /' "$E2E_TMP/panel.log" >&2
    local log
    for log in desktop kded; do
        [ -s "${E2E_TMP:-/nonexistent}/$log.log" ] && tail -n 30 "$E2E_TMP/$log.log" |
            sed "s/^/$log: /" >&2
    done
    shot "failure" || true
    exit 1
}

cleanup() {
    local pid
    # Continued as well: a process a test stopped (a hanging tray) would never take the signal.
    for pid in "${E2E_PIDS[@]}"; do kill "$pid" 2>/dev/null && kill -CONT "$pid" 2>/dev/null || true; done
    for pid in "${E2E_PIDS[@]}"; do wait "$pid" 2>/dev/null || true; done
    [ -n "${E2E_WINE:-}" ] && [ -n "${WINEPREFIX:-}" ] && { wineserver -k 2>/dev/null || true; }
    [ -n "${E2E_TMP:-}" ] && rm -rf "$E2E_TMP"
}

# The sanitizers slow the program several times over: limits on how long it may take grow.
export E2E_SLOW=1
[ -n "${ASAN_OPTIONS:-}" ] && E2E_SLOW=3
# So does wine's start-up on a busy machine.
[ -n "${E2E_WINE:-}" ] && E2E_SLOW=4

# Polls `cmd...` every 0.1 s until it succeeds or `secs` pass (times E2E_SLOW, as every wait
# below).
wait_for() {
    local secs=$(($1 * E2E_SLOW))
    shift
    local end=$((SECONDS + secs))
    until "$@" >/dev/null 2>&1; do
        [ $SECONDS -lt $end ] || return 1
        sleep 0.1
    done
}

e2e_setup() {
    # The X servers' socket folder: a fresh machine may not have it yet, and an Xwayland started
    # by a compositor as the desktop user cannot make it.
    [ -d /tmp/.X11-unix ] || { mkdir -p /tmp/.X11-unix && chmod 1777 /tmp/.X11-unix; } 2>/dev/null || true
    case ${E2E_DESKTOP:-bare} in gnome | kde) as_desktop_user ;; esac
    E2E_TMP=$(mktemp -d)
    trap cleanup EXIT
    mkdir -p "$E2E_SHOTS" "$E2E_TMP/folder" "$E2E_TMP/config" "$E2E_TMP/runtime"
    chmod 700 "$E2E_TMP/runtime"
    if [ -n "${E2E_WINE:-}" ]; then
        # The portable folder for Windows: tavrel.exe with its DLLs and plugins.
        cp -r "$E2E_BIN"/. "$E2E_TMP/folder/"
    else
        cp "$E2E_BIN"/tavrel "$E2E_BIN"/Tavrel.wav "$E2E_BIN"/Saved.wav "$E2E_TMP/folder/"
    fi
    FOLDER=$E2E_TMP/folder
    export XDG_CONFIG_HOME=$E2E_TMP/config XDG_RUNTIME_DIR=$E2E_TMP/runtime
    export QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8 TZ=UTC
    # The program's own locale: day/month/year dates as in the message files below.
    E2E_LOCALE=${E2E_LOCALE:-en_GB.UTF-8}
    unset WAYLAND_DISPLAY
    case ${E2E_DESKTOP:-bare} in
    gnome | kde)
        start_wayland_desktop
        return
        ;;
    esac

    # A free display number, derived from the test so that parallel tests do not collide.
    local n=$((100 + $(cksum <<<"$E2E_NAME" | cut -d' ' -f1) % 400))
    while [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ]; do n=$((n + 1)); done
    export DISPLAY=:$n
    Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 &
    E2E_PIDS+=($!)
    wait_for 10 xdpyinfo || fail "Xvfb did not start"
    case ${E2E_DESKTOP:-bare} in
    bare)
        if [ "${E2E_TRAY:-1}" = 1 ]; then start_trayer; fi
        ;;
    xembed | sni) start_desktop ;;
    *) fail "unknown desktop '$E2E_DESKTOP'" ;;
    esac
}

start_trayer() {
    trayer --edge top --align right --widthtype request --height 32 >/dev/null 2>&1 &
    E2E_PIDS+=($!)
    TRAYER_PID=$!
    wait_for 10 xdotool search --class trayer || fail "trayer did not start"
}

# A desktop as people run it: its own D-Bus session, the accessibility bus, openbox, and a
# notification area: xfce4-panel's (a StatusNotifierItem host, as on KDE Plasma and on GNOME
# with the AppIndicator extension) for "sni", trayer (XEmbed) for "xembed".
start_desktop() {
    start_session_bus
    start_accessibility
    openbox >/dev/null 2>&1 &
    E2E_PIDS+=($!)
    wait_for 10 xprop -root _NET_SUPPORTING_WM_CHECK || fail "openbox did not start"
    if [ "$E2E_DESKTOP" = xembed ]; then
        start_trayer
        return
    fi
    # A panel that comes up after the program, as at a slow login, is started by the test.
    [ "${E2E_PANEL:-now}" = later ] || start_xfce_panel
}

start_session_bus() {
    local address pid
    { read -r address && read -r pid; } < <(dbus-daemon --session --fork --print-address=1 \
        --print-pid=1)
    export DBUS_SESSION_BUS_ADDRESS=$address
    E2E_PIDS+=("$pid")
}

start_accessibility() {
    /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
    E2E_PIDS+=($!)
    wait_for 10 dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
        org.a11y.Bus.GetAddress || fail "the accessibility bus did not start"
    # Its registry comes up on first use; a toolkit that finds it missing waits half a minute.
    wait_for 10 /usr/bin/python3 -c 'import pyatspi; pyatspi.Registry.getDesktop(0).childCount' ||
        fail "the accessibility registry did not start"
}

start_xfce_panel() {
    local xml=$XDG_CONFIG_HOME/xfce4/xfconf/xfce-perchannel-xml
    mkdir -p "$xml"
    cat >"$xml/xfce4-panel.xml" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<channel name="xfce4-panel" version="1.0">
  <property name="configver" type="int" value="2"/>
  <property name="panels" type="array">
    <value type="int" value="1"/>
    <property name="panel-1" type="empty">
      <property name="position" type="string" value="p=6;x=0;y=0"/>
      <property name="length" type="uint" value="100"/>
      <property name="position-locked" type="bool" value="true"/>
      <property name="size" type="uint" value="32"/>
      <property name="plugin-ids" type="array">
        <value type="int" value="1"/>
      </property>
    </property>
  </property>
  <property name="plugins" type="empty">
    <property name="plugin-1" type="string" value="systray"/>
  </property>
</channel>
XML
    local xfconfd
    xfconfd=$(ls /usr/lib/*/xfce4/xfconf/xfconfd | head -n1)
    "$xfconfd" >/dev/null 2>&1 &
    E2E_PIDS+=($!)
    # Now and then the panel comes up unmapped, its plugin waiting on an embedding that never
    # completes; a second start shows it.
    local attempt panel
    for attempt in 1 2 3; do
        xfce4-panel --disable-wm-check >"$E2E_TMP/panel.log" 2>&1 &
        panel=$!
        E2E_PIDS+=("$panel")
        wait_for 8 xdotool search --onlyvisible --name '^xfce4-panel$' && break
        # Its plugin runs in a process of its own, holding the notification area's names.
        pkill -P "$panel" 2>/dev/null || true
        kill "$panel" 2>/dev/null || true
        wait "$panel" 2>/dev/null || true
    done
    wait_for 15 sni_host_up || fail "xfce4-panel's notification area did not start"
}

# A StatusNotifierItem host has registered with the session's watcher.
sni_host_up() {
    dbus-send --session --print-reply --dest=org.kde.StatusNotifierWatcher \
        /StatusNotifierWatcher org.freedesktop.DBus.Properties.Get \
        string:org.kde.StatusNotifierWatcher string:IsStatusNotifierHostRegistered 2>/dev/null |
        grep -q 'boolean true'
}

# Reads the program through the accessibility bus (see atspi.py); fails when it cannot.
atspi() { /usr/bin/python3 "$(dirname "${BASH_SOURCE[0]}")/atspi.py" "$@"; }

# Starts the program from `dir` (default: its folder) at the fake time `when` ("YYYY-MM-DD
# hh:mm:ss", from which the clock runs on). libfaketime is preloaded directly: the faketime
# wrapper names a semaphore after its own process id and refuses to start when a killed earlier
# wrapper of the same id left one behind.
E2E_FAKETIME_LIB=$(dpkg -L libfaketime 2>/dev/null | grep -m1 '/libfaketime\.so\.1$' || true)
start_tavrel() {
    local when=$1 dir=${2:-$FOLDER}
    [ -n "$E2E_FAKETIME_LIB" ] || fail "libfaketime is not installed"
    # Through env: the shell itself never switches to a locale the system may not have.
    (cd "$dir" && exec env LC_ALL="$E2E_LOCALE" FAKETIME="@$when" FAKETIME_DONT_FAKE_MONOTONIC=1 \
        QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 \
        LD_PRELOAD="$E2E_FAKETIME_LIB" "$FOLDER/${E2E_PROGRAM:-tavrel}") \
        >"$E2E_TMP/tavrel.log" 2>&1 &
    TAVREL_PID=$!
    E2E_PIDS+=("$TAVREL_PID")
}

running() { kill -0 "${1:-$TAVREL_PID}" 2>/dev/null; }

# Waits for a window whose title is exactly `title`; prints its id.
window_id() { { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null || true; } | head -n1; }
wait_window() {
    local title=$1 secs=$((${2:-15} * E2E_SLOW))
    local end=$((SECONDS + secs)) id=""
    while [ -z "$id" ] && [ $SECONDS -le $end ]; do
        id=$(window_id "$title")
        [ -n "$id" ] || sleep 0.1
    done
    [ -n "$id" ] || fail "no window titled '$title' within ${secs}s"
    echo "$id"
}
wait_gone() {
    local title=$1 secs=$((${2:-15} * E2E_SLOW))
    local end=$((SECONDS + secs))
    while [ -n "$(window_id "$title")" ]; do
        [ $SECONDS -lt $end ] || fail "window '$title' still there after ${secs}s"
        sleep 0.1
    done
}
wait_exit() {
    local pid=${1:-$TAVREL_PID} secs=$((${2:-15} * E2E_SLOW))
    local end=$((SECONDS + secs))
    while running "$pid"; do
        [ $SECONDS -lt $end ] || fail "process $pid still running after ${secs}s"
        sleep 0.1
    done
}

# Sends keys to a window (no window manager: focus it directly).
keys() {
    local id=$1
    shift
    xdotool windowfocus --sync "$id" 2>/dev/null || true
    xdotool key --clearmodifiers "$@"
}

# Answers a reminder (a due message, a timed one, the missed question): it takes no input for its
# first second, so a key typed elsewhere cannot close it unseen.
reminder_keys() {
    sleep 1.1
    keys "$@"
}

shot() {
    case ${E2E_DESKTOP:-bare} in
    gnome | kde) atspi shot "$E2E_SHOTS/$E2E_NAME-$1.png" >/dev/null 2>&1 ;;
    *) import -window root "$E2E_SHOTS/$E2E_NAME-$1.png" 2>/dev/null ;;
    esac
}

# A message file as the program writes it.
message_file() {
    local name=$1 final=$2 text=$3 days=${4:-0} prior=${5:-$2} start=${6:-12:00:00 am} end=${7:-12:00:00 am}
    printf '"%s","%s","%s","%s","%s","%s"\r\n' "$final" "$text" "$days" "$prior" "$start" "$end" \
        >"$FOLDER/$name.tvr"
}

# The tray icon: under a StatusNotifierItem host, the host's button for it; under XEmbed, the
# program's window embedded in the tray host's panel. Prints "x y" of its centre once it shows.
tray_icon_centre() {
    if [ "${E2E_DESKTOP:-bare}" = sni ]; then
        # The host draws the icon inside its own panel, alone on it: what stands out from the
        # panel's face (the panel's accessibility tree is not reliably complete).
        local x y w h
        read -r x y w h < <(import -window root -crop 1024x30+0+1 +repage png:- 2>/dev/null |
            convert - -fuzz 10% -trim -format '%X %Y %w %h\n' info: 2>/dev/null) || return 1
        [ "${w:-1}" -gt 8 ] || return 1
        echo "$((x + w / 2)) $((y + 1 + h / 2))"
        return 0
    fi
    local w
    for w in $(xdotool search --classname '^tavrel$' 2>/dev/null); do
        eval "$(xdotool getwindowgeometry --shell "$w" 2>/dev/null)" || continue
        # The panel sits at the top edge; the icon is a small window inside it. While the tray
        # embeds it, the icon's window can still stand off the screen's left edge.
        if [ "${X:--1}" -ge 0 ] && [ "${Y:-99}" -ge 0 ] && [ "${Y:-99}" -lt 32 ] &&
            [ "${WIDTH:-0}" -le 40 ] && [ "${WIDTH:-0}" -gt 4 ]; then
            echo "$((X + WIDTH / 2)) $((Y + HEIGHT / 2))"
            return 0
        fi
    done
    return 1
}
wait_tray_icon() {
    local secs=$((${1:-15} * E2E_SLOW)) pos=""
    local end=$((SECONDS + secs))
    until pos=$(tray_icon_centre); do
        [ $SECONDS -lt $end ] || fail "no tray icon within ${secs}s"
        sleep 0.1
    done
    echo "$pos"
}
# Clicks closer together than the toolkit's double-click interval (400 ms) form one gesture: a
# press that completes a right double-click is not reported as a second right click. Separate
# gestures are kept apart by the pause of a person's hand; clicks meant as one call `clicked`.
E2E_LAST_CLICK=0
clicked() { E2E_LAST_CLICK=$(date +%s%3N); }
apart() {
    local rest=$((E2E_LAST_CLICK + 500 - $(date +%s%3N)))
    if [ "$rest" -gt 0 ]; then sleep "0.$(printf %03d "$rest")"; fi
}
tray_click() {
    local pos
    pos=$(wait_tray_icon)
    apart
    # shellcheck disable=SC2086
    xdotool mousemove $pos
    case $1 in
    # What a person does to open the program: a StatusNotifierItem host activates it on a
    # single click, an XEmbed icon takes a double-click.
    activate) if [ "${E2E_DESKTOP:-bare}" = sni ]; then xdotool click 1; else
        xdotool click --repeat 2 --delay 80 1; fi ;;
    double) xdotool click --repeat 2 --delay 80 1 ;;
    right) xdotool click 3 ;;
    left) xdotool click 1 ;;
    esac
    clicked
}
# The popup menu: a visible override-redirect window of the program that is not the icon; under
# a StatusNotifierItem host, the host's own window drawing the program's menu.
menu_open() {
    local w class='^tavrel$'
    [ "${E2E_DESKTOP:-bare}" = sni ] && class='^wrapper-2.0$'
    for w in $(xdotool search --onlyvisible --classname "$class" 2>/dev/null); do
        eval "$(xdotool getwindowgeometry --shell "$w" 2>/dev/null)" || continue
        # Four items and three separators: wider and taller than the icon, smaller than a window.
        [ "${HEIGHT:-0}" -gt 60 ] && [ "${HEIGHT:-0}" -lt 200 ] && [ "${WIDTH:-0}" -gt 60 ] &&
            [ "${WIDTH:-0}" -lt 400 ] || continue
        # A box of that size is managed by the window manager; a menu is not.
        xwininfo -id "$w" -all 2>/dev/null | grep -q 'Override Redirect State: yes' && return 0
    done
    return 1
}

# The program's settings as it keeps them off Windows, written before it starts: name=value pairs.
settings() {
    local dir=$XDG_CONFIG_HOME/Kestrane pair
    mkdir -p "$dir"
    {
        echo '[HKEY_CURRENT_USER]'
        echo 'Software\Kestrane\Tavrel\Keys=HKEY_CURRENT_USER/Software/Kestrane/Tavrel'
        for pair in "$@"; do echo "Software\\Kestrane\\Tavrel\\$pair"; done
    } >"$dir/Tavrel.ini"
}

# Number of visible windows titled exactly `title`.
window_count() { { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null || true; } | wc -l; }

# "x y width height" of a window on the screen (xdotool counts a window manager's frame twice).
geometry() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF}
        /^ *Width:/ {w = $NF} /^ *Height:/ {h = $NF} END {print x, y, w, h}'
}

menu_closed() { ! menu_open; }

# Succeeds when the popup menu stays closed for `secs` seconds (a bounded wait for an absence).
menu_stays_closed() {
    local end=$((SECONDS + ${1:-2}))
    while [ $SECONDS -lt $end ]; do
        ! menu_open || return 1
        sleep 0.1
    done
}

# Every icon event queued before this call has been handled once the menu it opens is seen; the
# menu is closed again afterwards. Used to observe that earlier events did nothing.
sync_with_menu() {
    tray_click right
    wait_for 10 menu_open || fail "popup menu did not open"
    xdotool key Escape
    wait_for 10 menu_closed || fail "popup menu did not close"
}

# Milliseconds since the epoch.
now_ms() { date +%s%3N; }

# ---- A wall clock that jumps while the program runs ------------------------------------------
# start_tavrel_jumpable "YYYY-MM-DD hh:mm:ss": as start_tavrel, but the fake time is read from a
# file (again every second) that jump_clock rewrites; the steady clock runs on untouched, as
# through a suspend or a change of the clock.
start_tavrel_jumpable() {
    local when=$1
    [ -n "$E2E_FAKETIME_LIB" ] || fail "libfaketime is not installed"
    E2E_CLOCK_FILE=$E2E_TMP/faketime
    echo "@$when" >"$E2E_CLOCK_FILE"
    (cd "$FOLDER" && exec env -u FAKETIME LC_ALL="$E2E_LOCALE" \
        FAKETIME_TIMESTAMP_FILE="$E2E_CLOCK_FILE" FAKETIME_CACHE_DURATION=1 \
        FAKETIME_DONT_FAKE_MONOTONIC=1 DONT_FAKE_MONOTONIC=1 QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 \
        LD_PRELOAD="$E2E_FAKETIME_LIB" "$FOLDER/${E2E_PROGRAM:-tavrel}") \
        >"$E2E_TMP/tavrel.log" 2>&1 &
    TAVREL_PID=$!
    E2E_PIDS+=("$TAVREL_PID")
}
# Moves the program's wall clock to "YYYY-MM-DD hh:mm:ss" (the file is replaced whole).
jump_clock() {
    echo "@$1" >"$E2E_CLOCK_FILE.new"
    mv "$E2E_CLOCK_FILE.new" "$E2E_CLOCK_FILE"
}

# ---- Wayland desktops, headless: GNOME Shell with its AppIndicator extension (E2E_DESKTOP=gnome)
# and KDE Plasma, kwin_wayland with kded5 and plasmashell (E2E_DESKTOP=kde). Each runs in its own
# D-Bus session with a sound server whose null output is recorded. The program runs natively
# (use_platform wayland) or through XWayland (use_platform xcb); it is read through the
# accessibility bus and driven over D-Bus as the tray host drives it.

# The desktops refuse root: started as root, the script runs again as a user made for the tests,
# from a staged copy of what it needs (the clone and the build may lie where that user cannot
# read); its screenshots and any sanitizer reports are copied back afterwards.
E2E_USER=tavrel-e2e
as_desktop_user() {
    [ "$(id -u)" = 0 ] || return 0
    (
        flock 9
        id "$E2E_USER" >/dev/null 2>&1 || useradd -m "$E2E_USER"
    ) 9>/tmp/tavrel-e2e-user.lock || { echo "FAIL: cannot add the user $E2E_USER" >&2; exit 1; }
    local stage script status=0 options=() name value reports=""
    stage=$(mktemp -d)
    chmod 755 "$stage"
    script=$(realpath "$0")
    mkdir -p "$stage/bin" "$stage/tests/e2e" "$stage/resources" "$stage/shots" "$stage/reports" \
        "$stage/$(dirname "${script#"$E2E_SOURCE"/}")"
    cp "$E2E_BIN"/tavrel "$E2E_BIN"/Tavrel.wav "$E2E_BIN"/Saved.wav "$stage/bin/"
    cp "$E2E_SOURCE"/tests/e2e/*.sh "$E2E_SOURCE"/tests/e2e/*.py "$E2E_SOURCE"/tests/lsan.supp \
        "$stage/tests/e2e/"
    cp "$E2E_SOURCE"/resources/tavrel.desktop "$E2E_SOURCE"/resources/tavrel-64.png \
        "$stage/resources/"
    cp "$script" "$stage/${script#"$E2E_SOURCE"/}"
    chown "$E2E_USER" "$stage/shots" "$stage/reports"
    # The sanitizers' settings go along, writing their reports and reading their suppressions
    # inside the stage.
    for name in ASAN_OPTIONS UBSAN_OPTIONS LSAN_OPTIONS; do
        value=${!name:-}
        if [[ $value =~ log_path=([^:]*) ]]; then
            reports=$(dirname "${BASH_REMATCH[1]}")
            value=${value//$reports/$stage/reports}
        fi
        value=${value//$E2E_SOURCE\/tests\/lsan.supp/$stage/tests/e2e/lsan.supp}
        options+=("$name=$value")
    done
    runuser -u "$E2E_USER" -- env -i HOME="$(getent passwd "$E2E_USER" | cut -d: -f6)" \
        PATH="$PATH" LANG=C.UTF-8 E2E_BIN="$stage/bin" E2E_SHOTS="$stage/shots" \
        E2E_DESKTOP="$E2E_DESKTOP" "${options[@]}" bash "$stage/${script#"$E2E_SOURCE"/}" ||
        status=$?
    mkdir -p "$E2E_SHOTS"
    cp "$stage"/shots/* "$E2E_SHOTS/" 2>/dev/null || true
    [ -z "$reports" ] || cp "$stage"/reports/* "$reports/" 2>/dev/null || true
    rm -rf "$stage"
    exit "$status"
}

start_wayland_desktop() {
    # Nothing of an earlier run, nor of the other desktop's, is read or written.
    export HOME=$E2E_TMP/home XDG_DATA_HOME=$E2E_TMP/data XDG_CACHE_HOME=$E2E_TMP/cache
    mkdir -p "$HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME"
    E2E_WAYLAND=wayland-e2e
    # The program's desktop entry as installed: compositors name and draw its windows by it.
    mkdir -p "$XDG_DATA_HOME/applications"
    sed -e "s|@TAVREL_DESKTOP_EXEC@|$E2E_TMP/folder/tavrel|" \
        -e "s|@TAVREL_DESKTOP_PATH@|$E2E_TMP/folder|" \
        -e "s|@TAVREL_DESKTOP_ICON@|$E2E_SOURCE/resources/tavrel-64.png|" \
        "$E2E_SOURCE/resources/tavrel.desktop" >"$XDG_DATA_HOME/applications/tavrel.desktop"
    start_session_bus
    start_sound
    case $E2E_DESKTOP in
    gnome) start_gnome ;;
    kde) start_kwin ;;
    esac
    [ -n "${E2E_XDISPLAY:-}" ] || fail "no Xwayland display found"
    export DISPLAY=$E2E_XDISPLAY
    # Read on native windows only when the bus is started without WAYLAND_DISPLAY.
    start_accessibility
}

# The program's platform for the next start: wayland (natively) or xcb (through XWayland).
use_platform() {
    export QT_QPA_PLATFORM=$1
    if [ "$1" = wayland ]; then export WAYLAND_DISPLAY=$E2E_WAYLAND; else unset WAYLAND_DISPLAY; fi
}

# Desktop processes see the compositor; the program sees only what use_platform gave it.
on_desktop() {
    env WAYLAND_DISPLAY="$E2E_WAYLAND" DISPLAY="${E2E_XDISPLAY:-}" QT_QPA_PLATFORM=wayland "$@"
}

start_gnome() {
    dbus-daemon --config-file=/usr/share/dbus-1/session.conf --nofork \
        --address="unix:path=$XDG_RUNTIME_DIR/system_bus" >/dev/null 2>&1 &
    E2E_PIDS+=($!)
    # Without a system bus the shell aborts on the login manager.
    export DBUS_SYSTEM_BUS_ADDRESS=unix:path=$XDG_RUNTIME_DIR/system_bus
    wait_for 10 test -S "$XDG_RUNTIME_DIR/system_bus" || fail "the system bus did not start"
    # A notification area that comes later is the extension, switched on by the test.
    local extensions="['ubuntu-appindicators@ubuntu.com']"
    [ "${E2E_PANEL:-now}" = later ] && extensions="[]"
    gsettings set org.gnome.shell enabled-extensions "$extensions"
    gsettings set org.gnome.shell welcome-dialog-last-shown-version '999'
    # Its banners (no screen lock without a display manager) would cover the boxes.
    gsettings set org.gnome.desktop.notifications show-banners false
    gnome-shell --headless --wayland --virtual-monitor 1280x1024 \
        --wayland-display="$E2E_WAYLAND" >"$E2E_TMP/desktop.log" 2>&1 &
    E2E_PIDS+=($!)
    if [ "${E2E_PANEL:-now}" != later ]; then
        wait_for 30 sni_host_up || fail "GNOME Shell's AppIndicator host did not start"
    fi
    wait_for 30 grep -q 'Using public X11 display' "$E2E_TMP/desktop.log" ||
        fail "GNOME Shell started no Xwayland"
    E2E_XDISPLAY=$(sed -n 's/.*Using public X11 display \(:[0-9]*\).*/\1/p' "$E2E_TMP/desktop.log" |
        head -n1)
    local auth
    for auth in "$XDG_RUNTIME_DIR"/.mutter-Xwaylandauth.*; do export XAUTHORITY=$auth; done
    # It starts in the overview, where no window takes the focus; its start-up animation may
    # open it again after it was closed.
    wait_for 20 grep -q 'GNOME Shell started' "$E2E_TMP/desktop.log" || fail "GNOME Shell did not start"
    local closed=0 end=$((SECONDS + 15))
    while [ $closed -lt 3 ]; do
        [ $SECONDS -lt $end ] || fail "the overview did not close"
        if gdbus call --session -d org.gnome.Shell -o /org/gnome/Shell \
            -m org.freedesktop.DBus.Properties.Get org.gnome.Shell OverviewActive | grep -q false; then
            closed=$((closed + 1))
        else
            closed=0
            gdbus call --session -d org.gnome.Shell -o /org/gnome/Shell \
                -m org.freedesktop.DBus.Properties.Set org.gnome.Shell OverviewActive "<false>" \
                >/dev/null
        fi
        sleep 0.3
    done
}

start_kwin() {
    # The installed binary carries a file capability that unprivileged exec is refused; a copy
    # has none, and its name must still end in kwin_wayland.
    cp /usr/bin/kwin_wayland "$E2E_TMP/kwin_wayland"
    KWIN_SCREENSHOT_NO_PERMISSION_CHECKS=1 "$E2E_TMP/kwin_wayland" --virtual --width 1280 \
        --height 1024 --xwayland --no-lockscreen --socket "$E2E_WAYLAND" \
        "sh -c 'env > $E2E_TMP/kwin-env'" >"$E2E_TMP/desktop.log" 2>&1 &
    E2E_PIDS+=($!)
    wait_for 30 grep -q '^DISPLAY=' "$E2E_TMP/kwin-env" || fail "KWin did not start"
    E2E_XDISPLAY=$(sed -n 's/^DISPLAY=//p' "$E2E_TMP/kwin-env")
    export XAUTHORITY
    XAUTHORITY=$(sed -n 's/^XAUTHORITY=//p' "$E2E_TMP/kwin-env")
    on_desktop dbus-update-activation-environment WAYLAND_DISPLAY DISPLAY XAUTHORITY \
        QT_QPA_PLATFORM || fail "the session's environment was not updated"
    on_desktop kded5 >"$E2E_TMP/kded.log" 2>&1 &
    E2E_PIDS+=($!)
    on_desktop /usr/lib/x86_64-linux-gnu/libexec/kactivitymanagerd >/dev/null 2>&1 &
    E2E_PIDS+=($!)
    # Outside a Plasma login nothing asks kded5 for its later modules; the watcher is one. With a
    # panel that comes later, the watcher comes with it.
    wait_for 20 dbus-send --session --print-reply --dest=org.kde.kded5 /kded \
        org.freedesktop.DBus.Peer.Ping || fail "kded5 did not start"
    [ "${E2E_PANEL:-now}" = later ] && return
    start_plasma_watcher
    start_plasmashell
}

start_plasma_watcher() {
    dbus-send --session --print-reply --dest=org.kde.kded5 /kded org.kde.kded5.loadModule \
        string:statusnotifierwatcher >/dev/null || fail "kded5 did not load its watcher"
    wait_for 10 dbus-send --session --print-reply --dest=org.kde.StatusNotifierWatcher \
        /StatusNotifierWatcher org.freedesktop.DBus.Peer.Ping || fail "kded5's watcher did not start"
}

# plasmashell: the notification area of KDE Plasma.
start_plasmashell() {
    # Started itself, not through a function's subshell: the test may end it.
    WAYLAND_DISPLAY=$E2E_WAYLAND DISPLAY=$E2E_XDISPLAY QT_QPA_PLATFORM=wayland \
        plasmashell --no-respawn >"$E2E_TMP/panel.log" 2>&1 &
    PANEL_PID=$!
    E2E_PIDS+=("$PANEL_PID")
    # kded5's watcher reports a host from the start; plasmashell's own name says it is there.
    wait_for 40 plasma_host_up || fail "plasmashell's notification area did not start"
}
plasma_host_up() {
    dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.ListNames | grep -q org.kde.StatusNotifierHost-
}

# The desktop's notification area comes up (a test whose panel comes later starts it), or goes
# away again: on GNOME the AppIndicator extension is switched on or off, on KDE kded5 loads or
# unloads its watcher and plasmashell runs or ends.
start_host() {
    case $E2E_DESKTOP in
    gnome)
        gsettings set org.gnome.shell enabled-extensions "['ubuntu-appindicators@ubuntu.com']"
        wait_for 15 sni_host_up || fail "GNOME Shell's AppIndicator host did not start"
        ;;
    kde)
        start_plasma_watcher
        start_plasmashell
        ;;
    *) fail "no late host for '$E2E_DESKTOP'" ;;
    esac
}
stop_host() {
    case $E2E_DESKTOP in
    gnome)
        gsettings set org.gnome.shell enabled-extensions "[]"
        wait_for 15 eval '! sni_host_up' || fail "GNOME Shell's AppIndicator host did not stop"
        ;;
    kde)
        kill "$PANEL_PID"
        wait "$PANEL_PID" 2>/dev/null || true
        wait_for 15 eval '! plasma_host_up' || fail "plasmashell's notification area did not end"
        dbus-send --session --print-reply --dest=org.kde.kded5 /kded org.kde.kded5.unloadModule \
            string:statusnotifierwatcher >/dev/null || fail "kded5 did not unload its watcher"
        wait_for 10 eval '! dbus-send --session --print-reply --dest=org.kde.StatusNotifierWatcher \
            /StatusNotifierWatcher org.freedesktop.DBus.Peer.Ping' || fail "kded5's watcher stayed"
        ;;
    esac
}

# A PulseAudio server with one null output, whose monitor is recorded from now on (mono, 16 bit,
# 22,050 Hz) into $E2E_TMP/sound.raw; E2E_SOUND_T0 is the time of its first sample in ms.
start_sound() {
    pulseaudio -n --daemonize=no --exit-idle-time=-1 --load=module-native-protocol-unix \
        --load="module-null-sink sink_name=e2e" >"$E2E_TMP/pulse.log" 2>&1 &
    E2E_PIDS+=($!)
    wait_for 10 pactl info || fail "the sound server did not start"
    pactl set-default-sink e2e
    parec -d e2e.monitor --rate=22050 --channels=1 --format=s16le --latency-msec=20 \
        >"$E2E_TMP/sound.raw" 2>/dev/null &
    E2E_PIDS+=($!)
    wait_for 10 test -s "$E2E_TMP/sound.raw" || fail "the sound output is not recorded"
    E2E_SOUND_T0=$(($(now_ms) - $(stat -c %s "$E2E_TMP/sound.raw") * 1000 / 44100))
}

# When the cues were heard: "chime MS" for the onsets of Tavrel.wav, "bell MS" for the bell.
sounds_heard() { atspi sound "$E2E_TMP/sound.raw" "$E2E_SOUND_T0"; }

# Waits until the program's window or box titled `title` shows on the accessibility bus.
wait_shown() {
    local secs=${2:-15}
    wait_for "$secs" atspi frame "$1" || fail "no window '$1' within $((secs * E2E_SLOW))s"
}
shown() { atspi frame "$1" >/dev/null 2>&1; }
wait_hidden() {
    local end=$((SECONDS + ${2:-10}))
    while shown "$1"; do
        [ $SECONDS -lt $end ] || fail "window '$1' still shown"
        sleep 0.1
    done
}

# The tray host's own moves: activate the item, click an item of its menu.
sni_activate() { atspi sni-activate || fail "the icon cannot be activated"; }
sni_click() { atspi sni-click "$1" || fail "no menu item '$1'"; }
