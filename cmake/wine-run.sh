#!/bin/sh
# Runs a Windows program under the project's own Wine prefix (64-bit Wine only).
# The prefix is made once, under a lock, with the fonts and settings the
# program and its tests expect.
set -e
here=$(cd "$(dirname "$0")" && pwd)
: "${WINEPREFIX:=$here/../build/wineprefix}"
export WINEPREFIX
export WINEDEBUG=-all
# Sound goes to ALSA only (never straight to a sound server), and there to a
# device that discards the samples: tests play real files on machines without
# a sound card, and nothing is heard. VM_AUDIO=device keeps the machine's own
# ALSA default device instead (to hear the program).
export WINEDLLOVERRIDES="mscoree,mshtml=;winepulse.drv="
if [ "${VM_AUDIO:-}" != device ]; then
  export ALSA_CONFIG_PATH="$here/alsa-discard.conf"
fi
WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
mkdir -p "$WINEPREFIX"
(
  flock 9
  if [ ! -f "$WINEPREFIX/.vm-ready" ]; then
    "$WINE" wineboot -i >/dev/null 2>&1 9>&- || true
    "$WINESERVER" -w
    fonts="$WINEPREFIX/drive_c/windows/Fonts"
    mkdir -p "$fonts"
    cp /usr/share/wine/fonts/* "$fonts/" 2>/dev/null || true
    cp /usr/share/fonts/truetype/liberation/*.ttf "$fonts/" 2>/dev/null || true
    "$WINE" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'Courier New' /d 'Liberation Mono' /f >/dev/null 2>&1 9>&-
    # No window manager runs under Xvfb: let Wine manage (and frame) its
    # windows itself, so showing and hiding never waits for one.
    "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 9>&-
    "$WINESERVER" -w
    touch "$WINEPREFIX/.vm-ready"
  fi
  # Keep the server up between test processes: each start is then cheap.
  # (Started without the lock's descriptor, or it would hold the lock.)
  "$WINESERVER" -p30 >/dev/null 2>&1 9>&- || true
  # Wine's own services start with the first program a server runs and keep
  # that program's standard handles until the server ends: start them here,
  # away from the caller's output, which a test runner reads to its end.
  "$WINE" cmd.exe /c exit >/dev/null 2>&1 </dev/null 9>&- || true
) 9>"$WINEPREFIX.lock"
exec "$WINE" "$@"
