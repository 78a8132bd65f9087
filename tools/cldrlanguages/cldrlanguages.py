#!/usr/bin/env python3
"""Writes generated-languages.ini: one keyboard language per CLDR language whose
letters go beyond a-z, in the data file's profile format.

A pad holds the language's letters outside ASCII (small, then capital where the
script has capitals), the combining marks its letter sequences use, its
punctuation outside ASCII and the currency sign of its main territory. The key
font is the first face of the given font packages that has every key, DejaVu
Sans first, then Noto Sans in the language's script.

Any CLDR file that is missing or cannot be read stops the run with a message
naming the file; so does a catalogue smaller than --minimum languages.
"""

import argparse
import math
import os
import re
import subprocess
import sys
import time
import unicodedata
import xml.etree.ElementTree as ET

MAX_KEYS = 255
MAX_ENTRY_CHARS = 2047
INTERFACE_LANGUAGES = ("en", "de", "fr", "es")
POINT_SIZE = 12


class Failure(Exception):
    """A fault in the input: the message names the file."""


# --- CLDR files ----------------------------------------------------------------

class Cldr:
    def __init__(self, common):
        self.common = common
        self.trees = {}
        supplemental = os.path.join(common, "supplemental")
        data = self.parse(os.path.join(supplemental, "supplementalData.xml"))
        likely = self.parse(os.path.join(supplemental, "likelySubtags.xml"))
        self.likely = {e.get("from"): e.get("to") for e in likely.iter("likelySubtag")}
        self.parents = {}
        for e in data.iter("parentLocale"):
            for locale in e.get("locales", "").split():
                self.parents[locale] = e.get("parent")
        self.currencies = {}
        for region in data.iterfind("currencyData/region"):
            for currency in region.iterfind("currency"):
                if currency.get("to") is None and currency.get("tender") != "false":
                    self.currencies[region.get("iso3166")] = currency.get("iso4217")
                    break
        if not self.likely or not self.currencies:
            raise Failure(f"{supplemental}: no likely subtags or no currency data")

    def path(self, locale):
        return os.path.join(self.common, "main", locale + ".xml")

    def parse(self, path):
        if not os.path.isfile(path):
            raise Failure(f"{path}: missing (install unicode-cldr-core)")
        try:
            return ET.parse(path).getroot()
        except ET.ParseError as error:
            raise Failure(f"{path}: not well-formed XML: {error}") from None

    def locale(self, locale):
        if locale not in self.trees:
            self.trees[locale] = self.parse(self.path(locale))
        return self.trees[locale]

    def release(self, locale, keep):
        """Lets go of a locale's tree unless keep holds it: the trees of all
        locales at once take more memory than a build should."""
        if locale not in keep:
            self.trees.pop(locale, None)

    def parent(self, locale):
        if locale == "root":
            return None
        if locale in self.parents:
            return self.parents[locale]
        return locale.rsplit("_", 1)[0] if "_" in locale else "root"

    def chain(self, locale):
        """The locale and the locales it inherits from, root last."""
        while locale is not None:
            yield locale
            locale = self.parent(locale)

    def find(self, locale, xpath):
        """The text of the first element at xpath along the inheritance chain."""
        for each in self.chain(locale):
            for element in self.locale(each).iterfind(xpath):
                if element.get("alt") is None and element.text:
                    return element.text
        return None

    def exemplars(self, locale, kind=None):
        condition = f"[@type='{kind}']" if kind else ""
        for each in self.chain(locale):
            for element in self.locale(each).iterfind(f"characters/exemplarCharacters{condition}"):
                if element.get("alt") is None and (kind or element.get("type") is None):
                    return parse_unicode_set(element.text or "", self.path(each)), each
        return [], None

    def likely_subtags(self, locale):
        return (self.likely.get(locale) or self.likely.get(locale.split("_")[0]) or "").split("_")


# --- CLDR's set notation: [a b {ch} \u0301 ա-ֆ] --------------------------------

