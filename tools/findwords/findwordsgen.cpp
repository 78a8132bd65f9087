// Writes the table of everyday words that Find searches beside the Unicode
// names (see src/core/names/everydaywords.h) from the Debian packages'
// data: Unicode's names list, the CLDR annotations, the X11 Compose file, and
// our own short list. Run at build time; prints the table's size.
//
// It also writes the letters of the four languages (CLDR's exemplar
// characters) and the plainer sign of each heavy, ornament or single form.
//
// findwordsgen --names NamesList.txt --cldr <cldr common folder>
//              --compose Compose --own everydaywords.txt --output table.cpp
#include "core/names/everydaywords.h"
#include "core/names/wordfold.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

namespace {

enum Kind { Words = 0, Tag = 1, Sequence = 2 };

struct Key {
    int kind;
    std::string text;
    char32_t character;
    bool operator<(const Key &other) const
    {
        return std::tie(character, kind, text) < std::tie(other.character, other.kind, other.text);
    }
};

std::map<Key, unsigned> table;  // languages of each row
std::set<char32_t> letters;      // the four languages' letters
std::vector<std::pair<char32_t, char32_t>> variants;  // a variant and its plain sign

std::string readFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> linesOf(const std::string &text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// The one code point of a UTF-8 text, a variation selector 16 after it left
// out; -1 for anything else.
long singleCharacter(const std::string &utf8)
{
    std::vector<UChar32> points;
    const auto *bytes = reinterpret_cast<const std::uint8_t *>(utf8.data());
    const auto size = static_cast<int32_t>(utf8.size());
    for (int32_t i = 0; i < size;) {
        UChar32 c = 0;
        U8_NEXT(bytes, i, size, c);
        if (c < 0)
            return -1;
        if (c != 0xFE0F)
            points.push_back(c);
    }
    return points.size() == 1 ? points[0] : -1;
}

// A character a user can be offered: assigned, and neither a control nor a
// surrogate nor private use.
bool offered(long c)
{
    if (c < 0 || c > 0x10FFFF)
        return false;
    const auto type = u_charType(static_cast<UChar32>(c));
    return type != U_UNASSIGNED && type != U_CONTROL_CHAR && type != U_SURROGATE && type != U_PRIVATE_USE_CHAR;
}

void addWords(long c, const std::string &phrase, unsigned languages, Kind kind = Words)
{
    if (!offered(c))
        return;
    const std::string folded = umbrill::foldForSearch(phrase);
    if (folded.empty() || folded.size() > 255)
        return;
    table[{kind, folded, static_cast<char32_t>(c)}] |= languages;
}

void addSequence(long c, const std::string &keys)
{
    if (!offered(c) || keys.empty() || keys.size() > 255)
        return;
    table[{Sequence, keys, static_cast<char32_t>(c)}] |= 0;
}

std::vector<std::string> splitBars(const std::string &text)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('|', start);
        if (end == std::string::npos)
            end = text.size();
        std::string part = text.substr(start, end - start);
        part.erase(0, part.find_first_not_of(" \t"));
        part.erase(part.find_last_not_of(" \t") + 1);
        if (!part.empty())
            parts.push_back(part);
        start = end + 1;
    }
    return parts;
}

// Informal aliases: "\t= Eszett" under the line of 00DF.
void readNamesList(const std::string &path)
{
    const std::regex codeLine("^([0-9A-F]{4,6})\t.*");
    long current = -1;
    for (const std::string &line : linesOf(readFile(path))) {
        std::smatch m;
        if (std::regex_match(line, m, codeLine))
            current = std::stol(m[1].str(), nullptr, 16);
        else if (line.rfind("\t= ", 0) == 0 && current >= 0)
            addWords(current, line.substr(3), umbrill::kWordEnglish);
        else if (!line.empty() && line[0] != '\t')
            current = -1;
    }
}

