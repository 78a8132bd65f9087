// The rich-text writer: RTF that real readers decode to the same characters,
// font and size; the HTML fragment; the two payload shapes.
#include "core/keypad/richtext.h"

#include "core/text/ansi.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <unistd.h>

namespace umbrill {
namespace {

// The body of a one-font document: everything after the font table and size.
std::string rtfBody(const std::string &rtf)
{
    const auto start = rtf.find(' ', rtf.find(";}}\\f0"));
    return rtf.substr(start + 1, rtf.size() - start - 2);
}

TEST(RtfWriter, WritesTheDocumentFrame)
{
    EXPECT_EQ(rtfFromText(u"é", "Arial", 12),
              "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}\\f0\\fs24 \\u233\\'e9}");
}

TEST(RtfWriter, EscapesEveryCharacter)
{
    struct Row {
        const char *name;
        std::u16string text;
        std::string body;
    };
    const Row rows[] = {
        {"ASCII stays", u"ab 1;", "ab 1;"},
        {"markup characters are escaped", u"\\{}", "\\\\\\{\\}"},
        {"Windows-1252 fallback", u"œ€ÿ", "\\u339\\'9c\\u8364\\'80\\u255\\'ff"},
        {"missing from the page", u"ŭ中", "\\u365\\'3f\\u20013\\'3f"},
        {"units above 32767 are negative", u"\uFFFD\uF8FF", "\\u-3\\'3f\\u-1793\\'3f"},
        {"beyond U+FFFF as two surrogates", u"\U0001D11E", "\\u-10188\\'3f\\u-8930\\'3f"},
        {"lone surrogate", u"\xDC00", "\\u-9216\\'3f"},
        {"fallback never joins a following letter", u"ŭx", "\\u365\\'3fx"},
        {"tab and line ends", u"a\tb\r\nc\nd\re", "a\\tab b\\line c\\line d\\line e"},
        {"other controls as bytes", u"\x01\x7F", "\\'01\\'7f"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(rtfBody(rtfFromText(row.text, "Arial", 12)), row.body);
    }
}

TEST(RtfWriter, FontTableAndSize)
{
    struct Row {
        const char *name;
        std::string face;
        std::int32_t points;
        std::string head;
    };
    const Row rows[] = {
        {"plain face", "Times New Roman", 10, "{\\f0\\fnil\\fcharset0 Times New Roman;}}\\f0\\fs20 "},
        {"semicolon cannot end the name", "A;B", 9, "{\\f0\\fnil\\fcharset0 A\\'3bB;}}\\f0\\fs18 "},
        {"markup and accents in the name", "{É}\\ŭ", 9,
         "{\\f0\\fnil\\fcharset0 \\{\\u201\\'c9\\}\\\\\\u365\\'3f;}}\\f0\\fs18 "},
        {"no size named for zero", "Arial", 0, "{\\f0\\fnil\\fcharset0 Arial;}}\\f0 "},
        {"no size named for negatives", "Arial", -12, "{\\f0\\fnil\\fcharset0 Arial;}}\\f0 "},
        {"huge sizes are capped", "Arial", 2147483647, "{\\f0\\fnil\\fcharset0 Arial;}}\\f0\\fs3276 "},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const std::string rtf = rtfFromText(u"x", row.face, row.points);
        EXPECT_NE(rtf.find(row.head), std::string::npos) << rtf;
        EXPECT_EQ(rtf.back(), '}');
        EXPECT_EQ(rtf.find("\\par"), std::string::npos);
    }
}

// Decodes the character references unrtf writes, joining surrogate pairs; an
// entity this table does not know fails the test rather than passing unread.
std::u16string decodeUnrtfText(std::string_view html)
{
    static const std::map<std::string, std::u16string> kNamed = {
        {"amp", u"&"}, {"lt", u"<"}, {"gt", u">"}, {"quot", u"\""}, {"nbsp", u"\u00A0"},
        {"eacute", u"é"}, {"oelig", u"œ"},
    };
    std::u16string out;
    std::size_t i = 0;
    while (i < html.size()) {
        if (html[i] != '&') {
            const auto next = html.find('&', i);
            out += wideFromUtf8(html.substr(i, next == std::string_view::npos ? next : next - i));
            i = next == std::string_view::npos ? html.size() : next;
            continue;
        }
        const auto end = html.find(';', i);
        if (end == std::string_view::npos) {
            ADD_FAILURE() << "unterminated reference in " << html;
            break;
        }
        const std::string name(html.substr(i + 1, end - i - 1));
        if (!name.empty() && name[0] == '#') {
            out += static_cast<char16_t>(std::stoi(name.substr(1)));
        } else if (const auto found = kNamed.find(name); found != kNamed.end()) {
            out += found->second;
        } else {
            ADD_FAILURE() << "unknown entity &" << name << ";";
        }
        i = end + 1;
    }
    return out;
}

std::optional<std::string> runUnrtf(const std::string &rtf)
{
    std::string path = (std::filesystem::temp_directory_path() / "umbrill-rtf-XXXXXX").string();
    const int fd = mkstemp(path.data());
    if (fd < 0)
        return std::nullopt;
    close(fd);
    std::ofstream(path, std::ios::binary) << rtf;
    std::optional<std::string> out;
    if (FILE *pipe = popen(("unrtf --html '" + path + "' 2>/dev/null").c_str(), "r")) {
        out.emplace();
        std::array<char, 4096> buffer;
        while (const std::size_t n = fread(buffer.data(), 1, buffer.size(), pipe))
            out->append(buffer.data(), n);
        if (pclose(pipe) != 0)
            out.reset();
    }
    std::filesystem::remove(path);
    return out;
}

TEST(RtfWriter, UnrtfReadsFaceSizeAndCharacters)
{
    if (std::system("command -v unrtf >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "unrtf is not installed (Debian package unrtf); the RTF was not checked by a reader";

    const std::u16string text = u"a{b}\\c &< é œ ŭx 中y \U0001F600z";
    const std::optional<std::string> html = runUnrtf(rtfFromText(text, "DejaVu Sans", 13));
    ASSERT_TRUE(html.has_value()) << "unrtf failed";
    EXPECT_NE(html->find("<font face=\"DejaVu Sans\">"), std::string::npos) << *html;

    // unrtf writes sizes without an HTML size of their own as a pt span.
    const std::string open = "<span style=\"font-size:13pt\">";
    const auto start = html->find(open);
    ASSERT_NE(start, std::string::npos) << *html;
    const auto end = html->find("</span>", start);
    ASSERT_NE(end, std::string::npos) << *html;
    const std::u16string decoded = decodeUnrtfText(
        std::string_view(*html).substr(start + open.size(), end - start - open.size()));
    EXPECT_EQ(utf8FromWide(decoded), utf8FromWide(text));
}

TEST(HtmlWriter, NamesFaceAndSizeAndEscapesTheText)
{
    EXPECT_EQ(htmlFromText(u"a<b>&\"c\"\r\nd\U0001F600", "DejaVu Sans", 12),
              "<meta charset=\"utf-8\"><span style=\"font-family:'DejaVu Sans';font-size:12pt\">"
              "a&lt;b&gt;&amp;&quot;c&quot;<br>d\xF0\x9F\x98\x80</span>");
    EXPECT_EQ(htmlFromText(u"x", "O'Brien \"&\\", 0),
              "<meta charset=\"utf-8\"><span style=\"font-family:'O\\'Brien &quot;&amp;\\\\'\">x</span>");
    EXPECT_EQ(htmlFromText(u"x", "", -1), "<meta charset=\"utf-8\"><span>x</span>");
    EXPECT_EQ(htmlFromText(u"x", "A", 5000),
              "<meta charset=\"utf-8\"><span style=\"font-family:'A';font-size:1638pt\">x</span>");
}

TEST(Payloads, PlainTextIsTheUtf8OfTheAnsiText)
{
    const ClipboardPayload payload = plainTextPayload("caf\xE9 \x9C?");
    ASSERT_EQ(payload.formats.size(), 2u);
    EXPECT_EQ(*payload.find(kMimePlainText), "caf\xC3\xA9 \xC5\x93?");
    EXPECT_EQ(*payload.find(kMimePlainTextUtf8), "caf\xC3\xA9 \xC5\x93?");
    EXPECT_EQ(payload.find(kMimeRtf), nullptr);
}

TEST(Payloads, PlainTextEndsAtItsFirstNul)
{
    using namespace std::string_view_literals;
    EXPECT_EQ(*plainTextPayload("\0"sv).find(kMimePlainText), "");
    EXPECT_EQ(*plainTextPayload("ab\0c"sv).find(kMimePlainTextUtf8), "ab");
    // Text that is UTF-8 already keeps every character, as far as its NUL.
    const ClipboardPayload whole = utf8TextPayload("\xC8\x99\xF0\x9F\x98\x80\0x"sv);
    ASSERT_EQ(whole.formats.size(), 2u);
    EXPECT_EQ(*whole.find(kMimePlainText), "\xC8\x99\xF0\x9F\x98\x80");
    EXPECT_EQ(*whole.find(kMimePlainTextUtf8), "\xC8\x99\xF0\x9F\x98\x80");
    const ClipboardPayload rich = richTextPayload(u"a\0b"sv, "Arial", 8);
    EXPECT_EQ(*rich.find(kMimePlainText), "a");
    EXPECT_EQ(*rich.find(kMimePlainTextUtf8), "a");
}

TEST(Payloads, RichTextOffersRtfHtmlAndTheWholeText)
{
    const std::u16string text = u"é\U0001D11E";
    const ClipboardPayload payload = richTextPayload(text, "Gentium", 20);
    std::vector<std::string> types;
    for (const auto &format : payload.formats)
        types.push_back(format.first);
    EXPECT_EQ(types, (std::vector<std::string>{"text/rtf", "application/rtf", "text/html", "text/plain",
                                               "text/plain;charset=utf-8"}));
    EXPECT_EQ(*payload.find(kMimeRtf), rtfFromText(text, "Gentium", 20));
    EXPECT_EQ(*payload.find(kMimeApplicationRtf), *payload.find(kMimeRtf));
    EXPECT_EQ(*payload.find(kMimeHtml), htmlFromText(text, "Gentium", 20));
    EXPECT_EQ(*payload.find(kMimePlainText), "\xC3\xA9\xF0\x9D\x84\x9E");
    EXPECT_EQ(*payload.find(kMimePlainTextUtf8), "\xC3\xA9\xF0\x9D\x84\x9E");
}

} // namespace
} // namespace umbrill