ESCAPE = re.compile(r"\\(?:u([0-9A-Fa-f]{4})|U([0-9A-Fa-f]{8})|x\{([0-9A-Fa-f]{1,6})\}|(.))", re.S)


def parse_unicode_set(text, path):
    """The elements of a set, in order: single characters and {sequences}."""
    text = text.strip()
    if not (text.startswith("[") and text.endswith("]")):
        raise Failure(f"{path}: exemplar set not in brackets: {text[:60]}")
    body = text[1:-1]
    items = []
    i = 0

    def one(at):
        if body[at] == "\\":
            m = ESCAPE.match(body, at)
            if not m:
                raise Failure(f"{path}: bad escape in exemplar set at {body[at:at + 12]!r}")
            hexa = m.group(1) or m.group(2) or m.group(3)
            return (chr(int(hexa, 16)) if hexa else m.group(4)), m.end()
        if body[at] in "[]{}":
            raise Failure(f"{path}: unexpected {body[at]!r} in exemplar set")
        return body[at], at + 1

    while i < len(body):
        c = body[i]
        if c.isspace():
            i += 1
        elif c == "{":
            end = body.find("}", i)
            if end < 0:
                raise Failure(f"{path}: unclosed {{ in exemplar set")
            inner, j, sequence = body[i + 1:end], 0, ""
            while j < len(inner):
                if inner[j] == "\\":
                    m = ESCAPE.match(inner, j)
                    if not m:
                        raise Failure(f"{path}: bad escape in exemplar set at {inner[j:j + 12]!r}")
                    hexa = m.group(1) or m.group(2) or m.group(3)
                    sequence += chr(int(hexa, 16)) if hexa else m.group(4)
                    j = m.end()
                else:
                    sequence += inner[j]
                    j += 1
            items.append(sequence)
            i = end + 1
        else:
            first, i = one(i)
            if i < len(body) and body[i] == "-" and i + 1 < len(body) and not body[i + 1].isspace():
                last, i = one(i + 1)
                if ord(last) < ord(first):
                    raise Failure(f"{path}: reversed range {first}-{last} in exemplar set")
                items.extend(chr(cp) for cp in range(ord(first), ord(last) + 1))
            else:
                items.append(first)
    return items


# --- casing --------------------------------------------------------------------

def read_special_casing(path):
    """Capitals that depend on the language only (Turkish and Azerbaijani i)."""
    if not os.path.isfile(path):
        raise Failure(f"{path}: missing (install unicode-data)")
    capitals = {}
    with open(path, encoding="utf-8") as f:
        for line in f:
            fields = [x.strip() for x in line.split("#", 1)[0].split(";")]
            if len(fields) < 5 or not fields[4] or " " in fields[4] or not fields[4].islower():
                continue
            small, upper = chr(int(fields[0], 16)), "".join(chr(int(x, 16)) for x in fields[3].split())
            capitals.setdefault(fields[4], {})[small] = upper
    return capitals


def capital(letter, language, special):
    """The capital of a small letter, or None where its script has no capitals
    (a letter whose title case is itself, as Georgian's, has none)."""
    upper = special.get(language, {}).get(letter) or letter.upper()
    if letter.title() == letter or len(upper) != 1 or upper == letter:
        return None
    return upper


# --- the pad ---------------------------------------------------------------------

def is_mark(c):
    return unicodedata.category(c).startswith("M")


def usable(c):
    """A character that may be a key: beyond ASCII, not a control or blank."""
    return ord(c) > 0x7F and unicodedata.category(c)[0] not in "CZ"


class Pad:
    def __init__(self):
        self.keys = []
        self.held = set()
        self.letters = []         # the keys before punctuation and currency
        self.sequences = 0        # sequences turned into their marks
        self.digraphs = 0         # sequences of letters only, left out

    def add(self, c):
        if usable(c) and c not in self.held:
            self.keys.append(c)
            self.held.add(c)


