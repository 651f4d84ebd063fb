# A temporary Wine prefix for a script's runs (sourced, not run): made with
# Debian's wine64, WINEDEBUG=-all and no Mono or Gecko installers, its
# server stopped and its folder removed at the end, which fails when a
# process of the prefix outlives it. The sourcing script defines fail().

windows_path() { printf 'Z:%s' "${1//\//\\}"; }

# Sets WINEPREFIX to a new temporary folder named after $1; the prefix
# itself is made by wine_prefix_boot.
wine_prefix_begin() {
  WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/$1-wine.XXXXXX")
  export WINEPREFIX WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree=;mshtml="
  unset DISPLAY WAYLAND_DISPLAY
}

# Boots the prefix, its log in $1.
wine_prefix_boot() {
  timeout 120 wine wineboot -i > "$1" 2>&1 || { cat "$1"; fail "no Wine prefix"; }
}

# Stops the prefix's server and removes its folder; safe to call twice.
wine_prefix_remove() {
  timeout 30 wineserver -k > /dev/null 2>&1 || true
  rm -rf "$WINEPREFIX"
}

# The processes that run in the prefix (the Wine server, the programs): they
# all carry WINEPREFIX in the environment they were started with. (The
# sourcing script's own environment is the one it was started with, before
# it set the variable; the search itself runs without it.)
prefix_processes() {
  env -u WINEPREFIX grep -lsz "^WINEPREFIX=$WINEPREFIX\$" /proc/[0-9]*/environ || true
}

# After wine_prefix_remove: fails when a process of the prefix is left
# (after 10 s) or the folder is still there; $1 says whose processes.
wine_prefix_gone() {
  for _ in $(seq 20); do
    [ -z "$(prefix_processes)" ] && break
    sleep 0.5
  done
  [ -z "$(prefix_processes)" ] || fail "Wine processes outlived $1: $(prefix_processes)"
  [ ! -e "$WINEPREFIX" ] || fail "the Wine prefix $WINEPREFIX was not removed"
}
