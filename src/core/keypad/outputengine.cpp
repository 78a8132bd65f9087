// The character output engine.
#include "core/keypad/outputengine.h"

#include "core/keypad/htmlentities.h"
#include "core/keypad/richtext.h"
#include "core/text/ansi.h"

namespace umbrill {
namespace {

enum class Output { Plain, Rich, Unicode };

Output outputFor(PasteFormat format)
{
    switch (format) {
    case PasteFormat::PlainText: return Output::Plain;
    case PasteFormat::Unicode: return Output::Unicode;
    default: return Output::Rich;
    }
}

InputMode effectiveMode(InputMode mode)
{
    switch (mode) {
    case InputMode::SingleChar:
    case InputMode::MultipleChar:
        return mode;
    default:
        return InputMode::DirectPaste;
    }
}

void placePlain(ClipboardSink &clipboard, std::string_view ansi)
{
    clipboard.set(plainTextPayload(ansi));
}

void placeRich(ClipboardSink &clipboard, std::u16string_view text, const KeyFont &font)
{
    clipboard.set(richTextPayload(text, font.face, font.pointSize));
}

// What the HTML format outputs for character: its entity, else its ANSI form.
std::string htmlText(std::u16string_view character)
{
    const auto entity = GetHtmlEntity(character);
    return entity ? std::string(*entity) : ansiFromWide(character);
}

} // namespace

ClipboardPayload clickPayload(std::u16string_view character, PasteFormat format, const KeyFont &font)
{
    if (format == PasteFormat::Html)
        return plainTextPayload(htmlText(character));
    switch (outputFor(format)) {
    case Output::Plain: return plainTextPayload(ansiFromWide(character));
    case Output::Rich: return richTextPayload(wideFromAnsi(ansiFromWide(character)), font.face, font.pointSize);
    case Output::Unicode: break;
    }
    return richTextPayload(character, font.face, font.pointSize);
}

void OutputEngine::Button1Click(std::u16string_view character, PasteFormat format, const KeyFont &font,
                                ClipboardSink &clipboard)
{
    if (format == PasteFormat::Html) {
        if (effectiveMode(m_mode) == InputMode::MultipleChar)
            m_lastHtmlText = htmlText(character);
        clipboard.set(clickPayload(character, format, font));
        return;
    }

    const Output output = outputFor(format);
    const InputMode mode = effectiveMode(m_mode);
    if (mode == InputMode::MultipleChar) {
        // The clipboard is not emptied first: placing the collection replaces
        // whatever it held, so it never holds one character added to another
        // program's text.
        if (output == Output::Unicode)
            m_accumulatedWideText += character;
        else
            m_accumulatedText += ansiFromWide(character);
        placeAccumulated(format, font, clipboard);
        return;
    }
    // Single Char and Direct Paste place the one character; plain text empties
    // the clipboard first, and Single Char empties the collections.
    if (output == Output::Plain)
        clipboard.clear();
    if (mode == InputMode::SingleChar)
        clearCollections();
    clipboard.set(clickPayload(character, format, font));
}

void OutputEngine::SingleCharClick(ClipboardSink &clipboard) { chooseMode(InputMode::SingleChar, clipboard); }

void OutputEngine::MultipleCharClick(ClipboardSink &clipboard) { chooseMode(InputMode::MultipleChar, clipboard); }

void OutputEngine::DirectPasteClick(ClipboardSink &clipboard) { chooseMode(InputMode::DirectPaste, clipboard); }

void OutputEngine::ClearClipboardClick(ClipboardSink &clipboard) { clipboard.clear(); }

std::u16string OutputEngine::Collection(PasteFormat format) const
{
    if (effectiveMode(m_mode) != InputMode::MultipleChar)
        return {};
    if (format == PasteFormat::Html)
        return wideFromAnsi(m_lastHtmlText);
    if (outputFor(format) == Output::Unicode)
        return m_accumulatedWideText;
    return wideFromAnsi(m_accumulatedText);
}

bool OutputEngine::RemoveLastCharacter(PasteFormat format, const KeyFont &font, ClipboardSink &clipboard)
{
    if (Collection(format).empty())
        return false;
    // Every ANSI byte is one character; the HTML text is one character's.
    if (!m_accumulatedText.empty())
        m_accumulatedText.pop_back();
    if (!m_accumulatedWideText.empty()) {
        const std::size_t last = m_accumulatedWideText.size() - 1;
        const bool pair = last > 0 && (m_accumulatedWideText[last] & 0xFC00) == 0xDC00
                          && (m_accumulatedWideText[last - 1] & 0xFC00) == 0xD800;
        m_accumulatedWideText.erase(pair ? last - 1 : last);
    }
    m_lastHtmlText.clear();
    placeCollection(format, font, clipboard);
    return true;
}

void OutputEngine::PlaceCollection(PasteFormat format, const KeyFont &font, ClipboardSink &clipboard)
{
    if (effectiveMode(m_mode) == InputMode::MultipleChar)
        placeCollection(format, font, clipboard);
}

void OutputEngine::ClearCollection(ClipboardSink &clipboard)
{
    if (effectiveMode(m_mode) != InputMode::MultipleChar)
        return;
    clipboard.clear();
    clearCollections();
}

void OutputEngine::placeCollection(PasteFormat format, const KeyFont &font, ClipboardSink &clipboard) const
{
    if (Collection(format).empty()) {
        clipboard.clear();
        return;
    }
    if (format == PasteFormat::Html) {
        placePlain(clipboard, m_lastHtmlText);
        return;
    }
    placeAccumulated(format, font, clipboard);
}

void OutputEngine::placeAccumulated(PasteFormat format, const KeyFont &font, ClipboardSink &clipboard) const
{
    switch (outputFor(format)) {
    case Output::Plain: placePlain(clipboard, m_accumulatedText); break;
    case Output::Rich: placeRich(clipboard, wideFromAnsi(m_accumulatedText), font); break;
    case Output::Unicode: placeRich(clipboard, m_accumulatedWideText, font); break;
    }
}

void OutputEngine::chooseMode(InputMode mode, ClipboardSink &clipboard)
{
    m_mode = mode;
    clipboard.clear();
    clearCollections();
}

void OutputEngine::clearCollections()
{
    m_accumulatedText.clear();
    m_accumulatedWideText.clear();
    m_lastHtmlText.clear();
}

} // namespace umbrill