std::string xmlText(std::string text)
{
    static const std::pair<const char *, const char *> entities[] = {
        {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&amp;", "&"}};
    for (const auto &[entity, character] : entities) {
        for (std::size_t at = text.find(entity); at != std::string::npos; at = text.find(entity, at + 1))
            text.replace(at, std::char_traits<char>::length(entity), character);
    }
    return text;
}

// <annotation cp="±">plus-minus</annotation>, its tags, and its type="tts" name; rows
// still in draft as unconfirmed or provisional are left out.
void readAnnotations(const std::string &path, unsigned language)
{
    const std::regex row("<annotation cp=\"([^\"]*)\"([^>]*)>([^<]*)</annotation>");
    for (const std::string &line : linesOf(readFile(path))) {
        std::smatch m;
        if (!std::regex_search(line, m, row))
            continue;
        const std::string attributes = m[2].str();
        if (attributes.find("unconfirmed") != std::string::npos || attributes.find("provisional") != std::string::npos)
            continue;
        const long c = singleCharacter(xmlText(m[1].str()));
        // The short name of an emoji is as loose as its tags ("right arrow" is
        // the heavy arrow emoji, not the arrow people mean).
        const bool emoji = c >= 0x2000 && c <= 0x10FFFF && u_hasBinaryProperty(static_cast<UChar32>(c), UCHAR_EMOJI);
        const Kind kind = attributes.find("tts") != std::string::npos && !emoji ? Words : Tag;
        for (const std::string &phrase : splitBars(xmlText(m[3].str())))
            addWords(c, phrase, language, kind);
    }
}

// The keys of a Compose sequence as they are typed: keysym names of the
// printable ASCII characters.
int keyOf(const std::string &keysym)
{
    if (keysym.size() == 1 && std::isalnum(static_cast<unsigned char>(keysym[0])))
        return keysym[0];
    static const std::map<std::string, char> names = {
        {"exclam", '!'}, {"quotedbl", '"'}, {"numbersign", '#'}, {"dollar", '$'}, {"percent", '%'},
        {"ampersand", '&'}, {"apostrophe", '\''}, {"parenleft", '('}, {"parenright", ')'}, {"asterisk", '*'},
        {"plus", '+'}, {"comma", ','}, {"minus", '-'}, {"period", '.'}, {"slash", '/'}, {"colon", ':'},
        {"semicolon", ';'}, {"less", '<'}, {"equal", '='}, {"greater", '>'}, {"question", '?'}, {"at", '@'},
        {"bracketleft", '['}, {"backslash", '\\'}, {"bracketright", ']'}, {"asciicircum", '^'},
        {"underscore", '_'}, {"grave", '`'}, {"braceleft", '{'}, {"bar", '|'}, {"braceright", '}'},
        {"asciitilde", '~'}};
    const auto found = names.find(keysym);
    return found == names.end() ? -1 : found->second;
}

// <Multi_key> <o> <slash> : "ø" oslash; sequences of other keys (dead keys,
// the keypad, the space bar) are not what a user types into a search field.
void readCompose(const std::string &path)
{
    const std::regex row("^<Multi_key>((?:\\s*<[A-Za-z0-9_]+>)+)\\s*:\\s*\"((?:[^\"\\\\]|\\\\.)*)\".*");
    const std::regex key("<([A-Za-z0-9_]+)>");
    for (const std::string &line : linesOf(readFile(path))) {
        std::smatch m;
        if (!std::regex_match(line, m, row))
            continue;
        std::string keys;
        const std::string keysyms = m[1].str();
        bool typeable = true;
        for (auto it = std::sregex_iterator(keysyms.begin(), keysyms.end(), key); it != std::sregex_iterator(); ++it) {
            const int k = keyOf((*it)[1].str());
            typeable = typeable && k >= 0;
            keys += static_cast<char>(k);
        }
        std::string value;
        const std::string quoted = m[2].str();
        for (std::size_t i = 0; i < quoted.size(); ++i)
            value += quoted[i] == '\\' && i + 1 < quoted.size() ? quoted[++i] : quoted[i];
        if (typeable)
            addSequence(singleCharacter(value), keys);
    }
}

// Our own list: "U+00BD<TAB>seq<TAB>1/2" or "U+263A<TAB>en de<TAB>smiley | smiley face".
void readOwn(const std::string &path)
{
    int number = 0;
    for (const std::string &line : linesOf(readFile(path))) {
        ++number;
        if (line.empty() || line[0] == '#')
            continue;
        const std::size_t tab1 = line.find('\t');
        const std::size_t tab2 = tab1 == std::string::npos ? tab1 : line.find('\t', tab1 + 1);
        if (tab2 == std::string::npos || line.rfind("U+", 0) != 0)
            throw std::runtime_error(path + ":" + std::to_string(number) + ": expected U+code, languages, words");
        const long c = std::stol(line.substr(2, tab1 - 2), nullptr, 16);
        const std::string languages = line.substr(tab1 + 1, tab2 - tab1 - 1);
        unsigned mask = 0;
        bool sequence = false;
        std::istringstream names(languages);
        for (std::string name; names >> name;) {
            if (name == "seq")
                sequence = true;
            else if (name == "en")
                mask |= umbrill::kWordEnglish;
            else if (name == "de")
                mask |= umbrill::kWordGerman;
            else if (name == "fr")
                mask |= umbrill::kWordFrench;
            else if (name == "es")
                mask |= umbrill::kWordSpanish;
            else
                throw std::runtime_error(path + ":" + std::to_string(number) + ": unknown language " + name);
        }
        if (!offered(c))
            throw std::runtime_error(path + ":" + std::to_string(number) + ": not a character one can offer");
        for (const std::string &phrase : splitBars(line.substr(tab2 + 1))) {
            if (sequence)
                addSequence(c, phrase);
            else
                addWords(c, phrase, mask);
        }
    }
}

// <exemplarCharacters>[a ä b ...]</exemplarCharacters> and its auxiliary set:
// every letter that stands alone (no range, no sequence in braces), small and
// capital.
void readExemplars(const std::string &path)
{
    const std::regex row("<exemplarCharacters(?: type=\"auxiliary\")?>\\[([^\\]]*)\\]</exemplarCharacters>");
    const std::string text = readFile(path);
    int sets = 0;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), row); it != std::sregex_iterator(); ++it) {
        ++sets;
        std::istringstream items((*it)[1].str());
        for (std::string item; items >> item;) {
            const long c = singleCharacter(item);
            if (c < 0 || !u_isalpha(static_cast<UChar32>(c)))
                continue;
            letters.insert(static_cast<char32_t>(u_tolower(static_cast<UChar32>(c))));
            letters.insert(static_cast<char32_t>(u_toupper(static_cast<UChar32>(c))));
        }
    }
    if (sets == 0)
        throw std::runtime_error(path + ": no exemplar characters");
}

