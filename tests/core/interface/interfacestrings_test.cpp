// The interface-language match and invariants of the string sets.
#include "core/interface/interfacestrings.h"

#include <gtest/gtest.h>

#include <cctype>

#include <algorithm>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace umbrill {
namespace {

TEST(InterfaceLanguageMatch, IsExactExceptForTheFrenchPrefix)
{
    struct Row { std::string_view value; std::string_view language; };  // "": no match
    const Row rows[] = {
        {"English", "English"}, {"Deutsch", "Deutsch"}, {"Français", "Français"}, {"Française", "Français"},
        {"Francais", "Français"}, {"Fran", "Français"}, {"Español", "Español"}, {"english", ""},
        {"Fra", ""}, {"français", ""}, {"", ""}, {"Espanol", ""},
        {"English ", ""}, {"Italiano", ""},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(std::string(row.value));
        const InterfaceTexts *matched = matchInterfaceTexts(row.value);
        EXPECT_EQ(matched ? matched->Name : "", row.language);
        EXPECT_EQ(interfaceTexts(row.value).Name, matched ? row.language : "English");
    }
}

std::size_t accessKeys(std::string_view caption)
{
    std::size_t count = 0;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&') {
            ++count;
            ++i;
        }
    }
    return count;
}

TEST(InterfaceStrings, EveryCaptionHasAtMostOneAccessKey)
{
    for (const InterfaceTexts &language : interfaceLanguages()) {
        const MainFormStrings &m = language.Main;
        for (std::string_view caption : {m.ModeMenuItem, m.SingleChar, m.MultipleChar, m.DirectPaste, m.Font,
                                         m.Options1, m.KeeponTop, m.Exit, m.Language, m.Help, m.HelpMenuIItem,
                                         m.AboutMenuItem}) {
            SCOPED_TRACE(std::string(caption));
            EXPECT_FALSE(caption.empty());
            EXPECT_LE(accessKeys(caption), 1u);
        }
        EXPECT_EQ(language.About.BuildPrefix.back(), ' ');
    }
}

TEST(InterfaceStrings, KeepsOwnCaptions)
{
    EXPECT_EQ(interfaceTexts("Deutsch").Main.Language, "&Spracke");
    EXPECT_EQ(interfaceTexts("Français").Main.SingleChar, "&Single CharF");
    EXPECT_EQ(interfaceTexts("Deutsch").Options.OptionsCancelButton, "Widernifen");
    EXPECT_EQ(interfaceTexts("Español").Options.OptionsCancelButton, "Anular");
    EXPECT_EQ(interfaceTexts("Español").LanguageDlg.CancelBtn, "Annular");
    EXPECT_EQ(kMainFormDefault.Options1, "&Options ...");
    EXPECT_EQ(interfaceTexts("English").Main.Options1, "&Options");
}

TEST(InterfaceMessages, TheEmptyPadHintNamesTheLanguageMenusAccessKey)
{
    for (const std::string_view name : {"English", "Deutsch", "Français", "Español"}) {
        SCOPED_TRACE(std::string(name));
        const std::string_view caption = interfaceTexts(name).Main.Language;
        const std::string_view hint = interfaceTexts(name).Pad.EmptyPadHint;
        const char key = caption[caption.find('&') + 1];
        EXPECT_EQ(hint.substr(hint.size() - 5), std::string("Alt+") + key);
    }
    EXPECT_EQ(interfaceTexts("italiano").Pad.EmptyPadHint, interfaceTexts("English").Pad.EmptyPadHint);
}

TEST(InterfaceStrings, TypeIntoWindowHasAnAccessKeyNoOtherModeItemUses)
{
    for (const std::string_view name : {"English", "Deutsch", "Français", "Español"}) {
        SCOPED_TRACE(std::string(name));
        const std::string_view caption = interfaceTexts(name).Typing.TypeIntoWindow;
        ASSERT_EQ(accessKeys(caption), 1u);
        const auto keyOf = [](std::string_view text) {
            const auto at = text.find('&');
            return at == std::string_view::npos ? '\0' : static_cast<char>(std::tolower(text[at + 1]));
        };
        const MainFormStrings &m = interfaceTexts(name).Main;
        for (std::string_view other : {m.SingleChar, m.MultipleChar, m.DirectPaste, m.Font, m.Options1, m.KeeponTop, m.Exit})
            EXPECT_NE(keyOf(caption), keyOf(other)) << other;
        for (auto reason : {TypingUnavailable::NoXTest, TypingUnavailable::NoSpareKeycode, TypingUnavailable::NoPortal,
                            TypingUnavailable::NoDisplay})
            EXPECT_FALSE(typingUnavailableReason(name, reason).empty());
    }
    EXPECT_EQ(interfaceTexts("italiano").Typing.TypeIntoWindow, "&Type into Window");
}

