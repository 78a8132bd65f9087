// The observed behaviours of the Windows profile functions, row by row, against
// readProfileString and writeProfileString on real files.
#include "core/settings/profilefile.h"
#include "core/text/ansi.h"
#include "core/text/error.h"
#include "testfiles.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <vector>

namespace umbrill {
namespace {

using namespace umbrill::testing;

// The table's escapes: \\ \t \r \n \s (blank) \xHH.
std::string unescape(std::string_view s)
{
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '\\' || i + 1 >= s.size()) {
            out += s[i];
            continue;
        }
        const char c = s[++i];
        switch (c) {
        case 't': out += '\t'; break;
        case 'r': out += '\r'; break;
        case 'n': out += '\n'; break;
        case 's': out += ' '; break;
        case 'x':
            out += static_cast<char>(std::stoi(std::string(s.substr(i + 1, 2)), nullptr, 16));
            i += 2;
            break;
        default: out += c; break;
        }
    }
    return out;
}

using Row = std::map<std::string, std::string>;

std::vector<Row> loadTable()
{
    std::ifstream in(fs::path(UMBRILL_SOURCE_DIR) / "tests/data/settings/profile_cases.tsv", std::ios::binary);
    std::vector<std::string> columns;
    std::vector<Row> rows;
    for (std::string line; std::getline(in, line);) {
        std::vector<std::string> fields;
        std::size_t start = 0;
        for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
            fields.push_back(line.substr(start, tab - start));
        fields.push_back(line.substr(start));
        if (columns.empty()) {
            columns = fields;
            continue;
        }
        Row row;
        for (std::size_t i = 0; i < columns.size() && i < fields.size(); ++i)
            row[columns[i]] = fields[i];
        rows.push_back(row);
    }
    return rows;
}

std::string alphabet(std::size_t n)
{
    std::string s;
    for (std::size_t i = 0; i < n; ++i)
        s += static_cast<char>('a' + i % 26);
    return s;
}

// Where the program's answer is not the `result` column: what Windows does
// (rows marked DIFFERS), the in-place writer, and deliberate choices. Expected
// texts use the table's escapes.
struct Override {
    std::string expected;
    const char *why;
};

const std::map<std::string, Override> &overrides()
{
    static const std::map<std::string, Override> table = {
        {"get-query-section-tab", {"dflt", "Windows: tabs are not stripped from a queried name"}},
        {"get-query-key-tab", {"dflt", "Windows: tabs are not stripped from a queried name"}},
        {"get-empty-section-name", {"dflt", "Windows: keys before the first section belong to none"}},
        {"get-semicolon-key-lookup", {"dflt", "Windows: a comment line is never a key"}},
        {"get-semicolon-indented-key-lookup", {"dflt", "Windows: a comment line is never a key"}},
        {"get-bom-utf8-nonascii", {"caf\\xe9", "ours: a UTF-8 file is read as UTF-8"}},
        {"get-bom-utf8-unmappable", {"\\x80?\\x9c", "ours: UTF-8 read as UTF-8 (ANSI form compared)"}},
        {"get-bom-utf8-no-section-match-without", {"dflt", "Windows: keys before the first section belong to none"}},
        {"get-section-inner-bracket", {"dflt", "Windows: a section name ends at the first ']'"}},
        {"get-section-unclosed", {"dflt", "Windows: '[t' opens section t"}},
        {"get-section-unclosed-lookup", {"2", "Windows: '[t' opens section t"}},
        {"get-key-starting-bracket", {"dflt", "Windows' rule above: a line starting with '[' opens a section"}},
        {"get-quoted-2047", {alphabet(2047), "ours: quotes go first, then 2047 characters arrive (the observed answer loses one)"}},
        {"put-replace-preserve",
         {"; top comment\\r\\n\\r\\n[Umbrill]\\r\\n  Languages  =  French,German  \\r\\n; comment inside\\r\\n"
          "French = \"Times\",10,6,224\\r\\n\\r\\n# hash comment\\r\\n[Other]\\r\\nx=1\\r\\n",
          "Windows edits in place"}},
        {"put-replace-lf-file", {"[s]\\nk=new\\nj=2\\n", "in place: line breaks kept"}},
        {"put-replace-nul-before-section", {"Data \\x00 before\\r\\n[s]\\r\\nk=new\\r\\n", "Windows keeps the bytes"}},
        {"put-add-key-after-comment",
         {"[a]\\r\\nx=1\\r\\nk=v\\r\\n; about b\\r\\n[b]\\r\\ny=2\\r\\n", "Windows: right after the last key"}},
        {"put-add-section-lf-file", {"[a]\\nx=1\\n[b]\\nk=v\\n", "in place: the file's own line break"}},
        {"put-value-leading-blank", {"[s]\\r\\nk= v\\r\\n", "Windows writes the value as given"}},
        {"put-value-cp1252-bom-file",
         {"\\xef\\xbb\\xbf[s]\\r\\nk=Fran\\xc3\\xa7ais\\r\\n", "ours: a UTF-8 file stays UTF-8"}},
        {"put-new-key-blanks", {"[s]\\r\\nk=old\\r\\nn=new\\r\\n", "Windows strips a new key name"}},
    };
    return table;
}