// The words of a name in order, split at blanks.
std::vector<std::string> wordsOf(const std::string &name)
{
    std::vector<std::string> words;
    std::istringstream in(name);
    for (std::string word; in >> word;)
        words.push_back(word);
    std::sort(words.begin(), words.end());
    return words;
}

// A sign whose name is a plainer sign's name with HEAVY, BLACK, WHITE or
// ORNAMENT added ("HEAVY CHECK MARK", "LEFTWARDS BLACK ARROW"), or with
// DOUBLE made SINGLE ("LEFT SINGLE QUOTATION MARK"), is a variant of it;
// the typewriter's apostrophe is the single form of its quotation mark and of
// the typographic double quotation marks. A plain sign is
// neither an emoji in colour by default nor beyond the first plane.
void findVariants()
{
    std::map<std::vector<std::string>, char32_t> byWords;
    std::vector<std::pair<char32_t, std::string>> names;
    for (UChar32 c = 0x20; c < 0x10000; ++c) {
        std::array<char, 128> name{};
        UErrorCode status = U_ZERO_ERROR;
        const int32_t length = u_charName(c, U_UNICODE_CHAR_NAME, name.data(), static_cast<int32_t>(name.size()), &status);
        if (U_FAILURE(status) || length <= 0 || u_isalpha(c))
            continue;
        const std::string text(name.data(), static_cast<std::size_t>(length));
        names.emplace_back(static_cast<char32_t>(c), text);
        if (!u_hasBinaryProperty(c, UCHAR_EMOJI_PRESENTATION))
            byWords.emplace(wordsOf(text), static_cast<char32_t>(c));
    }
    static const std::set<std::string> heavier = {"HEAVY", "BLACK", "WHITE", "ORNAMENT"};
    for (const auto &[c, name] : names) {
        std::vector<std::string> plain;
        bool changed = false;
        for (const std::string &word : wordsOf(name)) {
            if (heavier.count(word)) {
                changed = true;
            } else if (word == "SINGLE") {
                plain.push_back("DOUBLE");
                changed = true;
            } else {
                plain.push_back(word);
            }
        }
        std::sort(plain.begin(), plain.end());
        const auto found = byWords.find(plain);
        if (changed && found != byWords.end() && found->second != c)
            variants.emplace_back(c, found->second);
    }
    for (char32_t plain : {U'"', U'\u201C', U'\u201D', U'\u201E'})
        variants.emplace_back(U'\'', plain);
    std::sort(variants.begin(), variants.end());
}

