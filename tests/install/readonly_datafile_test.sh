#!/usr/bin/env bash
# An installed program folder whose data file cannot be written: the Font
# command's Yes writes the user's own languages file instead and changes no
# file of the program folder. Runs the
# widget test against a fresh install, once with the data file read-only and
# once with the program folder read-only. The program checks the write bits,
# not only access(), so this holds for root too.
# Usage: readonly_datafile_test.sh <cmake> <build dir> <widget test executable>
set -uo pipefail
cmake=$1 build=$2 test_exe=$3
. "$(dirname "$0")/installlib.sh"

export XDG_CONFIG_HOME="$work/config"
export QT_QPA_PLATFORM=offscreen

for what in "data file" "program folder"; do
  install_with_blanks "$cmake" "$build"
  program="$prefix/lib/umbrill"
  case $what in
    "data file") chmod a-w "$program/Umbrill05.ini" ;;
    "program folder") chmod a-w "$program" ;;
  esac
  UMBRILL_INSTALLED_PROGRAM_DIR="$program" "$test_exe" >"$work/test.log" 2>&1
  if [ $? -eq 0 ]; then pass; else fail "read-only $what"; cat "$work/test.log"; fi
  chmod -R u+w "$work/install prefix"
  rm -rf "$work/install prefix"
done

finish
