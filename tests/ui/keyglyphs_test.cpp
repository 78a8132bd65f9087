// Every key of every shipped keyboard language shows a real glyph: the key's
// character, laid out in the entry's font as Qt resolves it (a face Debian
// lacks, such as "Arial", is substituted) and with Qt's fallback to other
// fonts, yields no missing glyph. CMake points fontconfig at a configuration
// that offers only the fonts of the packages Umbrill installs or recommends,
// so that a glyph found here is one every user of the package has.
#include "core/keypad/keygrid.h"
#include "core/languages/languagerecord.h"
#include "core/settings/profilefile.h"
#include "core/settings/settingnames.h"
#include "core/text/commalist.h"

#include <QFont>
#include <QGlyphRun>
#include <QRawFont>
#include <QString>
#include <QTextLayout>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <string>

namespace umbrill::test {
namespace {

const std::filesystem::path kShippedDataFile = std::filesystem::path(UMBRILL_SOURCE_DIR) / "data" / kDataFileName;

// Blanks (Zs: U+00A0, U+2009, U+202F), controls (Cc: the C1 codes of the five
// bytes Windows-1252 leaves undefined) and format characters (Cf: the soft
// hyphen U+00AD, U+200B) draw nothing by nature, so no glyph is asked of them.
// Every other character, combining marks included, must have one.
bool needsGlyph(const QString &text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) {
        const QChar::Category category = c.category();
        return category != QChar::Separator_Space && category != QChar::Other_Control &&
               category != QChar::Other_Format;
    });
}

// The key font as the main window sets it on a key.
QFont keyFont(const LanguageRecord &language)
{
    QFont font(QString::fromStdString(language.KeyFontName));
    if (language.KeyFontSize > 0)
        font.setPointSize(std::min(language.KeyFontSize, 400));
    return font;
}

struct Layout {
    bool complete = false; // some run, and no glyph index 0 (.notdef) in any
    QStringList families;  // the fonts that served the glyphs
};

Layout layOut(const QString &text, const QFont &font)
{
    QTextLayout layout(text, font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    Layout result;
    const QList<QGlyphRun> runs = layout.glyphRuns();
    result.complete = !runs.isEmpty();
    for (const QGlyphRun &run : runs) {
        result.families << run.rawFont().familyName();
        const QList<quint32> glyphs = run.glyphIndexes();
        if (glyphs.isEmpty() || glyphs.contains(0u))
            result.complete = false;
    }
    return result;
}

QString codePointName(const QString &text)
{
    QStringList points;
    for (char32_t c : text.toUcs4())
        points << QStringLiteral("U+") + QString::number(quint32(c), 16).toUpper().rightJustified(4, QLatin1Char('0'));
    return points.join(' ');
}

TEST(KeyGlyphs, EveryKeyOfEveryShippedLanguageHasAGlyphInAnAvailableFont)
{
    ASSERT_TRUE(std::filesystem::exists(kShippedDataFile)) << kShippedDataFile;
    const std::vector<std::string> names =
        splitCommaList(readProfileString(kShippedDataFile, kDataSection, kLanguagesKey, ""));
    ASSERT_FALSE(names.empty());

    int checked = 0;
    for (const std::string &name : names) {
        const std::string entry = readProfileString(kShippedDataFile, kDataSection, name, "");
        ASSERT_FALSE(entry.empty()) << "no entry for language " << name;
        LanguageRecord language;
        applyLanguageEntry(language, entry);
        ASSERT_FALSE(language.KeyCodes.empty()) << name;

        const QFont font = keyFont(language);
        const QRawFont own = QRawFont::fromFont(font);
        for (std::int32_t code : language.KeyCodes) {
            const std::u16string character = keyCharacter(code);
            const QString text = QString::fromStdU16String(character);
            if (!needsGlyph(text)) {
                std::cout << name << ": code " << code << " (" << codePointName(text).toStdString()
                          << ") draws nothing by nature; not checked\n";
                continue;
            }
            ++checked;
            const Layout laid = layOut(text, font);
            EXPECT_TRUE(laid.complete) << name << ": code " << code << ", " << codePointName(text).toStdString()
                                       << " '" << text.toStdString() << "' has no glyph in \""
                                       << language.KeyFontName << "\" (resolved to "
                                       << own.familyName().toStdString() << ") nor in any fallback font";
            const char32_t first = text.toUcs4().value(0);
            if (laid.complete && !own.supportsCharacter(first))
                std::cout << name << ": " << codePointName(text).toStdString() << " '" << text.toStdString()
                          << "' comes from " << laid.families.join(", ").toStdString() << " (not in "
                          << own.familyName().toStdString() << ")\n";
        }
    }
    EXPECT_GT(checked, 0);
}

} // namespace
} // namespace umbrill::test