std::string cString(const std::string &bytes)
{
    std::string out;
    int column = 0;
    out += '"';
    for (unsigned char b : bytes) {
        if (column > 100) {
            out += "\"\n\"";
            column = 0;
        }
        if (b == '"' || b == '\\') {
            out += '\\';
            out += static_cast<char>(b);
        } else if (b >= 0x20 && b < 0x7F && b != '?') {
            out += static_cast<char>(b);
        } else {
            char octal[8];
            std::snprintf(octal, sizeof octal, "\\%03o", b);
            out += octal;
        }
        ++column;
    }
    out += '"';
    return out;
}

// Rows that can find nothing their character's Unicode name or another row
// of it does not find as well: the name itself, and a tag that is also one
// of the character's other names.
void dropRedundant()
{
    for (auto it = table.begin(); it != table.end();) {
        const Key &key = it->first;
        bool redundant = false;
        if (key.kind != Sequence) {
            std::array<char, 128> name{};
            UErrorCode status = U_ZERO_ERROR;
            const int32_t length = u_charName(static_cast<UChar32>(key.character), U_UNICODE_CHAR_NAME, name.data(),
                                              static_cast<int32_t>(name.size()), &status);
            redundant = U_SUCCESS(status) && length > 0
                        && umbrill::foldForSearch(std::string(name.data(), static_cast<std::size_t>(length))) == key.text;
        }
        if (key.kind == Tag) {
            const auto named = table.find({Words, key.text, key.character});
            if (named != table.end() && (named->second | it->second) == named->second)
                redundant = true;
        }
        it = redundant ? table.erase(it) : std::next(it);
    }
}