def build_pad(cldr, code, language, special):
    letters, source = cldr.exemplars(code)
    if source is None:
        return None, None
    pad = Pad()
    small, sequences = [], []
    for item in letters:
        item = unicodedata.normalize("NFC", item)
        if len(item) == 1:
            small.append(item)
        else:
            sequences.append(item)
    # Parts of a sequence that are no letter of their own (its marks, and any
    # base letter the set lacks) become keys: typed one after the other they
    # write the sequence.
    marks, extra = [], []
    for sequence in sequences:
        parts = unicodedata.normalize("NFD", sequence)
        base = [c for c in unicodedata.normalize("NFC", "".join(c for c in parts if not is_mark(c)))]
        used_marks = [c for c in sequence if is_mark(c)]
        if used_marks:
            pad.sequences += 1
            marks.extend(used_marks)
        else:
            pad.digraphs += 1
        extra.extend(c for c in base if c not in small)
    small.extend(extra)
    if not any(usable(c) for c in small + marks):
        return None, None
    # A capital that CLDR lists among the letters (Turkish İ) goes with the
    # capitals, at the place of its small letter.
    capitals = [c for c in small if unicodedata.category(c) in ("Lu", "Lt")]
    small = [c for c in small if c not in capitals]
    for c in small:
        pad.add(c)
    for c in small:
        upper = capital(c, language, special)
        if upper:
            pad.add(upper)
    for c in capitals:
        pad.add(c)
    for c in marks:
        pad.add(c)
    pad.letters = list(pad.keys)
    punctuation, _ = cldr.exemplars(code, "punctuation")
    for c in punctuation:
        if len(c) == 1:
            pad.add(c)
    sign = currency_sign(cldr, code)
    if sign:
        pad.add(sign)
    return pad, source


def currency_sign(cldr, code):
    subtags = cldr.likely_subtags(code)
    territory = next((s for s in subtags[1:] if len(s) == 2 or s.isdigit()), None)
    currency = cldr.currencies.get(territory)
    if not currency:
        return None
    base = f"numbers/currencies/currency[@type='{currency}']"
    candidates = [cldr.find(code, f"{base}/symbol")]
    for each in cldr.chain(code):
        for element in cldr.locale(each).iterfind(f"{base}/symbol[@alt='narrow']"):
            candidates.append(element.text)
    # The first symbol that is one sign; else the one sign within a symbol
    # ("GH₵" gives ₵).
    signs = [[c for c in symbol or "" if ord(c) > 0x7F and unicodedata.category(c) == "Sc"] for symbol in candidates]
    for symbol, found in zip(candidates, signs):
        if len(symbol or "") == 1 and found:
            return found[0]
    return next((found[0] for found in signs if len(found) == 1), None)


# --- names -----------------------------------------------------------------------

def display_name(cldr, in_locale, code):
    language, _, script = code.partition("_")
    name = cldr.find(in_locale, f"localeDisplayNames/languages/language[@type='{code}']")
    if name:
        return name
    name = cldr.find(in_locale, f"localeDisplayNames/languages/language[@type='{language}']")
    if not name:
        return None
    if script:
        script_name = cldr.find(in_locale, f"localeDisplayNames/scripts/script[@type='{script}']")
        pattern = cldr.find(in_locale, "localeDisplayNames/localeDisplayPattern/localePattern") or "{0} ({1})"
        if not script_name:
            return None
        name = pattern.replace("{0}", name).replace("{1}", script_name)
    return name


# --- fonts -------------------------------------------------------------------------

def read_faces(font_files):
    """(family, set of code points) of each regular face among the files."""
    if not font_files:
        return []
    try:
        out = subprocess.run(["fc-query", "--format", "%{family[0]}\t%{style[0]}\t%{charset}\n", *font_files],
                             capture_output=True, text=True, check=False).stdout
    except OSError as error:
        raise Failure(f"fc-query: {error.strerror} (install fontconfig)") from None
    faces = {}
    for line in out.splitlines():
        family, style, charset = (line.split("\t") + ["", ""])[:3]
        if style not in ("Regular", "Book") or family in faces:
            continue
        points = set()
        for part in charset.split():
            first, _, last = part.partition("-")
            points.update(range(int(first, 16), int(last or first, 16) + 1))
        faces[family] = points
    return list(faces.items())


