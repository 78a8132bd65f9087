// The interface languages: one row of texts per language, holding what every
// window shows in it, and the one rule that picks a row from the stored
// "ControlLanguage" value. A language is added by adding its row.
// All texts are UTF-8. Some captions carry slips ("&Single CharF", "&Spracke",
// "Widernifen"): they are the program's own and are kept on purpose.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace umbrill {

// The languages whose everyday words Find knows (FindOptions::language).
enum class InterfaceLanguage { English, German, French, Spanish };

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
    std::string_view Filter;     // the filter field's label, with its access key
    std::string_view Generated;  // the heading over the languages generated from CLDR
    std::string_view CopyToOwn;  // the button that copies a generated language into the user's own
};
struct AboutStrings {
    std::string_view BuildPrefix;  // Label3 shows this followed by the file version
    std::string_view Button1;
};
// The Find Character window and its item in the Mode menu (Ctrl+F).
// FindCharacter carries an access key that no shown item of the language's
// Mode menu uses.
struct FindStrings {
    std::string_view FindCharacter;  // the Mode menu's item
    std::string_view Caption;        // the window's title
    std::string_view SearchPrompt;   // the search field's placeholder and accessible name
    std::string_view NothingFound;
    std::string_view ClearSearch;    // the search field's clear button, for screen readers
};
// The strip under the keys that shows what Multiple Char has collected.
struct CollectionStrings {
    std::string_view Empty;        // shown while nothing is collected
    std::string_view Description;  // for screen readers: what the strip does
    std::string_view ClearButton;  // the clear button's tooltip and accessible name
};
// Why Type into Window cannot be turned on, shown as the item's tooltip.
enum class TypingUnavailable {
    NoXTest,        // an X11 session whose X server lacks the XTEST extension
    NoSpareKeycode, // every keycode of the keyboard mapping carries keysyms
    NoPortal,       // a Wayland session without the desktop's RemoteDesktop portal
    NoDisplay,      // neither X11 nor Wayland
};
inline constexpr std::size_t kTypingUnavailableCount = 4;
// The Mode menu's check item Type into Window and what it tells.
struct TypingStrings {
    std::string_view TypeIntoWindow;  // the item, with its access key
    std::array<std::string_view, kTypingUnavailableCount> Unavailable;  // by TypingUnavailable
    std::string_view OnClipboard;     // characters went to the clipboard instead; "%s" stands for them
    std::string_view SessionClosed;   // the desktop ended the typing session (the user stopped sharing)
};
// The pad's own lines, menus and messages.
struct PadStrings {
    std::string_view EmptyPadHint;     // how to choose a keyboard language, with the Language menu's access key
    std::string_view RecentName;       // Recent in the list of keyboard languages
    std::string_view AddToMyCharacters, RemoveFromMyCharacters;  // the key menu's items
    std::string_view HelpMissing;      // no help document
    std::string_view HelpUnopened;     // no program on the desktop opens the help document
    std::string_view FontQuestion;     // the font command's question
};

// One interface language.
struct InterfaceTexts {
    // The item of the Options dialog's list, and what choosing it stores.
    std::string_view Name;
    // A stored value that starts with this selects the row as well; empty:
    // only the exact name does. Comparisons are case-sensitive.
    std::string_view MatchPrefix;
    // The help document in the program folder; Help falls back to the
    // default document where it is missing.
    std::string_view HelpFile;
    // The everyday words Find ranks first; none: all languages alike.
    std::optional<InterfaceLanguage> SearchWords;
    MainFormStrings Main;
    OptionsFormStrings Options;
    LanguageDlgStrings LanguageDlg;
    AboutStrings About;
    FindStrings Find;
    CollectionStrings Collection;
    TypingStrings Typing;
    PadStrings Pad;
};

// Every interface language, in the order of the Options dialog's list; the
// first is English, the language of every fallback.
std::span<const InterfaceTexts> interfaceLanguages();

// The first row whose name equals the stored value, or whose match prefix
// begins it: exactly "English", "Deutsch" or "Español", or a value whose first
// four characters are "Fran". nullptr when none matches.
const InterfaceTexts *matchInterfaceTexts(std::string_view controlLanguage);
// The matching row; English when none matches.
const InterfaceTexts &interfaceTexts(std::string_view controlLanguage);

// The default captions: what each window shows before any language is applied.
extern const MainFormStrings kMainFormDefault;
extern const OptionsFormStrings kOptionsFormDefault;
extern const LanguageDlgStrings kLanguageDlgDefault;
inline constexpr std::string_view kAboutBuildDefault = "Build x.x.x.x";
inline constexpr std::string_view kAboutButtonDefault = "Ok";
inline constexpr std::string_view kAboutUnicodeDefault = "Unicode data";

// The About box's note, the same in every language.
std::string_view unicodeNote(bool unicodeEnabled);

std::string_view typingUnavailableReason(std::string_view controlLanguage, TypingUnavailable reason);
std::string_view typingSessionClosedNote(std::string_view controlLanguage);
const FindStrings &findStrings(std::string_view controlLanguage);
const CollectionStrings &collectionStrings(std::string_view controlLanguage);
// The pad's one line when characters could not be typed into the window and
// went to the clipboard instead.
std::string onClipboardNotice(std::string_view controlLanguage, std::string_view characters);
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
