// The rich-text writer. The RTF is what a word processor needs to show the
// characters in the key font; readers that know no \u still get the
// Windows-1252 form of each character.
#include "core/keypad/richtext.h"

#include "core/text/ansi.h"

#include <algorithm>
#include <optional>

namespace umbrill {
namespace {

bool isHighSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool isLowSurrogate(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

std::optional<std::int32_t> writtenPoints(std::int32_t points)
{
    if (points <= 0)
        return std::nullopt;
    return std::min(points, kLargestRichTextPoints);
}

void appendHexByte(std::string &out, unsigned char byte)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    out += "\\'";
    out += kDigits[byte >> 4];
    out += kDigits[byte & 0x0F];
}

// \uN takes a signed 16-bit number: units above 32767 are written as negatives.
void appendUnicode(std::string &out, char16_t unit, char fallback)
{
    const int n = unit > 0x7FFF ? static_cast<int>(unit) - 0x10000 : static_cast<int>(unit);
    out += "\\u";
    out += std::to_string(n);
    appendHexByte(out, static_cast<unsigned char>(fallback));
}

enum class RtfContext { Body, FontName };

void appendRtfText(std::string &out, std::u16string_view text, RtfContext context)
{
    const bool body = context == RtfContext::Body;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t u = text[i];
        if (u == u'\\' || u == u'{' || u == u'}') {
            out += '\\';
            out += static_cast<char>(u);
        } else if (body && u == u'\t') {
            out += "\\tab ";
        } else if (body && (u == u'\r' || u == u'\n')) {
            if (u == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            out += "\\line ";
        } else if (u < 0x20 || u == 0x7F || (!body && u == u';')) {
            // ";" ends a name in the font table.
            appendHexByte(out, static_cast<unsigned char>(u));
        } else if (u < 0x80) {
            out += static_cast<char>(u);
        } else if (isHighSurrogate(u) && i + 1 < text.size() && isLowSurrogate(text[i + 1])) {
            appendUnicode(out, u, '?');
            appendUnicode(out, text[i + 1], '?');
            ++i;
        } else {
            appendUnicode(out, u, ansiFromWide(text.substr(i, 1)).front());
        }
    }
}

// Inside a single-quoted CSS string inside a double-quoted attribute.
std::string cssStringInAttribute(std::string_view utf8)
{
    std::string out;
    for (char c : utf8) {
        const auto b = static_cast<unsigned char>(c);
        if (c == '\\' || c == '\'') {
            out += '\\';
            out += c;
        } else if (b < 0x20 || b == 0x7F) {
            static constexpr char kDigits[] = "0123456789abcdef";
            out += '\\';
            out += kDigits[b >> 4];
            out += kDigits[b & 0x0F];
            out += ' ';
        } else if (c == '&') {
            out += "&amp;";
        } else if (c == '"') {
            out += "&quot;";
        } else if (c == '<') {
            out += "&lt;";
        } else if (c == '>') {
            out += "&gt;";
        } else {
            out += c;
        }
    }
    return out;
}

std::string htmlText(std::string_view utf8)
{
    std::string out;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const char c = utf8[i];
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\r':
            if (i + 1 < utf8.size() && utf8[i + 1] == '\n')
                ++i;
            out += "<br>";
            break;
        case '\n': out += "<br>"; break;
        default: out += c;
        }
    }
    return out;
}

} // namespace

std::string rtfFromText(std::u16string_view text, std::string_view face, std::int32_t points)
{
    std::string out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1{\\fonttbl{\\f0\\fnil\\fcharset0 ";
    appendRtfText(out, wideFromUtf8(face), RtfContext::FontName);
    out += ";}}\\f0";
    if (const auto written = writtenPoints(points)) {
        out += "\\fs";
        out += std::to_string(*written * 2);
    }
    out += ' ';
    appendRtfText(out, text, RtfContext::Body);
    out += '}';
    return out;
}

std::string htmlFromText(std::u16string_view text, std::string_view face, std::int32_t points)
{
    std::string style;
    if (!face.empty())
        style += "font-family:'" + cssStringInAttribute(utf8FromWide(wideFromUtf8(face))) + "'";
    if (const auto written = writtenPoints(points)) {
        if (!style.empty())
            style += ';';
        style += "font-size:" + std::to_string(*written) + "pt";
    }
    std::string out = "<meta charset=\"utf-8\"><span";
    if (!style.empty())
        out += " style=\"" + style + "\"";
    out += '>';
    out += htmlText(utf8FromWide(text));
    out += "</span>";
    return out;
}

namespace {
// Plain text ends at its first NUL, as every reader of the clipboard takes it.
std::string_view upToNul(std::string_view text) { return text.substr(0, text.find('\0')); }
} // namespace

ClipboardPayload plainTextPayload(std::string_view ansi) { return utf8TextPayload(utf8FromAnsi(upToNul(ansi))); }

ClipboardPayload utf8TextPayload(std::string_view utf8)
{
    const std::string text(upToNul(utf8));
    return ClipboardPayload{{
        {std::string(kMimePlainText), text},
        {std::string(kMimePlainTextUtf8), text},
    }};
}

ClipboardPayload richTextPayload(std::u16string_view text, std::string_view face, std::int32_t points)
{
    const std::string rtf = rtfFromText(text, face, points);
    const std::string utf8(upToNul(utf8FromWide(text)));
    return ClipboardPayload{{
        {std::string(kMimeRtf), rtf},
        {std::string(kMimeApplicationRtf), rtf},
        {std::string(kMimeHtml), htmlFromText(text, face, points)},
        {std::string(kMimePlainText), utf8},
        {std::string(kMimePlainTextUtf8), utf8},
    }};
}

} // namespace umbrill