def choose_face(faces, letters, keys, script_name):
    """The face with every key, else the one with every letter and the most
    keys (the others then come from the desktop's fallback fonts): DejaVu Sans
    first, then Noto Sans in the script, then Noto Sans, then the others."""
    order = ["DejaVu Sans", f"Noto Sans {script_name}", "Noto Sans"]

    def score(face):
        family, points = face
        rank = order.index(family) if family in order else len(order) + (0 if family.startswith("Noto Sans ") else 1)
        missing = sum(ord(c) not in points for c in keys)
        return (sum(ord(c) not in points for c in letters), missing > 0, rank, missing, family)
    if not faces:
        return "DejaVu Sans", list(letters)
    family, points = min(faces, key=score)
    return family, [c for c in letters if ord(c) not in points]


def keys_per_row(count):
    return max(4, min(16, math.ceil(1.25 * math.sqrt(count))))


# --- the file ------------------------------------------------------------------------

def candidates(cldr):
    """Base locales, and script variants that are not the language's usual script."""
    codes = []
    for name in sorted(os.listdir(os.path.join(cldr.common, "main"))):
        code = name[:-4] if name.endswith(".xml") else None
        if not code or not re.fullmatch(r"[a-z]{2,3}(_[A-Z][a-z]{3})?", code):
            continue
        if "_" in code:
            language, script = code.split("_")
            if len(cldr.likely_subtags(language)) > 1 and cldr.likely_subtags(language)[1] == script:
                continue
        codes.append(code)
    return sorted(codes)


class Report:
    """What a run made and left out, for the file's comment and the build's output."""

    def __init__(self):
        self.languages = []       # (code, entry, names)
        self.too_large = []
        self.no_glyphs = []
        self.notes = []           # per language: sequences turned into marks / digraphs left out
        self.sequences = 0
        self.digraphs = 0


def add_language(report, cldr, code, special, faces):
    pad, _ = build_pad(cldr, code, code.split("_")[0], special)
    if pad is None:
        return
    if len(pad.keys) > MAX_KEYS:
        report.too_large.append(f"{code} ({len(pad.keys)} keys)")
        return
    report.sequences += pad.sequences
    report.digraphs += pad.digraphs
    if pad.sequences or pad.digraphs:
        report.notes.append(f"{code} {pad.sequences}/{pad.digraphs}")
    subtags = cldr.likely_subtags(code)
    script = code.split("_")[1] if "_" in code else (subtags[1] if len(subtags) > 1 else "")
    script_name = cldr.find("en", f"localeDisplayNames/scripts/script[@type='{script}']") or script
    face, missing = choose_face(faces, pad.letters, pad.keys, script_name)
    if missing:
        more = f" and {len(missing) - 4} more" if len(missing) > 4 else ""
        report.no_glyphs.append(f"{code} ({face} lacks {' '.join(f'U+{ord(c):04X}' for c in missing[:4])}{more})")
    names = {interface: display_name(cldr, interface, code) for interface in INTERFACE_LANGUAGES}
    if not names["en"]:
        raise Failure(f"{cldr.path('en')}: no English name for {code}")
    for interface in INTERFACE_LANGUAGES:
        names[interface] = names[interface] or names["en"]
    names["Own"] = display_name(cldr, code, code) or names["en"]
    entry = f'"{face}",{POINT_SIZE},{keys_per_row(len(pad.keys))},' + ",".join(str(ord(c)) for c in pad.keys)
    if len(entry) > MAX_ENTRY_CHARS:
        report.too_large.append(f"{code} ({len(entry)} characters)")
        return
    report.languages.append((code, entry, names))


