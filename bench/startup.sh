#!/usr/bin/env bash
# Start-up of Umbrill05 against the bare reference window, side by side on a
# private X server: the time from starting each program to its first window
# being mapped and painted, and its peak resident memory (VmHWM), measured from
# outside by startwatch. The two programs run alternately, RUNS times each
# (after one unmeasured warm-up run of each); then Umbrill05 loads a 255-key
# language through the Language dialog (Alt+L, Return) RUNS times, and starts
# RUNS times with French remembered from the last run, loaded before the
# first window shows (its first paint holds the keys), and as many with the
# 255-key language remembered, each alternating with the reference window
# (of 255 keys in the second case). Then a start with a generated language
# (Yoruba, from generated-languages.ini) remembered alternates with one with
# French remembered: the generated catalogue is read only for that start.
# Last, a first start (no settings at all) alternates with a start whose
# settings are present.
#
# Umbrill05 runs from a temporary copy of its program folder (its data file
# with the 255-key language "Bench255" added first) with a temporary
# XDG_CONFIG_HOME. Prints the medians and the ratios; writes the raw lines to
# the folder named by KEEP_RAW when that is set.
#
# Usage: bench/startup.sh <build folder> [runs]    (default 15 runs)
#        INSTRUCTIONS=1 bench/startup.sh <build folder>  (instructions to the first paint)
set -euo pipefail

build=$(cd "${1:?usage: startup.sh <build folder> [runs]}" && pwd)
runs=${2:-15}
umbrill="$build/program/Umbrill05"
reference="$build/bench/reference_window"
watch="$build/bench/startwatch"
for f in "$umbrill" "$reference" "$watch"; do
  [ -x "$f" ] || { echo "startup.sh: missing $f (build the bench targets first)" >&2; exit 1; }
done

work=$(mktemp -d)
xvfb_pid=""
bus_pid=""
cleanup() {
  [ -n "$bus_pid" ] && kill "$bus_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# --- a private X server -------------------------------------------------------
Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp -noreset 5>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 1 250); do [ -s "$work/display" ] && break; sleep 0.02; done
[ -s "$work/display" ] || { echo "startup.sh: Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; exit 1; }
export DISPLAY=":$(cat "$work/display")"
export QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY SESSION_MANAGER
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
# A session bus, as a desktop has: without one each program would try to start one.
if command -v dbus-daemon >/dev/null; then
  dbus-daemon --session --fork --nosyslog --address="unix:path=$XDG_RUNTIME_DIR/bus" --print-pid=1 >"$work/bus.pid"
  bus_pid=$(cat "$work/bus.pid")
  export DBUS_SESSION_BUS_ADDRESS="unix:path=$XDG_RUNTIME_DIR/bus"
fi

# --- the program folder and the settings -----------------------------------------
mkdir "$work/program"
cp -a "$build/program/." "$work/program/"
codes=""
for k in $(seq 0 254); do
  if [ "$k" -lt 95 ]; then codes+=",$((161 + k))"; else codes+=",$((256 + k - 95))"; fi
done
ini="$work/program/Umbrill05.ini"
sed -i 's/^Languages=/Languages=Bench255,/' "$ini"
printf 'Bench255="DejaVu Sans",12,16%s\n' "$codes" >>"$ini"
grep -q '^Languages=Bench255,' "$ini" || { echo "startup.sh: the data file has no Languages line" >&2; exit 1; }

export XDG_CONFIG_HOME="$work/config"
mkdir -p "$XDG_CONFIG_HOME/umbrill"
printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\umbrill.ini]\r\n\r\n[HKEY_CURRENT_USER\\umbrill.ini\\Settings]\r\n"ControlLanguage"="English"\r\n"KeySize"="42"\r\n"PasteFormat"="unicode"\r\n' \
  >"$XDG_CONFIG_HOME/umbrill/user.reg"

# The same settings with French remembered as the last keyboard language.
mkdir -p "$work/config-french/umbrill"
sed 's/"PasteFormat"="unicode"\r$/"PasteFormat"="unicode"\r\n"LastLanguage"="French"\r/' \
  "$XDG_CONFIG_HOME/umbrill/user.reg" >"$work/config-french/umbrill/user.reg"
