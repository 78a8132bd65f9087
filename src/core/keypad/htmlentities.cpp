// The HTML entity table and its lookup.
#include "core/keypad/htmlentities.h"

namespace umbrill {

const std::array<HtmlEntityRow, 79> HtmlEntityTable = {{
    {0x00C1, "&Aacute;"}, {0x00E1, "&aacute;"}, {0x00C0, "&Agrave;"}, {0x00E0, "&agrave;"},
    {0x00C4, "&Auml;"},   {0x00E4, "&auml;"},   {0x00C5, "&Aring;"},  {0x00E5, "&aring;"},
    {0x00C2, "&Acirc;"},  {0x00E2, "&acirc;"},  {0x00C7, "&Ccedil;"}, {0x00E7, "&ccedil;"},
    {0x00C8, "&Egrave;"}, {0x00E8, "&egrave;"}, {0x00C9, "&Eacute;"}, {0x00E9, "&eacute;"},
    {0x00CB, "&Euml;"},   {0x00EB, "&euml;"},   {0x00CA, "&Ecirc;"},  {0x00EA, "&ecirc;"},
    {0x00CD, "&Iacute;"}, {0x00ED, "&iacute;"}, {0x00CC, "&Igrave;"}, {0x00EC, "&igrave;"},
    {0x00CF, "&Iuml;"},   {0x00EF, "&iuml;"},   {0x00CE, "&Icirc;"},  {0x00EE, "&icirc;"},
    {0x00D3, "&Oacute;"}, {0x00F3, "&oacute;"}, {0x00D2, "&Ograve;"}, {0x00F2, "&ograve;"},
    {0x00D8, "&Oslash;"}, {0x00F8, "&oslash;"}, {0x00D6, "&Ouml;"},   {0x00F6, "&ouml;"},
    {0x00D4, "&Ocirc;"},  {0x00F4, "&ocirc;"},  {0x00D1, "&Ntilde;"}, {0x00F1, "&ntilde;"},
    {0x00DA, "&Uacute;"}, {0x00FA, "&uacute;"}, {0x00D9, "&Ugrave;"}, {0x00F9, "&ugrave;"},
    {0x00DC, "&Uuml;"},   {0x00FC, "&uuml;"},   {0x00DB, "&Ucirc;"},  {0x00FB, "&ucirc;"},
    {0x00DD, "&Yacute;"}, {0x00FD, "&yacute;"}, {0x00DF, "&szlig;"},  {0x00C6, "&AElig;"},
    {0x00E6, "&aelig;"},  {0x00D0, "&ETH;"},    {0x00F0, "&eth;"},    {0x00DE, "&THORN;"},
    {0x00FE, "&thorn;"},  {0x00A9, "&copy;"},   {0x00AE, "&reg;"},    {0x2122, "&trade;"},
    {0x00A4, "&curren;"}, {0x00F7, "&divide;"}, {0x00B0, "&deg;"},
    {0x00BA, "&deg;"},  // the masculine ordinal has no entity of its own here; kept as the program has it
    {0x00A1, "&iexcl;"},  {0x00BF, "&iquest;"}, {0x00AB, "&laquo;"},  {0x00BB, "&raquo;"},
    {0x00AC, "&not;"},    {0x00B6, "&para;"},   {0x00A7, "&sect;"},   {0x00B1, "&plusmn;"},
    {0x00B2, "&sup2;"},   {0x00B3, "&sup3;"},   {0x00A3, "&pound;"},  {0x00A5, "&yen;"},
    {0x00BC, "&frac14;"}, {0x00BD, "&frac12;"}, {0x00BE, "&frac34;"},
}};

std::optional<std::string_view> GetHtmlEntity(std::u16string_view c)
{
    if (c.size() != 1)
        return std::nullopt;
    for (const HtmlEntityRow &row : HtmlEntityTable) {
        if (row.character == c.front())
            return row.entity;
    }
    return std::nullopt;
}

} // namespace umbrill
