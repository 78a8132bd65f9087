// The interface-language match and invariants of the string sets.
#include "core/interface/interfacestrings.h"

#include <gtest/gtest.h>

#include <cctype>

#include <algorithm>

namespace umbrill {
namespace {

TEST(InterfaceLanguageMatch, IsExactExceptForTheFrenchPrefix)
{
    using L = InterfaceLanguage;
    struct Row { std::string_view value; std::optional<L> language; };
    const Row rows[] = {
        {"English", L::English}, {"Deutsch", L::German}, {"Français", L::French}, {"Française", L::French},
        {"Francais", L::French}, {"Fran", L::French}, {"Español", L::Spanish}, {"english", std::nullopt},
        {"Fra", std::nullopt}, {"français", std::nullopt}, {"", std::nullopt}, {"Espanol", std::nullopt},
        {"English ", std::nullopt}, {"Italiano", std::nullopt},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(std::string(row.value));
        EXPECT_EQ(matchInterfaceLanguage(row.value), row.language);
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
    for (auto language : {InterfaceLanguage::English, InterfaceLanguage::German, InterfaceLanguage::French,
                          InterfaceLanguage::Spanish}) {
        const MainFormStrings &m = mainFormStrings(language);
        for (std::string_view caption : {m.ModeMenuItem, m.SingleChar, m.MultipleChar, m.DirectPaste, m.Font,
                                         m.Options1, m.KeeponTop, m.Exit, m.Language, m.Help, m.HelpMenuIItem,
                                         m.AboutMenuItem}) {
            SCOPED_TRACE(std::string(caption));
            EXPECT_FALSE(caption.empty());
            EXPECT_LE(accessKeys(caption), 1u);
        }
        EXPECT_EQ(aboutStrings(language).BuildPrefix.back(), ' ');
    }
}

TEST(InterfaceStrings, KeepsOwnCaptions)
{
    EXPECT_EQ(mainFormStrings(InterfaceLanguage::German).Language, "&Spracke");
    EXPECT_EQ(mainFormStrings(InterfaceLanguage::French).SingleChar, "&Single CharF");
    EXPECT_EQ(optionsFormStrings(InterfaceLanguage::German).OptionsCancelButton, "Widernifen");
    EXPECT_EQ(optionsFormStrings(InterfaceLanguage::Spanish).OptionsCancelButton, "Anular");
    EXPECT_EQ(languageDlgStrings(InterfaceLanguage::Spanish).CancelBtn, "Annular");
    EXPECT_EQ(kMainFormDefault.Options1, "&Options ...");
    EXPECT_EQ(mainFormStrings(InterfaceLanguage::English).Options1, "&Options");
}

TEST(InterfaceMessages, TheEmptyPadHintNamesTheLanguageMenusAccessKey)
{
    for (const std::string_view name : {"English", "Deutsch", "Français", "Español"}) {
        SCOPED_TRACE(std::string(name));
        const std::string_view caption = mainFormStrings(*matchInterfaceLanguage(name)).Language;
        const std::string_view hint = emptyPadHint(name);
        const char key = caption[caption.find('&') + 1];
        EXPECT_EQ(hint.substr(hint.size() - 5), std::string("Alt+") + key);
    }
    EXPECT_EQ(emptyPadHint("italiano"), emptyPadHint("English"));
}

TEST(InterfaceStrings, TypeIntoWindowHasAnAccessKeyNoOtherModeItemUses)
{
    for (const std::string_view name : {"English", "Deutsch", "Français", "Español"}) {
        SCOPED_TRACE(std::string(name));
        const std::string_view caption = typeIntoWindowCaption(name);
        ASSERT_EQ(accessKeys(caption), 1u);
        const auto keyOf = [](std::string_view text) {
            const auto at = text.find('&');
            return at == std::string_view::npos ? '\0' : static_cast<char>(std::tolower(text[at + 1]));
        };
        const MainFormStrings &m = mainFormStrings(*matchInterfaceLanguage(name));
        for (std::string_view other : {m.SingleChar, m.MultipleChar, m.DirectPaste, m.Font, m.Options1, m.KeeponTop, m.Exit})
            EXPECT_NE(keyOf(caption), keyOf(other)) << other;
        for (auto reason : {TypingUnavailable::NoXTest, TypingUnavailable::NoSpareKeycode, TypingUnavailable::NoPortal,
                            TypingUnavailable::NoDisplay})
            EXPECT_FALSE(typingUnavailableReason(name, reason).empty());
    }
    EXPECT_EQ(typeIntoWindowCaption("italiano"), "&Type into Window");
}

TEST(InterfaceMessages, FallBackAsTheMatchSays)
{
    EXPECT_EQ(helpMissingMessage("english"), "Cannot find file umbrill_help.pdf");
    EXPECT_EQ(helpMissingMessage("Française"), "Ne trouve pas le fichier umbrill_help.pdf");
    EXPECT_EQ(fontQuestion("Italiano"), std::nullopt);
    EXPECT_EQ(fontQuestion("Français"), "Voulez-vous utiliser ce format par défaut pout cette langue?");
    EXPECT_NE(unicodeNote(false).find("work correctly"), std::string_view::npos);
    EXPECT_EQ(std::count(kInterfaceLanguageNames.begin(), kInterfaceLanguageNames.end(), "Español"), 1);
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
    for (const std::string_view name : kInterfaceLanguageNames) {
        SCOPED_TRACE(std::string(name));
        const MainFormStrings &m = mainFormStrings(*matchInterfaceLanguage(name));
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

} // namespace
} // namespace umbrill