grep -q LastLanguage "$work/config-french/umbrill/user.reg" || { echo "startup.sh: no remembered language" >&2; exit 1; }
# And with the 255-key language remembered.
mkdir -p "$work/config-255/umbrill"
sed 's/"LastLanguage"="French"/"LastLanguage"="Bench255"/' "$work/config-french/umbrill/user.reg" \
  >"$work/config-255/umbrill/user.reg"
# And with the generated Yoruba remembered, by its code.
[ -f "$work/program/generated-languages.ini" ] ||
  { echo "startup.sh: no generated-languages.ini in $build/program (build umbrill_generated_languages)" >&2; exit 1; }
mkdir -p "$work/config-yo/umbrill"
sed 's/"LastLanguage"="French"/"LastLanguage"="[generated:yo]"/' "$work/config-french/umbrill/user.reg" \
  >"$work/config-yo/umbrill/user.reg"
# And the same Yoruba as an own language (the entry copied into languages.ini): what the generated
# catalogue itself costs a start is the difference.
mkdir -p "$work/config-yo-own/umbrill"
sed 's/"LastLanguage"="French"/"LastLanguage"="Yoruba"/' "$work/config-french/umbrill/user.reg" \
  >"$work/config-yo-own/umbrill/user.reg"
printf '[Umbrill]\r\nLanguages=Yoruba\r\nYoruba=%s\r\n' \
  "$(grep -A1 '^\[yo\]' "$work/program/generated-languages.ini" | sed -n 's/^Entry=//p' | tr -d '\r')" \
  >"$work/config-yo-own/umbrill/languages.ini"

# --- the runs ---------------------------------------------------------------------
run_umbrill() { "$watch" "$@" -- "$work/program/Umbrill05"; }
run_reference() { "$watch" "$@" -- "$reference"; }
run_reference255() { "$watch" "$@" -- "$reference" 255; }

# INSTRUCTIONS=1: instead of the timed runs, one run of each start under
# callgrind, which counts the instructions up to the first paint (the
# program is stopped as soon as it has painted): a figure the load moves not.
if [ -n "${INSTRUCTIONS:-}" ]; then
  command -v valgrind >/dev/null || { echo "startup.sh: INSTRUCTIONS needs valgrind" >&2; exit 1; }
  counted() {  # label, XDG_CONFIG_HOME, program, name of the kept profile (KEEP_RAW), arguments...
    rm -f "$work/callgrind.out"
    XDG_CONFIG_HOME="$2" "$watch" --settle 0 --timeout 120000 -- \
      "$(command -v valgrind)" -q --tool=callgrind --callgrind-out-file="$work/callgrind.out" "$3" "${@:5}" >/dev/null
    for _ in $(seq 1 250); do [ -s "$work/callgrind.out" ] && grep -q '^totals:' "$work/callgrind.out" && break; sleep 0.02; done
    printf '%-44s %8.1f M instructions\n' "$1" "$(sed -n 's/^totals: *\([0-9]*\).*/\1/p' "$work/callgrind.out")e-6"
    if [ -n "${KEEP_RAW:-}" ]; then mkdir -p "$KEEP_RAW" && cp "$work/callgrind.out" "$KEEP_RAW/callgrind.$4.out"; fi
  }
  rm -rf "$work/config-first"
  echo "Instructions up to the first paint (callgrind, one run each)"
  counted "reference window" "$XDG_CONFIG_HOME" "$reference" reference
  counted "reference window, 255 keys" "$XDG_CONFIG_HOME" "$reference" reference255 255
  counted "Umbrill05, empty pad" "$XDG_CONFIG_HOME" "$work/program/Umbrill05" empty
  counted "Umbrill05, French remembered" "$work/config-french" "$work/program/Umbrill05" french
  counted "Umbrill05, 255-key language remembered" "$work/config-255" "$work/program/Umbrill05" 255
  counted "Umbrill05, generated Yoruba remembered" "$work/config-yo" "$work/program/Umbrill05" yoruba
  counted "Umbrill05, the same Yoruba as an own language" "$work/config-yo-own" "$work/program/Umbrill05" yoruba-own
  counted "Umbrill05, first start (no settings)" "$work/config-first" "$work/program/Umbrill05" first
  exit 0
fi

run_umbrill >/dev/null && run_reference >/dev/null   # warm-up: file cache, font cache
: >"$work/umbrill" ; : >"$work/reference" ; : >"$work/language" ; : >"$work/remembered"
for i in $(seq 1 "$runs"); do
  if [ $((i % 2)) -eq 1 ]; then
    run_umbrill >>"$work/umbrill"; run_reference >>"$work/reference"
  else
    run_reference >>"$work/reference"; run_umbrill >>"$work/umbrill"
  fi