def generate(args):
    cldr = Cldr(args.cldr)
    special = read_special_casing(args.special_casing)
    for language in INTERFACE_LANGUAGES + ("root",):
        cldr.locale(language)
    font_files = []
    if args.font_files:
        with open(args.font_files, encoding="utf-8") as f:
            font_files = [line.strip() for line in f if line.strip()]
    faces = read_faces(font_files)
    report = Report()
    codes = candidates(cldr)
    keep = set(INTERFACE_LANGUAGES) | {parent for code in codes for parent in list(cldr.chain(code))[1:]}
    for code in codes:
        add_language(report, cldr, code, special, faces)
        cldr.release(code, keep)
    if report.no_glyphs and args.fonts_complete:
        raise Failure(f"{args.font_files}: no face of these font files has every letter of: "
                      + "; ".join(report.no_glyphs))
    if len(report.languages) < args.minimum:
        raise Failure(f"{cldr.common}: only {len(report.languages)} languages found, at least {args.minimum} expected")
    return report


def clean(text):
    """A value on one line, without the characters the profile reader treats specially."""
    return " ".join(text.split())


def cldr_version():
    """" 41" for Debian's unicode-cldr-core 41-0.1, or nothing."""
    try:
        out = subprocess.run(["dpkg-query", "-W", "-f", "${Version}", "unicode-cldr-core"],
                             capture_output=True, text=True, check=False).stdout
    except OSError:
        return ""
    m = re.match(r"(?:\d+:)?(\d+)", out)
    return " " + m.group(1) if m else ""


def write(path, report):
    lines = [f"; Keyboard languages generated from CLDR{cldr_version()} (unicode-cldr-core) by tools/cldrlanguages. Do not edit.",
             "; Letter sequences (a letter with a combining mark) are typed as the letter and then the mark:",
             "; each language's marks are keys of its own. Sequences of letters only (digraphs) are left out.",
             "; Per language, sequences turned into marks / digraphs left out:"]
    for i in range(0, len(report.notes), 8):
        lines.append(";   " + ", ".join(report.notes[i:i + 8]))
    if report.too_large:
        lines.append("; Left out, more than 255 keys: " + ", ".join(report.too_large))
    lines += ["[Umbrill]", "Languages=" + ",".join(code for code, _, _ in report.languages), ""]
    for code, entry, names in report.languages:
        lines += [f"[{code}]", f"Entry={entry}", f"Own={clean(names['Own'])}"]
        lines += [f"{interface}={clean(names[interface])}" for interface in INTERFACE_LANGUAGES]
        lines.append("")
    data = ("\ufeff" + "\n".join(lines)).encode("utf-8")
    temporary = path + ".tmp"
    with open(temporary, "wb") as f:
        f.write(data)
    os.replace(temporary, path)
    return len(data)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--cldr", required=True, help="CLDR's common folder")
    parser.add_argument("--special-casing", required=True, help="Unicode's SpecialCasing.txt")
    parser.add_argument("--font-files", help="a file naming the font files to choose key fonts from, one a line")
    parser.add_argument("--fonts-complete", action="store_true",
                        help="every font package is installed: a language whose letters no face has stops the run")
    parser.add_argument("--output", required=True)
    parser.add_argument("--minimum", type=int, default=150, help="fewest languages that make a sound catalogue")
    args = parser.parse_args()
    started = time.monotonic()
    try:
        report = generate(args)
    except Failure as failure:
        print(f"cldrlanguages: {failure}", file=sys.stderr)
        return 1
    size = write(args.output, report)
    seconds = time.monotonic() - started
    print(f"cldrlanguages: {len(report.languages)} languages, {size} bytes, {seconds:.1f} s; "
          f"{report.sequences} letter sequences typed as letter and mark, {report.digraphs} digraphs left out")
    if report.too_large:
        print("cldrlanguages: left out, more than 255 keys: " + ", ".join(report.too_large))
    if report.no_glyphs:
        print("cldrlanguages: no face of the font packages has every letter of: " + "; ".join(report.no_glyphs))
    return 0


if __name__ == "__main__":
    sys.exit(main())
