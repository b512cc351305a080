# Sourced by the test and main-job scripts: a fresh Wine prefix and an X display.
#   kv_wine_prefix DIR   make DIR a fresh prefix (copy of a booted template)
#   kv_start_display     start Xvfb unless DISPLAY already works
#   kv_wine_stop         stop the prefix's wineserver and what was started here
#   kv_shots_to_png DIR  the BMP screenshots under DIR as opaque PNG files
KV_ROOT=${KV_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES='winemenubuilder.exe=d;mscoree=d;mshtml=d'
export WINEARCH=win64

# Wine's own fonts (Tahoma, the Marlett symbols of the caption buttons, MS Sans Serif), which
# Debian's Wine installs (package fonts-wine) but does not look for where they are.
KV_WINE_FONTS=${KV_WINE_FONTS:-/usr/share/wine/fonts}

# The settings of every test prefix, written into $WINEPREFIX after its boot.
kv_wine_settings() {
  # Without a window manager, closing windows stalls unless Wine manages them itself.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
  # A program that crashes ends after its backtrace instead of waiting behind the crash
  # dialog, so that a test that crashes fails instead of hanging until its time runs out.
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1 || true
  # Fonts as on Windows: Wine's own in the Windows font folder, and the metric-compatible
  # Liberation faces (package fonts-liberation) for the faces Windows has and Wine has not.
  if [ -f "$KV_WINE_FONTS/tahoma.ttf" ]; then
    cp "$KV_WINE_FONTS"/* "$WINEPREFIX/drive_c/windows/Fonts/"
  else
    echo "Wine's fonts are not in $KV_WINE_FONTS (package fonts-wine): windows will be drawn in other faces" >&2
  fi
  printf '%s\r\n' 'REGEDIT4' '' '[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]' \
    '"Times New Roman"="Liberation Serif"' '"Arial"="Liberation Sans"' '"Courier New"="Liberation Mono"' \
    >"$WINEPREFIX/drive_c/fonts.reg"
  wine reg import 'C:\fonts.reg' >/dev/null 2>&1 || true
  rm -f "$WINEPREFIX/drive_c/fonts.reg"
}
# A template is booted again when these settings change.
kv_wine_settings_mark() { echo ".settings-$(declare -f kv_wine_settings | md5sum | cut -c1-12)"; }

kv_wine_template() {
  local tpl=$KV_ROOT/build/wine-template
  if [ ! -f "$tpl/$(kv_wine_settings_mark)" ]; then
    rm -rf "$tpl"
    mkdir -p "$tpl/dosdevices" "$tpl/drive_c"
    # With c: made before the boot, Wine never maps z: to the Linux root, so
    # drive searches see only C:.
    ln -s ../drive_c "$tpl/dosdevices/c:"
    WINEPREFIX=$tpl wineboot -i >/dev/null 2>&1 || true
    WINEPREFIX=$tpl kv_wine_settings
    WINEPREFIX=$tpl wineserver -w || true
    rm -f "$tpl/dosdevices/z:"
    touch "$tpl/$(kv_wine_settings_mark)"
  fi
  echo "$tpl"
}

kv_wine_prefix() {
  local dir=$1 tpl
  tpl=$(kv_wine_template)
  rm -rf "$dir"
  cp -a "$tpl" "$dir"
  rm -f "$dir/dosdevices/z:"
  export WINEPREFIX=$dir
}

# kv_small_drive DIR [LETTER SIZE]: a drive D: of exactly 1.5 MB free in $WINEPREFIX, for the
# disk-space warning and free-space counts below any cap, or drive LETTER of SIZE (tmpfs
# sizes: 3m, 1536k) (a tmpfs mounted at DIR: run as root).
kv_small_drive() {
  local letter=${2:-d} size=${3:-1536k}
  mkdir -p "$1"
  mountpoint -q "$1" && umount "$1"
  if ! mount -t tmpfs -o "size=$size" tmpfs "$1"; then
    echo "cannot mount the $size drive $letter: at $1 (run as root)" >&2
    return 1
  fi
  ln -sfn "$1" "$WINEPREFIX/dosdevices/$letter:"
}

KV_STARTED_XVFB=""
kv_start_display() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then return 0; fi
  local n
  for n in $(seq 90 120); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
      Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
      KV_STARTED_XVFB=$!
      export DISPLAY=":$n"
      for _ in $(seq 1 50); do xdpyinfo >/dev/null 2>&1 && return 0; sleep 0.1; done
      echo "Xvfb did not start on :$n" >&2
      return 1
    fi
  done
  echo "no free X display number" >&2
  return 1
}

kv_wine_stop() {
  [ -n "${WINEPREFIX:-}" ] && wineserver -k >/dev/null 2>&1 || true
  [ -n "$KV_STARTED_XVFB" ] && kill "$KV_STARTED_XVFB" 2>/dev/null || true
}

# The screenshots are 32-bit BMP files as Windows writes them: the fourth byte of each pixel
# is unused (0). Read as an alpha channel it would make the PNG wholly transparent, so it is
# dropped; a PNG that still has an alpha channel is an error.
kv_shots_to_png() {
  local dir=$1 bad
  find "$dir" -name '*.bmp' -exec mogrify -alpha off -format png {} + || return 1
  find "$dir" -name '*.bmp' -delete
  bad=$(find "$dir" -name '*.png' -exec identify -format '%A %i\n' {} + | grep -v '^False ' || true)
  [ -z "$bad" ] || { echo "screenshots with an alpha channel: $bad" >&2; return 1; }
}