done
# A load is remembered: every run starts from the settings of a first start.
cp "$XDG_CONFIG_HOME/umbrill/user.reg" "$work/user.reg.first"
for _ in $(seq 1 "$runs"); do
  cp "$work/user.reg.first" "$XDG_CONFIG_HOME/umbrill/user.reg"
  run_umbrill --language 0 >>"$work/language"
done
# Alternating with the reference window again, so that both see the same load.
: >"$work/reference2"
for i in $(seq 1 "$runs"); do
  if [ $((i % 2)) -eq 1 ]; then
    XDG_CONFIG_HOME="$work/config-french" run_umbrill >>"$work/remembered"; run_reference >>"$work/reference2"
  else
    run_reference >>"$work/reference2"; XDG_CONFIG_HOME="$work/config-french" run_umbrill >>"$work/remembered"
  fi
done
: >"$work/remembered255" ; : >"$work/reference3"
for i in $(seq 1 "$runs"); do
  if [ $((i % 2)) -eq 1 ]; then
    XDG_CONFIG_HOME="$work/config-255" run_umbrill >>"$work/remembered255"; run_reference255 >>"$work/reference3"
  else
    run_reference255 >>"$work/reference3"; XDG_CONFIG_HOME="$work/config-255" run_umbrill >>"$work/remembered255"
  fi
done
: >"$work/rememberedyo" ; : >"$work/rememberedfr"
for i in $(seq 1 "$runs"); do
  if [ $((i % 2)) -eq 1 ]; then
    XDG_CONFIG_HOME="$work/config-yo" run_umbrill >>"$work/rememberedyo"
    XDG_CONFIG_HOME="$work/config-french" run_umbrill >>"$work/rememberedfr"
  else
    XDG_CONFIG_HOME="$work/config-french" run_umbrill >>"$work/rememberedfr"
    XDG_CONFIG_HOME="$work/config-yo" run_umbrill >>"$work/rememberedyo"
  fi
done
# A first start: no settings folder at all, made afresh for every run.
: >"$work/first" ; : >"$work/present"
for i in $(seq 1 "$runs"); do
  rm -rf "$work/config-first"
  if [ $((i % 2)) -eq 1 ]; then
    XDG_CONFIG_HOME="$work/config-first" run_umbrill >>"$work/first"; run_umbrill >>"$work/present"
  else
    run_umbrill >>"$work/present"; XDG_CONFIG_HOME="$work/config-first" run_umbrill >>"$work/first"
  fi
done
grep -q '"ControlLanguage"="English"' "$work/config-first/umbrill/user.reg" ||
  { echo "startup.sh: a first start stored no settings" >&2; exit 1; }
if [ -n "${KEEP_RAW:-}" ]; then
  mkdir -p "$KEEP_RAW"
  cp "$work/umbrill" "$work/reference" "$work/language" "$work/remembered" "$work/reference2" \
    "$work/remembered255" "$work/reference3" "$work/rememberedyo" "$work/rememberedfr" "$work/first" \
    "$work/present" "$KEEP_RAW/"
fi

