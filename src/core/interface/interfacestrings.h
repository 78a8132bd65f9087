// The texts of the four windows in the four interface languages, and the one
// rule that picks a language from the stored "ControlLanguage" value.
// All texts are UTF-8. Some captions carry slips ("&Single CharF", "&Spracke",
// "Widernifen"): they are the program's own and are kept on purpose.
#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace umbrill {

enum class InterfaceLanguage { English, German, French, Spanish };

// Exactly "English", else exactly "Deutsch", else a value whose first four
// characters are "Fran", else exactly "Español"; case-sensitive. No match: nullopt.
std::optional<InterfaceLanguage> matchInterfaceLanguage(std::string_view controlLanguage);

// The items of the Options dialog's interface-language list, in order.
inline constexpr std::array<std::string_view, 4> kInterfaceLanguageNames = {"English", "Deutsch", "Français", "Español"};

struct MainFormStrings {
    std::string_view ModeMenuItem, SingleChar, MultipleChar, DirectPaste, Font, Options1, KeeponTop,
        Exit, Language, Help, HelpMenuIItem, AboutMenuItem;
};
struct OptionsFormStrings {
    std::string_view Caption, PasteControlGroupBox, PlainTextRadioButton, RichTextRadioButton,
        UnicodeTextRadioButton, HtmlTextRadioButton, KeySizeLabel, MenuLanguageLabel, OptionsOkButton,
        OptionsCancelButton;
};
struct LanguageDlgStrings {
    std::string_view Caption, StaticText1, OKBtn, CancelBtn;
};
struct AboutStrings {
    std::string_view BuildPrefix;  // Label3 shows this followed by the file version
    std::string_view Button1;
};

// The default captions: what each window shows before any string set is applied.
extern const MainFormStrings kMainFormDefault;
extern const OptionsFormStrings kOptionsFormDefault;
extern const LanguageDlgStrings kLanguageDlgDefault;
inline constexpr std::string_view kAboutBuildDefault = "Build x.x.x.x";
inline constexpr std::string_view kAboutButtonDefault = "Ok";
inline constexpr std::string_view kAboutUnicodeDefault = "Unicode data";

const MainFormStrings &mainFormStrings(InterfaceLanguage language);
const OptionsFormStrings &optionsFormStrings(InterfaceLanguage language);
const LanguageDlgStrings &languageDlgStrings(InterfaceLanguage language);
const AboutStrings &aboutStrings(InterfaceLanguage language);

// The About box's note, the same in every language.
std::string_view unicodeNote(bool unicodeEnabled);

// The message for a missing help document; English when nothing matches.
std::string_view helpMissingMessage(std::string_view controlLanguage);
// The message for a help document that no program on the desktop can open;
// English when nothing matches.
std::string_view helpUnopenedMessage(std::string_view controlLanguage);
// The one line an empty pad shows: how to choose a keyboard language, with
// the Language menu's access key; English when nothing matches.
std::string_view emptyPadHint(std::string_view controlLanguage);
// Recent's name in the list of keyboard languages, and the key menu's two
// items for My Characters; English when nothing matches.
std::string_view recentLanguageName(std::string_view controlLanguage);
std::string_view addToMyCharactersCaption(std::string_view controlLanguage);
std::string_view removeFromMyCharactersCaption(std::string_view controlLanguage);
// The Mode menu's check item Type into Window, with its access key; English
// when nothing matches.
std::string_view typeIntoWindowCaption(std::string_view controlLanguage);
// Why Type into Window cannot be turned on, shown as the item's tooltip.
enum class TypingUnavailable {
    NoXTest,        // an X11 session whose X server lacks the XTEST extension
    NoSpareKeycode, // every keycode of the keyboard mapping carries keysyms
    NoPortal,       // a Wayland session without the desktop's RemoteDesktop portal
    NoDisplay,      // neither X11 nor Wayland
};
std::string_view typingUnavailableReason(std::string_view controlLanguage, TypingUnavailable reason);
// The Find Character window and its item in the Mode menu (Ctrl+F), a
// feature the string sets above do not cover; English when nothing matches.
// FindCharacter carries an access key that no shown item of the language's
// Mode menu uses.
struct FindStrings {
    std::string_view FindCharacter;  // the Mode menu's item
    std::string_view Caption;        // the window's title
    std::string_view SearchPrompt;   // the search field's placeholder and accessible name
    std::string_view NothingFound;
    std::string_view ClearSearch;    // the search field's clear button, for screen readers
};
const FindStrings &findStrings(std::string_view controlLanguage);
// The strip under the keys that shows what Multiple Char has collected;
// English when nothing matches.
struct CollectionStrings {
    std::string_view Empty;        // shown while nothing is collected
    std::string_view Description;  // for screen readers: what the strip does
    std::string_view ClearButton;  // the clear button's tooltip and accessible name
};
const CollectionStrings &collectionStrings(std::string_view controlLanguage);
// The question of the font command; nullopt (no question, answer No) when nothing matches.
std::optional<std::string_view> fontQuestion(std::string_view controlLanguage);

// Texts that never change with the interface language.
inline constexpr std::string_view kClearClipboardCaption = "Clear Clipboard";
inline constexpr std::string_view kMainCaption = "Umbrill";
inline constexpr std::string_view kApplicationTitle = "Umbrill05";
// Line breaks are "\n", the platform's own.
inline constexpr std::string_view kMissingDataFileMessage = "Cannot find file Umbrill05.ini\nCannot continue";
inline constexpr std::string_view kInformationTitle = "Information";
inline constexpr std::string_view kConfirmTitle = "Confirm";

} // namespace umbrill
