# Sourced by the end-to-end scripts: a Wine prefix of the test's own, copied from the
# harness's template, with user folders and a home of its own; removed at exit unless
# TANDREL_E2E_KEEP=1.
[ -n "${TANDREL_WINE_HARNESS:-}" ] && [ -f "$TANDREL_WINE_HARNESS/template/.ready" ] || {
  echo "needs the Wine harness (scripts/wine-ctest.sh)"; exit 1; }

e2e_prefix_start() {
  work=$(mktemp -d "${TMPDIR:-/tmp}/tandrel_e2e.XXXXXX")
  export WINEPREFIX="$work/prefix"
  cleanup() {
    wineserver -k >/dev/null 2>&1 || true
    if [ -n "${TANDREL_E2E_KEEP:-}" ]; then echo "prefix kept: $WINEPREFIX"; else rm -rf "$work"; fi
  }
  trap cleanup EXIT
  cp -a "$TANDREL_WINE_HARNESS/template" "$WINEPREFIX"
  # The copy's user folders (Desktop, Documents, ...) point at the harness's home: this
  # prefix gets folders of its own, and a home of its own.
  for link in "$WINEPREFIX"/drive_c/users/*/*; do
    if [ -L "$link" ]; then rm "$link"; mkdir -p "$link"; fi
  done
  # Deeper ones too (AppData\...\Templates): other tests' shortcuts land in the harness's home.
  find "$WINEPREFIX/drive_c/users" -type l -print0 | while IFS= read -r -d '' link; do
    rm "$link"; mkdir -p "$link"
  done
  export HOME="$work/home" XDG_DATA_HOME="$work/home/.local/share" XDG_CONFIG_HOME="$work/home/.config"
  export XDG_CACHE_HOME="$work/home/.cache"
  mkdir -p "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME"
}

# One wineserver for the run, its output detached.
e2e_prefix_server() {
  wineserver -p >/dev/null 2>&1 </dev/null
  wine cmd /c exit >/dev/null 2>&1 </dev/null || true
}
