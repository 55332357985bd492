# SPDX-License-Identifier: MIT
# shellcheck shell=bash
# Sourced by the Windows scripts: one Wine prefix per build folder and one
# persistent wineserver, so each program started under Wine costs milliseconds
# instead of seconds.
#   wine_session_start PREFIX   creates or updates the prefix and starts the server
#   wine_session_stop           ends the server and every Wine process of the prefix

export WINEDEBUG=-all
# No .NET or browser engine prompts in a fresh prefix.
export WINEDLLOVERRIDES="mscoree,mshtml="
# The C runtime under Wine does not know Olson names and would fall back to +0000.
unset TZ
WINE64=/usr/lib/wine/wine64

wine_session_start()
{
    export WINEPREFIX=$1
    mkdir -p "$WINEPREFIX"
    "$WINE64" wineboot -i </dev/null >/dev/null 2>&1
    /usr/lib/wine/wineserver -w
    /usr/lib/wine/wineserver -p
    # Starts Wine's system processes now, with no stream of ours: a pipe they
    # inherited from the caller would never close.
    "$WINE64" cmd /c exit </dev/null >/dev/null 2>&1
}

wine_session_stop()
{
    /usr/lib/wine/wineserver -k 2>/dev/null || true
    /usr/lib/wine/wineserver -w 2>/dev/null || true
}