void write(const std::string &path)
{
    // Each distinct text once.
    std::map<std::string, std::uint32_t> offsets;
    std::string text;
    for (const auto &[key, languages] : table) {
        if (offsets.emplace(key.text, static_cast<std::uint32_t>(text.size())).second)
            text += key.text;
    }
    if (text.size() >= (1u << umbrill::EverydayWord::kOffsetBits))
        throw std::runtime_error("the text of the everyday words outgrew the table's offsets");
    std::ostringstream out;
    out << "// Written by tools/findwords/findwordsgen.cpp at build time.\n"
           "#include \"core/names/everydaywords.h\"\n\n"
           "#pragma GCC diagnostic ignored \"-Woverlength-strings\"\n\n"
           "namespace umbrill {\nnamespace {\n\n"
           "// In a section of their own, away from the data that start-up reads, so\n"
           "// that no page of them is mapped before Find first searches.\n"
           "[[gnu::section(\"umbrill_everyday\")]] constexpr char kText[] =\n"
        << cString(text) << ";\n\n[[gnu::section(\"umbrill_everyday\")]] constexpr EverydayWord kWords[] = {\n";
    for (const auto &[key, languages] : table) {
        const auto kind = key.kind == Words ? umbrill::EverydayKind::Words
                          : key.kind == Tag ? umbrill::EverydayKind::Tag
                                            : umbrill::EverydayKind::Sequence;
        out << "{" << umbrill::EverydayWord::pack(offsets[key.text], static_cast<std::uint32_t>(key.text.size()),
                                                    languages, kind)
            << "u,0x" << std::hex << static_cast<unsigned long>(key.character) << std::dec << "},\n";
    }
    out << "};\n\n[[gnu::section(\"umbrill_everyday\")]] constexpr char32_t kLetters[] = {";
    for (char32_t c : letters)
        out << "0x" << std::hex << static_cast<unsigned long>(c) << std::dec << ",";
    out << "};\n\n[[gnu::section(\"umbrill_everyday\")]] constexpr SignVariant kVariants[] = {\n";
    for (const auto &[variant, plain] : variants)
        out << "{0x" << std::hex << static_cast<unsigned long>(variant) << ",0x" << static_cast<unsigned long>(plain)
            << std::dec << "},\n";
    out << "};\n\n} // namespace\n\n"
           "std::string_view everydayWordText() { return {kText, sizeof kText - 1}; }\n"
           "std::span<const EverydayWord> everydayWords() { return kWords; }\n"
           "std::span<const char32_t> everydayLetters() { return kLetters; }\n"
           "std::span<const SignVariant> signVariants() { return kVariants; }\n\n"
           "} // namespace umbrill\n";
    const std::string written = out.str();
    if (std::ifstream old(path, std::ios::binary); old) {
        std::ostringstream before;
        before << old.rdbuf();
        if (before.str() == written)
            return;
    }
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << written;
    if (!file)
        throw std::runtime_error("cannot write " + path);
    std::cout << "everyday words: " << table.size() << " rows, " << text.size() << " bytes of text, "
              << table.size() * sizeof(umbrill::EverydayWord) + text.size() << " bytes in all; " << letters.size()
              << " everyday letters, " << variants.size() << " sign variants\n";
}

} // namespace

int main(int argc, char **argv)
{
    std::map<std::string, std::string> args;
    for (int i = 1; i + 1 < argc; i += 2)
        args[argv[i]] = argv[i + 1];
    for (const char *needed : {"--names", "--cldr", "--compose", "--own", "--output"}) {
        if (!args.count(needed)) {
            std::cerr << "findwordsgen: " << needed << " is missing\n";
            return 2;
        }
    }
    try {
        readNamesList(args["--names"]);
        const std::pair<const char *, unsigned> languages[] = {
            {"en", umbrill::kWordEnglish}, {"de", umbrill::kWordGerman},
            {"fr", umbrill::kWordFrench}, {"es", umbrill::kWordSpanish}};
        for (const auto &[name, mask] : languages) {
            readAnnotations(args["--cldr"] + "/annotations/" + name + ".xml", mask);
            readAnnotations(args["--cldr"] + "/annotationsDerived/" + name + ".xml", mask);
            readExemplars(args["--cldr"] + "/main/" + name + ".xml");
        }
        findVariants();
        readCompose(args["--compose"]);
        readOwn(args["--own"]);
        dropRedundant();
        write(args["--output"]);
    } catch (const std::exception &error) {
        std::cerr << "findwordsgen: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