// Rows the program cannot meet: other path forms, other buffer sizes, and
// enumeration and deletion through null arguments, none of which it uses.
const char *skipReason(const Row &row)
{
    if (row.at("path") == "bare" || row.at("path") == "dotrel")
        return "path form the program never uses";
    if (row.at("section") == "@NULL" || row.at("key") == "@NULL" || row.at("arg") == "@NULL")
        return "enumeration or deletion, which the program never does";
    if (row.at("op") == "get" && row.at("bufsize") != "2048")
        return "buffer size other than the program's 2048";
    return nullptr;
}

TEST(ProfileCases, TableIsPresentAndEveryOverrideNamesARow)
{
    const std::vector<Row> rows = loadTable();
    ASSERT_GE(rows.size(), 100u);
    std::set<std::string> ids;
    for (const Row &row : rows)
        ids.insert(row.at("id"));
    for (const auto &[id, override] : overrides()) {
        SCOPED_TRACE(id);
        EXPECT_TRUE(ids.count(id));
    }
}

TEST(ProfileCases, EveryRowWhereWindowsDiffersIsDecided)
{
    for (const Row &row : loadTable()) {
        if (row.at("windows").rfind("DIFFERS", 0) == 0 && !skipReason(row)) {
            SCOPED_TRACE(row.at("id"));
            EXPECT_TRUE(overrides().count(row.at("id")));
        }
    }
}

TEST(ProfileCases, ReadsAnswerAsObserved)
{
    int checked = 0;
    for (const Row &row : loadTable()) {
        if (row.at("op") != "get" || skipReason(row))
            continue;
        SCOPED_TRACE(row.at("id") + ": " + row.at("note"));
        TempDir dir;
        const fs::path file = dir / "test.ini";
        if (row.at("ini_in") != "<absent>")
            writeBytes(file, unescape(row.at("ini_in")));
        const auto it = overrides().find(row.at("id"));
        const std::string expected = unescape(it != overrides().end() ? it->second.expected : row.at("result"));

        // The table speaks ANSI, as the A functions do; this API speaks UTF-8.
        const std::string got = readProfileString(file, utf8FromAnsi(unescape(row.at("section"))),
                                                  utf8FromAnsi(unescape(row.at("key"))),
                                                  utf8FromAnsi(unescape(row.at("arg"))));
        EXPECT_EQ(ansiFromUtf8(got), expected);
        ++checked;
    }
    EXPECT_GE(checked, 75);
}

TEST(ProfileCases, WritesEditInPlaceAsObserved)
{
    int checked = 0;
    for (const Row &row : loadTable()) {
        if (row.at("op") != "put" || skipReason(row))
            continue;
        SCOPED_TRACE(row.at("id") + ": " + row.at("note"));
        TempDir dir;
        const fs::path file = dir / "test.ini";
        const bool absent = row.at("ini_in") == "<absent>";
        const std::string before = absent ? std::string() : unescape(row.at("ini_in"));
        if (!absent)
            writeBytes(file, before);
        if (row.at("setup") == "readonly")
            fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
        const ino_t inodeBefore = inodeOf(file);

        auto write = [&] {
            writeProfileString(file, utf8FromAnsi(unescape(row.at("section"))), utf8FromAnsi(unescape(row.at("key"))),
                               utf8FromAnsi(unescape(row.at("arg"))));
        };
        if (row.at("ret") == "0") {
            try {
                write();
                ADD_FAILURE() << "the write should have failed";
            } catch (const Error &e) {
                EXPECT_EQ(std::string(e.what()), "Unable to write to " + file.string());
            }
            EXPECT_EQ(readBytes(file), before);
        } else {
            write();
            const auto it = overrides().find(row.at("id"));
            const std::string expected = unescape(it != overrides().end() ? it->second.expected : row.at("result"));
            EXPECT_EQ(readBytes(file), expected);
            if (!absent && expected == before) {
                EXPECT_EQ(inodeOf(file), inodeBefore) << "an unchanged file must not be rewritten";
            }
        }
        ++checked;
    }
    EXPECT_GE(checked, 25);
}

} // namespace
} // namespace umbrill
