# Sourced by the Windows scripts: a wine prefix of the caller's own, quiet and without the
# Mono/Gecko prompts, that finds the Qt and mingw DLLs for programs run in the build tree.
# Needs $qt (the Windows Qt prefix) and $1 the prefix folder; starts the wineserver and keeps it
# up (otherwise the first program of a run stalls while it starts).
wine_env() {
    local prefix=$1 fresh=${2:-}
    export WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEPREFIX=$prefix
    local dirs=("$qt/bin" /usr/lib/gcc/x86_64-w64-mingw32/12-posix /usr/x86_64-w64-mingw32/lib)
    local path="" d
    for d in "${dirs[@]}"; do path+="Z:${d//\//\\};"; done
    export WINEPATH=$path
    if [ -n "$fresh" ]; then
        wineserver -k 2>/dev/null || true
        rm -rf "$prefix"
    fi
    mkdir -p "$prefix"
    # Fails when this prefix's server runs already, which is as good. It keeps none of the
    # caller's output open: whoever reads that would wait for the server to end.
    wineserver -p >/dev/null 2>&1 </dev/null || true
    if [ ! -f "$prefix/system.reg" ]; then
        wineboot -i >/dev/null 2>&1
        # wine drops QT_* variables of the Unix environment: the test logs reach the terminal
        # through the prefix's own environment instead.
        wine reg add 'HKCU\Environment' /v QT_FORCE_STDERR_LOGGING /t REG_SZ /d 1 /f >/dev/null 2>&1
    fi
}
