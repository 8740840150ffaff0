# Sourced by the test and run scripts: a Wine environment of the build's own.
#   harness_arch        win32, win64 or none: which Wine this machine runs
#   harness_tree        the Windows build tree whose programs that Wine runs (win, win64)
#   harness_start DIR   fresh prefix DIR/prefix (copied from DIR/template),
#                       an Xvfb display, one wineserver kept alive for the run
#   harness_stop        stops the wineserver and the Xvfb started here
# Never touches the user's own prefix: WINEPREFIX always points under DIR.

# 32-bit Wine runs only where the kernel executes 32-bit x86 programs itself; some virtual
# machines switch that off (execve answers "Exec format error"). Through a user-mode
# emulator registered for them Wine does start, but far too slowly for the tests. There
# 64-bit Wine runs the 64-bit build of the same sources instead.
harness_runs_32bit() {
  local f
  for f in /proc/sys/fs/binfmt_misc/qemu-i386 /proc/sys/fs/binfmt_misc/qemu-i386-static; do
    [ -f "$f" ] && grep -qx enabled "$f" && return 1
  done
  /lib/ld-linux.so.2 --version >/dev/null 2>&1
}

harness_arch() {
  if harness_runs_32bit; then echo win32
  elif [ -x /usr/lib/wine/wine64 ]; then echo win64
  else echo none; fi
}

harness_tree() { [ "$(harness_arch)" = win64 ] && echo win64 || echo win; }

harness_can_run() { [ "$(harness_arch)" != none ]; }

harness_env() {
  HARNESS_ARCH=$(harness_arch)
  export WINEARCH=$HARNESS_ARCH WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  export HOME="$1/home" XDG_DATA_HOME="$1/home/.local/share" XDG_CONFIG_HOME="$1/home/.config"
  export XDG_CACHE_HOME="$1/home/.cache"
  mkdir -p "$HOME" "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME"
  if [ "$HARNESS_ARCH" = win64 ]; then
    # Debian's wine wrapper would start the 32-bit loader, which cannot run here.
    mkdir -p "$1/bin64"
    local w
    for w in wine wine-stable; do
      printf '#!/bin/sh\nexport WINELOADER=/usr/lib/wine/wine64\nexec /usr/lib/wine/wine64 "$@"\n' >"$1/bin64/$w"
      chmod +x "$1/bin64/$w"
    done
    case ":$PATH:" in *":$1/bin64:"*) ;; *) export PATH="$1/bin64:$PATH" ;; esac
  fi
}

harness_display() {
  local dir=$1
  local fifo="$dir/display.$$"
  rm -f "$fifo"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 </dev/null &
  HARNESS_XVFB_PID=$!
  local n=""
  for _ in $(seq 1 100); do
    n=$(head -n1 "$fifo" 2>/dev/null || true)
    [ -n "$n" ] && break
    sleep 0.1
  done
  rm -f "$fifo"
  [ -n "$n" ] || { echo "harness: Xvfb did not start" >&2; return 1; }
  export DISPLAY=":$n"
}

harness_start() {
  local dir
  if ! harness_can_run; then
    echo "harness: this machine runs neither 32-bit Wine nor 64-bit Wine" >&2
    return 1
  fi
  dir=$(mkdir -p "$1" && cd "$1" && pwd)
  harness_env "$dir"
  harness_display "$dir" || return 1
  local template="$dir/template"
  # .ready names the template's architecture and make: a prefix of another is made anew.
  local ready="$HARNESS_ARCH fonts"
  if [ "$(cat "$template/.ready" 2>/dev/null)" != "$ready" ]; then
    rm -rf "$template"
    if ! WINEPREFIX="$template" wine wineboot -i >/dev/null 2>&1 </dev/null; then
      echo "harness: wineboot could not make a prefix in $template" >&2
      harness_stop
      return 1
    fi
    WINEPREFIX="$template" wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null
    # Debian's Wine 8 never finds its own fonts (Marlett for the window glyphs, Tahoma,
    # Symbol, ...): the path it builds to them is malformed. Name the folder fonts-wine fills.
    if [ -d /usr/share/wine/fonts ]; then
      WINEPREFIX="$template" wine reg add 'HKCU\Software\Wine\Fonts' /v Path /d 'Z:\usr\share\wine\fonts' /f \
        >/dev/null 2>&1 </dev/null
    fi
    WINEPREFIX="$template" wineserver -w
    echo "$ready" >"$template/.ready"
  fi
  rm -rf "$dir/prefix"
  cp -a "$template" "$dir/prefix"
  export WINEPREFIX="$dir/prefix"
  export TANDREL_WINE_HARNESS="$dir"
  wineserver -p >/dev/null 2>&1 </dev/null
  wine cmd /c exit >/dev/null 2>&1 </dev/null || true
  # The desktop's process, started here with its output detached: else the first program
  # to make a window starts it, it inherits that program's output, and CTest waits for it
  # to end long after the program did.
  (wine explorer.exe /desktop >/dev/null 2>&1 </dev/null &)
  local _
  for _ in $(seq 1 50); do
    pgrep -f 'explorer.exe /desktop' >/dev/null && break
    sleep 0.1
  done
}

harness_stop() {
  [ -n "${WINEPREFIX:-}" ] && wineserver -k >/dev/null 2>&1 || true
  [ -n "${HARNESS_XVFB_PID:-}" ] && kill "$HARNESS_XVFB_PID" 2>/dev/null || true
  HARNESS_XVFB_PID=""
}