TEST(InterfaceMessages, FallBackAsTheMatchSays)
{
    EXPECT_EQ(interfaceTexts("english").Pad.HelpMissing, "Cannot find file umbrill_help.pdf");
    EXPECT_EQ(interfaceTexts("Française").Pad.HelpMissing, "Ne trouve pas le fichier umbrill_help.pdf");
    EXPECT_EQ(fontQuestion("Italiano"), std::nullopt);
    EXPECT_EQ(fontQuestion("Français"), "Voulez-vous utiliser ce format par défaut pout cette langue?");
    EXPECT_NE(unicodeNote(false).find("work correctly"), std::string_view::npos);
}

// The access key after "&", in upper case; 0 for none.
char accessKeyOf(std::string_view caption)
{
    const auto at = caption.find('&');
    if (at == std::string_view::npos || at + 1 >= caption.size())
        return 0;
    const char key = caption[at + 1];
    return (key >= 'a' && key <= 'z') ? static_cast<char>(key - 'a' + 'A') : key;
}

TEST(InterfaceStrings, FindCharacterHasAnAccessKeyOfItsOwnInTheModeMenu)
{
    for (const InterfaceTexts &language : interfaceLanguages()) {
        const std::string_view name = language.Name;
        SCOPED_TRACE(std::string(name));
        const MainFormStrings &m = language.Main;
        const FindStrings &find = findStrings(name);
        ASSERT_EQ(accessKeys(find.FindCharacter), 1u);
        // The items the Mode menu shows (Direct Paste and Font stay hidden).
        for (std::string_view shown : {m.SingleChar, m.MultipleChar, m.Options1, m.KeeponTop, m.Exit})
            EXPECT_NE(accessKeyOf(find.FindCharacter), accessKeyOf(shown)) << shown;
        EXPECT_FALSE(find.Caption.empty());
        EXPECT_FALSE(find.SearchPrompt.empty());
        EXPECT_FALSE(find.NothingFound.empty());
    }
    EXPECT_EQ(findStrings("italiano").Caption, findStrings("English").Caption);
}

// The language dialog's filter and Copy to My Languages each have an access
// key, and not the same one (Ok and Cancel have none).
TEST(InterfaceStrings, TheLanguageDialogsAccessKeysDiffer)
{
    std::vector<LanguageDlgStrings> dialogs{kLanguageDlgDefault};
    for (const InterfaceTexts &language : interfaceLanguages())
        dialogs.push_back(language.LanguageDlg);
    for (const LanguageDlgStrings &dialog : dialogs) {
        SCOPED_TRACE(std::string(dialog.Caption));
        ASSERT_EQ(accessKeys(dialog.Filter), 1u);
        ASSERT_EQ(accessKeys(dialog.CopyToOwn), 1u);
        EXPECT_NE(accessKeyOf(dialog.Filter), accessKeyOf(dialog.CopyToOwn));
        EXPECT_EQ(accessKeys(dialog.OKBtn) + accessKeys(dialog.CancelBtn), 0u);
    }
}

