// The character output engine: what a click on a key, and each command of the
// Mode menu, places on the clipboard, and the characters collected in Multiple
// Char mode, which the pad shows and Backspace shortens. The check marks of the
// Mode menu are the widgets' business; the engine keeps only Mode.
#pragma once

#include "core/keypad/clipboardpayload.h"
#include "core/keypad/pasteformat.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace umbrill {

// Any other value acts as DirectPaste.
enum class InputMode : std::uint8_t { SingleChar = 0, MultipleChar = 1, DirectPaste = 2 };

// The key font of the current keyboard language at the moment of the click.
struct KeyFont {
    std::string face;  // UTF-8
    std::int32_t pointSize;
};

// What a Single Char click of character places in format, in font (see
// OutputEngine::Button1Click): in HTML the entity text, else the ANSI form, as
// plain text; in plain text the ANSI form; in rich text the ANSI form in the
// key font; in Unicode the character whole in the key font. A character
// dragged out of the pad carries this.
ClipboardPayload clickPayload(std::u16string_view character, PasteFormat format, const KeyFont &font);

class OutputEngine {
public:
    InputMode Mode() const { return m_mode; }
    // The mode of an earlier run comes back; the collections stay.
    void setMode(InputMode mode) { m_mode = mode; }
    // Collected in Multiple Char mode with the plain or rich format: Windows-1252
    // bytes, so a character the page lacks is already "?" here and stays so.
    const std::string &AccumulatedText() const { return m_accumulatedText; }
    // Collected in Multiple Char mode with the Unicode format.
    const std::u16string &AccumulatedWideText() const { return m_accumulatedWideText; }

    // A click on a key whose character is character (one UTF-16 unit, a
    // surrogate pair, or U+FFFD; the whole string is the character).
    //
    // HTML (any mode): the character's entity text, else its ANSI form, as
    // plain text; never collected (in Multiple Char mode the text is kept as
    // the HTML Collection, see below). Otherwise, by mode:
    //   Single Char: empties both collections (plain: after emptying the
    //     clipboard) and places the one character.
    //   Multiple Char: appends it to the format's collection (plain and rich
    //     share AccumulatedText, Unicode has AccumulatedWideText) and places the
    //     whole collection.
    //   Direct Paste: places the one character and leaves the collections.
    // Plain places the ANSI form; rich places the ANSI form in the key font;
    // Unicode places every character whole in the key font. A format code other
    // than 0, 2 and 3 acts as rich.
    //
    // Throws Error("Cannot open clipboard") from the sink; what this click
    // already did to the collections stays done.
    void Button1Click(std::u16string_view character, PasteFormat format, const KeyFont &font,
                      ClipboardSink &clipboard);

    // Each sets Mode, empties the clipboard, then empties both collections; it
    // runs in full also when the mode is already the current one. When the
    // clipboard refuses, Mode is already set and the collections stay.
    void SingleCharClick(ClipboardSink &clipboard);
    void MultipleCharClick(ClipboardSink &clipboard);
    void DirectPasteClick(ClipboardSink &clipboard);

    // Empties the clipboard; Mode and the collections stay, so the next Multiple
    // Char click places the whole collection again.
    void ClearClipboardClick(ClipboardSink &clipboard);

    // What Multiple Char holds for format, as its clicks place it: plain and
    // rich, AccumulatedText (a character the page lacks shows as its "?");
    // Unicode, AccumulatedWideText; HTML, which collects nothing, the text its
    // last Multiple Char click placed (one entity, or one character). Empty in
    // the other modes.
    std::u16string Collection(PasteFormat format) const;
    // Backspace, in Multiple Char mode with a non-empty Collection(format);
    // otherwise nothing happens and the result is false. Every collection
    // loses its last character: a whole code point (a surrogate pair goes
    // together), and in HTML the whole entity. Then the format's collection is
    // placed as a click places it, or the clipboard is emptied when nothing is
    // left. A refusing clipboard throws as a click does; the collections stay
    // shortened.
    bool RemoveLastCharacter(PasteFormat format, const KeyFont &font, ClipboardSink &clipboard);
    // Places Collection(format) again as a click places it (the clipboard is
    // emptied when it is empty). Multiple Char only; otherwise nothing happens.
    void PlaceCollection(PasteFormat format, const KeyFont &font, ClipboardSink &clipboard);
    // Empties the clipboard, then every collection; Mode stays. Multiple Char
    // only; otherwise nothing happens.
    void ClearCollection(ClipboardSink &clipboard);

private:
    void chooseMode(InputMode mode, ClipboardSink &clipboard);
    // Places the collection of format (not HTML) as a click places it.
    void placeAccumulated(PasteFormat format, const KeyFont &font, ClipboardSink &clipboard) const;
    void clearCollections();
    void placeCollection(PasteFormat format, const KeyFont &font, ClipboardSink &clipboard) const;

    InputMode m_mode = InputMode::SingleChar;
    std::string m_accumulatedText;
    std::u16string m_accumulatedWideText;

    // The text of the last HTML click in Multiple Char mode (ANSI): what the
    // clipboard holds while the pad collects in HTML.
    std::string m_lastHtmlText;
};

} // namespace umbrill
