#!/usr/bin/env bash
# cmake --install to a prefix with blanks in its path: the program folder stays
# whole, the launcher is a relative link to the executable, and the desktop
# entry, icons and AppStream metadata are where desktops look and pass the
# validators.
# Usage: install_tree_test.sh <cmake> <build dir> <source dir> <version>
set -uo pipefail
cmake=$1 build=$2 source=$3 version=$4
. "$(dirname "$0")/installlib.sh"
need_tools desktop-file-validate appstreamcli od

install_with_blanks "$cmake" "$build"
find_desktop_id
check "the desktop id is a reverse domain name ($id)" bash -c '[[ $0 =~ ^[a-z0-9-]+(\.[A-Za-z0-9_-]+){2,}$ ]]' "$id"
program="$prefix/lib/umbrill"
desktop="$prefix/share/applications/$id.desktop"
metainfo="$prefix/share/metainfo/$id.metainfo.xml"

# --- the program folder and the launcher ---------------------------------------------
check "program folder holds exactly its seven files" \
  test "$(cd "$program" && LC_ALL=C ls -A | LC_ALL=C sort | tr '\n' ' ')" = \
  "Umbrill05 Umbrill05.ini generated-languages.ini umbrill_help.pdf umbrill_help_de.pdf umbrill_help_es.pdf umbrill_help_fr.pdf "
check "the executable is executable" test -x "$program/Umbrill05"
for f in Umbrill05.ini generated-languages.ini umbrill_help.pdf umbrill_help_de.pdf umbrill_help_fr.pdf umbrill_help_es.pdf; do
  check "$f is the built one" cmp -s "$program/$f" "$build/program/$f"
done
check "bin/umbrill is a link" test -L "$prefix/bin/umbrill"
link=$(readlink "$prefix/bin/umbrill")
check "the launcher link is relative ($link)" test "${link#/}" = "$link"
check "the launcher resolves to the installed executable" \
  test "$(readlink -f "$prefix/bin/umbrill")" = "$(readlink -f "$program/Umbrill05")"

# --- the desktop entry -----------------------------------------------------------------
entry() {  # key [group]: the key's value in that group ("Desktop Entry" unless given)
  awk -v key="$1=" -v want="[${2:-Desktop Entry}]" \
    '/^\[/ { group = $0 } group == want && index($0, key) == 1 { print substr($0, length(key) + 1) }' "$desktop"
}
check "desktop entry installed" test -f "$desktop"
if out=$(desktop-file-validate "$desktop" 2>&1) && [ -z "$out" ]; then pass; else fail "desktop-file-validate: $out"; fi
check "Exec starts the launcher" test "$(entry Exec)" = umbrill
check "Exec names the installed launcher" test -x "$prefix/bin/$(entry Exec)"
check "Find Character is an action of the entry" test "$(entry Actions)" = "find;"
check "the action starts the launcher with --find" test "$(entry Exec "Desktop Action find")" = "umbrill --find"
check "a utility" bash -c 'case ";$0" in *";Utility;"*) ;; *) exit 1 ;; esac' "$(entry Categories)"
check "Icon is the desktop id" test "$(entry Icon)" = "$id"
comments=()
for lang in "" "[de]" "[fr]" "[es]"; do
  text=$(entry "Comment$lang")
  check "Comment$lang present" test -n "$text"
  comments+=("$text")
done
check "the four comments differ" test "$(printf '%s\n' "${comments[@]}" | sort -u | wc -l)" -eq 4

# --- the icon ------------------------------------------------------------------------------
png_size() {  # width x height from the PNG header
  local b
  read -ra b < <(od -An -tu1 -j16 -N8 "$1")
  echo "$(((b[0] << 24) | (b[1] << 16) | (b[2] << 8) | b[3]))x$(((b[4] << 24) | (b[5] << 16) | (b[6] << 8) | b[7]))"
}
for size in 16 24 32 48 64 128 256; do
  icon="$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png"
  if [ -f "$icon" ]; then
    check "icon ${size}x${size} has that size" test "$(png_size "$icon")" = "${size}x${size}"
  else
    fail "no icon $icon"
  fi
done
check "scalable icon is an SVG drawing" grep -q "<svg" "$prefix/share/icons/hicolor/scalable/apps/$id.svg"

# --- the AppStream metadata -----------------------------------------------------------
check "metainfo installed" test -f "$metainfo"
if out=$(appstreamcli validate --no-net "$metainfo" 2>&1); then pass; else fail "appstreamcli validate: $out"; fi
if out=$(appstreamcli validate-tree --no-net "$prefix" 2>&1); then pass; else fail "appstreamcli validate-tree: $out"; fi
check "metainfo id is the desktop id" grep -q "<id>$id</id>" "$metainfo"
check "launchable is the installed desktop entry" grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo"
check "release is the project's version" grep -q "<release version=\"$version\"" "$metainfo"
check "a description" grep -q "<description>" "$metainfo"
shot="$source/packaging/screenshots/main.png"
check "the screenshot is committed" test -f "$shot"
if [ -f "$shot" ]; then
  size=$(png_size "$shot")
  check "metainfo gives the screenshot's size ($size)" \
    grep -q "width=\"${size%x*}\" height=\"${size#*x}\">https://umbrill.example.org/screenshots/main.png<" "$metainfo"
fi

finish