# The median of field name over the lines of a file.
median() {
  sed -n "s/.*\\b$2=\\([0-9.]*\\).*/\\1/p" "$1" | sort -g |
    awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

u_map=$(median "$work/umbrill" map_ms);   r_map=$(median "$work/reference" map_ms)
u_paint=$(median "$work/umbrill" paint_ms); r_paint=$(median "$work/reference" paint_ms)
u_mem=$(median "$work/umbrill" hwm_kb);   r_mem=$(median "$work/reference" hwm_kb)
l_map=$(median "$work/language" paint_ms)
l_dialog=$(median "$work/language" dialog_ms)
l_grown=$(median "$work/language" load_grown_ms)
l_painted=$(median "$work/language" load_painted_ms)
l_mem=$(median "$work/language" hwm_loaded_kb)
f_map=$(median "$work/remembered" map_ms)
f_paint=$(median "$work/remembered" paint_ms)
f_refmap=$(median "$work/reference2" map_ms)
f_ref=$(median "$work/reference2" paint_ms)
b_map=$(median "$work/remembered255" map_ms)
b_paint=$(median "$work/remembered255" paint_ms)
b_refmap=$(median "$work/reference3" map_ms)
b_ref=$(median "$work/reference3" paint_ms)
y_paint=$(median "$work/rememberedyo" paint_ms)
y_mem=$(median "$work/rememberedyo" hwm_kb)
yf_paint=$(median "$work/rememberedfr" paint_ms)
yf_mem=$(median "$work/rememberedfr" hwm_kb)
n_paint=$(median "$work/first" paint_ms)
p_paint=$(median "$work/present" paint_ms)

awk -v runs="$runs" -v um="$u_map" -v rm="$r_map" -v up="$u_paint" -v rp="$r_paint" -v uk="$u_mem" -v rk="$r_mem" \
    -v lm="$l_map" -v ld="$l_dialog" -v lg="$l_grown" -v lp="$l_painted" -v lk="$l_mem" -v fp="$f_paint" -v fr="$f_ref" \
    -v fm="$f_map" -v frm="$f_refmap" -v bm="$b_map" -v bp="$b_paint" -v brm="$b_refmap" -v br="$b_ref" \
    -v np="$n_paint" -v pp="$p_paint" -v yp="$y_paint" -v yk="$y_mem" -v yfp="$yf_paint" -v yfk="$yf_mem" 'BEGIN {
  printf "Start-up on Xvfb 1280x1024x24, medians of %d runs each (programs alternating)\n", runs
  printf "%-34s %10s %10s %10s\n", "", "Umbrill05", "reference", "ratio"
  printf "%-34s %10.1f %10.1f %10.2f\n", "first window mapped (ms)", um, rm, um / rm
  printf "%-34s %10.1f %10.1f %10.2f\n", "first window painted (ms)", up, rp, up / rp
  printf "%-34s %10.1f %10.1f %+9.1f MiB\n", "peak resident memory (MiB)", uk / 1024, rk / 1024, (uk - rk) / 1024
  printf "\nA 255-key language loaded through the Language dialog, medians of %d runs\n", runs
  printf "%-34s %10.1f\n", "start-up, first window painted (ms)", lm
  printf "%-34s %10.1f\n", "Alt+L to the dialog painted (ms)", ld
  printf "%-34s %10.1f\n", "Return to the window grown (ms)", lg
  printf "%-34s %10.1f\n", "Return to the 255 keys painted (ms)", lp
  printf "%-34s %10.1f  (%+.1f MiB above the reference window)\n", "peak resident memory (MiB)", lk / 1024, (lk - rk) / 1024
  printf "\nFrench remembered from the last run, loaded at start-up, medians of %d runs each (alternating)\n", runs
  printf "%-34s %10s %10s %10s\n", "", "Umbrill05", "reference", "ratio"
  printf "%-34s %10.1f %10.1f %10.2f\n", "first window mapped (ms)", fm, frm, fm / frm
  printf "%-34s %10.1f %10.1f %10.2f\n", "first window painted, keys (ms)", fp, fr, fp / fr
  printf "\nThe 255-key language remembered, loaded at start-up, against the reference window of 255 keys,\n"
  printf "medians of %d runs each (alternating)\n", runs
  printf "%-34s %10s %10s %10s\n", "", "Umbrill05", "ref. 255", "ratio"
  printf "%-34s %10.1f %10.1f %10.2f\n", "first window mapped (ms)", bm, brm, bm / brm
  printf "%-34s %10.1f %10.1f %10.2f\n", "first window painted, keys (ms)", bp, br, bp / br
  printf "\nThe generated Yoruba remembered against French remembered, medians of %d runs each (alternating)\n", runs
  printf "%-34s %10s %10s %10s\n", "", "Yoruba", "French", "ratio"
  printf "%-34s %10.1f %10.1f %10.2f\n", "first window painted, keys (ms)", yp, yfp, yp / yfp
  printf "%-34s %10.1f %10.1f %+9.1f MiB\n", "peak resident memory (MiB)", yk / 1024, yfk / 1024, (yk - yfk) / 1024
  printf "\nA first start (no settings) against one with settings, medians of %d runs each (alternating)\n", runs
  printf "%-34s %10s %10s %10s\n", "", "first", "settings", "ratio"
  printf "%-34s %10.1f %10.1f %10.2f\n", "first window painted (ms)", np, pp, np / pp
}'
