# Sourced by the test and run scripts: a Wine environment of the build's own.
#   harness_start DIR   fresh 32-bit prefix DIR/prefix (copied from DIR/template),
#                       an Xvfb display, one wineserver kept alive for the run
#   harness_stop        stops the wineserver and the Xvfb started here
# Never touches the user's own prefix: WINEPREFIX always points under DIR.

# 32-bit Wine runs only where the kernel executes 32-bit x86 programs itself; some virtual
# machines switch that off (execve answers "Exec format error"). Through a user-mode
# emulator registered for them Wine does start, but far too slowly for the tests.
harness_can_run() {
  local f
  for f in /proc/sys/fs/binfmt_misc/qemu-i386 /proc/sys/fs/binfmt_misc/qemu-i386-static; do
    [ -f "$f" ] && grep -qx enabled "$f" && return 1
  done
  /lib/ld-linux.so.2 --version >/dev/null 2>&1
}

harness_env() {
  export WINEARCH=win32 WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  export HOME="$1/home" XDG_DATA_HOME="$1/home/.local/share" XDG_CONFIG_HOME="$1/home/.config"
  export XDG_CACHE_HOME="$1/home/.cache"
  mkdir -p "$HOME" "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME"
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
    echo "harness: this machine does not execute 32-bit x86 programs; 32-bit Wine cannot run here" >&2
    return 1
  fi
  dir=$(mkdir -p "$1" && cd "$1" && pwd)
  harness_env "$dir"
  harness_display "$dir" || return 1
  if [ ! -f "$dir/template/.ready" ]; then
    rm -rf "$dir/template"
    if ! WINEPREFIX="$dir/template" wineboot -i >/dev/null 2>&1 </dev/null; then
      echo "harness: wineboot could not make a prefix in $dir/template" >&2
      harness_stop
      return 1
    fi
    WINEPREFIX="$dir/template" wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null
    WINEPREFIX="$dir/template" wineserver -w
    touch "$dir/template/.ready"
  fi
  rm -rf "$dir/prefix"
  cp -a "$dir/template" "$dir/prefix"
  export WINEPREFIX="$dir/prefix"
  export TANDREL_WINE_HARNESS="$dir"
  wineserver -p >/dev/null 2>&1 </dev/null
  wine cmd /c exit >/dev/null 2>&1 </dev/null || true
}

harness_stop() {
  [ -n "${WINEPREFIX:-}" ] && wineserver -k >/dev/null 2>&1 || true
  [ -n "${HARNESS_XVFB_PID:-}" ] && kill "$HARNESS_XVFB_PID" 2>/dev/null || true
  HARNESS_XVFB_PID=""
}