// Every text of a row, named. The sizes make a text added to a row's parts
// fail to compile here until it is listed.
using NamedTexts = std::vector<std::pair<std::string, std::string_view>>;
NamedTexts textsOf(const InterfaceTexts &row)
{
    static_assert(sizeof(MainFormStrings) == 12 * sizeof(std::string_view));
    static_assert(sizeof(OptionsFormStrings) == 10 * sizeof(std::string_view));
    static_assert(sizeof(LanguageDlgStrings) == 7 * sizeof(std::string_view));
    static_assert(sizeof(AboutStrings) == 2 * sizeof(std::string_view));
    static_assert(sizeof(FindStrings) == 5 * sizeof(std::string_view));
    static_assert(sizeof(CollectionStrings) == 3 * sizeof(std::string_view));
    static_assert(sizeof(TypingStrings) == (3 + kTypingUnavailableCount) * sizeof(std::string_view));
    static_assert(sizeof(PadStrings) == 7 * sizeof(std::string_view));
    const MainFormStrings &m = row.Main;
    const OptionsFormStrings &o = row.Options;
    const LanguageDlgStrings &l = row.LanguageDlg;
    const FindStrings &f = row.Find;
    const CollectionStrings &c = row.Collection;
    const TypingStrings &t = row.Typing;
    const PadStrings &p = row.Pad;
    NamedTexts texts = {
        {"Name", row.Name}, {"HelpFile", row.HelpFile},
        {"Main.ModeMenuItem", m.ModeMenuItem}, {"Main.SingleChar", m.SingleChar},
        {"Main.MultipleChar", m.MultipleChar}, {"Main.DirectPaste", m.DirectPaste}, {"Main.Font", m.Font},
        {"Main.Options1", m.Options1}, {"Main.KeeponTop", m.KeeponTop}, {"Main.Exit", m.Exit},
        {"Main.Language", m.Language}, {"Main.Help", m.Help}, {"Main.HelpMenuIItem", m.HelpMenuIItem},
        {"Main.AboutMenuItem", m.AboutMenuItem},
        {"Options.Caption", o.Caption}, {"Options.PasteControlGroupBox", o.PasteControlGroupBox},
        {"Options.PlainTextRadioButton", o.PlainTextRadioButton},
        {"Options.RichTextRadioButton", o.RichTextRadioButton},
        {"Options.UnicodeTextRadioButton", o.UnicodeTextRadioButton},
        {"Options.HtmlTextRadioButton", o.HtmlTextRadioButton}, {"Options.KeySizeLabel", o.KeySizeLabel},
        {"Options.MenuLanguageLabel", o.MenuLanguageLabel}, {"Options.OptionsOkButton", o.OptionsOkButton},
        {"Options.OptionsCancelButton", o.OptionsCancelButton},
        {"LanguageDlg.Caption", l.Caption}, {"LanguageDlg.StaticText1", l.StaticText1},
        {"LanguageDlg.OKBtn", l.OKBtn}, {"LanguageDlg.CancelBtn", l.CancelBtn},
        {"LanguageDlg.Filter", l.Filter}, {"LanguageDlg.Generated", l.Generated},
        {"LanguageDlg.CopyToOwn", l.CopyToOwn},
        {"About.BuildPrefix", row.About.BuildPrefix}, {"About.Button1", row.About.Button1},
        {"Find.FindCharacter", f.FindCharacter}, {"Find.Caption", f.Caption},
        {"Find.SearchPrompt", f.SearchPrompt}, {"Find.NothingFound", f.NothingFound},
        {"Find.ClearSearch", f.ClearSearch},
        {"Collection.Empty", c.Empty}, {"Collection.Description", c.Description},
        {"Collection.ClearButton", c.ClearButton},
        {"Typing.TypeIntoWindow", t.TypeIntoWindow}, {"Typing.OnClipboard", t.OnClipboard},
        {"Typing.SessionClosed", t.SessionClosed},
        {"Pad.EmptyPadHint", p.EmptyPadHint}, {"Pad.RecentName", p.RecentName},
        {"Pad.AddToMyCharacters", p.AddToMyCharacters}, {"Pad.RemoveFromMyCharacters", p.RemoveFromMyCharacters},
        {"Pad.HelpMissing", p.HelpMissing}, {"Pad.HelpUnopened", p.HelpUnopened},
        {"Pad.FontQuestion", p.FontQuestion},
    };
    for (std::size_t i = 0; i < t.Unavailable.size(); ++i)
        texts.emplace_back("Typing.Unavailable" + std::to_string(i), t.Unavailable[i]);
    return texts;
}

std::size_t occurrences(std::string_view text, std::string_view part)
{
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string_view::npos; at = text.find(part, at + part.size()))
        ++count;
    return count;
}

// A row added or edited carries every text English has, with the same
// placeholders, an access key wherever English has one, a name of its own
// that selects it, and a help document of its own.
TEST(InterfaceLanguages, EveryRowIsComplete)
{
    const std::span<const InterfaceTexts> rows = interfaceLanguages();
    ASSERT_FALSE(rows.empty());
    const NamedTexts english = textsOf(rows.front());
    EXPECT_EQ(rows.front().Name, "English");
    std::set<std::string_view> names, helpFiles;
    for (const InterfaceTexts &row : rows) {
        SCOPED_TRACE(std::string(row.Name));
        const NamedTexts texts = textsOf(row);
        ASSERT_EQ(texts.size(), english.size());
        for (std::size_t i = 0; i < texts.size(); ++i) {
            const auto &[field, text] = texts[i];
            const std::string_view reference = english[i].second;
            SCOPED_TRACE(field);
            EXPECT_EQ(text.empty(), reference.empty());
            EXPECT_EQ(occurrences(text, "%s"), occurrences(reference, "%s"));
            EXPECT_EQ(occurrences(text, "%1"), occurrences(reference, "%1"));
            EXPECT_EQ(occurrences(text, "{}"), occurrences(reference, "{}"));
            EXPECT_LE(accessKeys(text), 1u);
            if (accessKeys(reference) == 1) {
                EXPECT_EQ(accessKeys(text), 1u);
            }
        }
        EXPECT_TRUE(names.insert(row.Name).second) << "a second row named so";
        EXPECT_TRUE(helpFiles.insert(row.HelpFile).second) << "a second row with this help document";
        EXPECT_TRUE(row.MatchPrefix.empty() || row.Name.starts_with(row.MatchPrefix));
        EXPECT_EQ(matchInterfaceTexts(row.Name), &row);
    }
}

} // namespace
} // namespace umbrill
