#!/usr/bin/env bash
# The generator of the keyboard languages stops, naming the file, when a CLDR
# file it reads is missing or broken, and when it would write a catalogue too
# small to be whole; it then writes no file at all.
# Usage: cldrlanguages_failure_test.sh <python3> <cldrlanguages.py> <CLDR common folder> <SpecialCasing.txt>
set -uo pipefail
python=$1 generator=$2 cldr=$3 casing=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# A CLDR folder of links to the real files, so that one file can be spoilt.
copy_cldr() {  # folder
  mkdir -p "$1/main" "$1/supplemental"
  ln -s "$cldr"/main/*.xml "$1/main/"
  ln -s "$cldr"/supplemental/*.xml "$1/supplemental/"
}

# expect_failure "what" folder "text the message holds"
expect_failure() {
  local what=$1 folder=$2 message=$3 out="$work/out.ini"
  rm -f "$out"
  "$python" "$generator" --cldr "$folder" --special-casing "$casing" --output "$out" \
    >"$work/stdout" 2>"$work/stderr"
  local status=$?
  local said
  said=$(cat "$work/stderr")
  if [ "$status" -ne 1 ]; then
    echo "FAIL: $what: exit status $status, not 1"; failures=$((failures + 1))
  elif [[ "$said" != "cldrlanguages: "*"$message"* ]] || [ "$(wc -l <"$work/stderr")" -ne 1 ]; then
    echo "FAIL: $what: the message does not name '$message': $said"; failures=$((failures + 1))
  elif [ -e "$out" ] || [ -e "$out.tmp" ]; then
    echo "FAIL: $what: a file was written"; failures=$((failures + 1))
  else
    echo "ok: $what: $said"
  fi
}

mkdir "$work/empty"
expect_failure "a folder without CLDR" "$work/empty" "$work/empty/supplemental/supplementalData.xml: missing"

copy_cldr "$work/no-en"
rm "$work/no-en/main/en.xml"
expect_failure "English names missing" "$work/no-en" "$work/no-en/main/en.xml: missing"

copy_cldr "$work/cut"
rm "$work/cut/main/af.xml"
head -c 40000 "$cldr/main/af.xml" >"$work/cut/main/af.xml"
expect_failure "a locale file cut short" "$work/cut" "$work/cut/main/af.xml: not well-formed XML"

copy_cldr "$work/braces"
rm "$work/braces/main/af.xml"
sed 's|<exemplarCharacters>\[a á|<exemplarCharacters>[{a á|' "$cldr/main/af.xml" >"$work/braces/main/af.xml"
expect_failure "an exemplar set with an open brace" "$work/braces" "$work/braces/main/af.xml: unclosed {"

copy_cldr "$work/likely"
rm "$work/likely/supplemental/likelySubtags.xml"
printf '<supplementalData>\n<likelySubtags>\n' >"$work/likely/supplemental/likelySubtags.xml"
expect_failure "likely subtags cut short" "$work/likely" "$work/likely/supplemental/likelySubtags.xml: not well-formed XML"

# Only a few languages left (de, es, fr, haw, yo): a catalogue, but not a whole one.
mkdir -p "$work/few/main"
ln -s "$cldr/supplemental" "$work/few/supplemental"
for locale in root en de fr es yo haw; do ln -s "$cldr/main/$locale.xml" "$work/few/main/"; done
expect_failure "a CLDR with seven locales" "$work/few" "only 5 languages found, at least 150 expected"

# Every font package there, yet no face for a script: Hindi with DejaVu Sans alone.
dejavu=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
if [ -f "$dejavu" ] && command -v fc-query >/dev/null; then
  echo "$dejavu" >"$work/fonts.txt"
  rm -f "$work/out.ini"
  "$python" "$generator" --cldr "$cldr" --special-casing "$casing" --font-files "$work/fonts.txt" --fonts-complete \
    --output "$work/out.ini" >"$work/stdout" 2>"$work/stderr"
  status=$? said=$(cat "$work/stderr")
  if [ "$status" -eq 1 ] && [[ "$said" == "cldrlanguages: $work/fonts.txt: no face of these font files has every letter of: "*"hi (DejaVu Sans lacks U+093C "*" more)"* ]] &&
     [ ! -e "$work/out.ini" ]; then
    echo "ok: a script without a face"
  else
    echo "FAIL: a script without a face: exit status $status: $said"; failures=$((failures + 1))
  fi
else
  echo "skipped: a script without a face (no $dejavu or fc-query)"
fi

[ "$failures" -eq 0 ] || exit 1
echo "all passed"
