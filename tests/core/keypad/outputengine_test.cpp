// The output engine over a recording clipboard: every mode with every format,
// the collections across mode and format changes, and a clipboard that refuses.
#include "core/keypad/outputengine.h"

#include "core/keypad/richtext.h"
#include "core/text/ansi.h"
#include "core/text/error.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace umbrill {
namespace {

// Records "C" for each clear and "S" for each set, and holds what a real
// clipboard would hold; while refusing, both throw as the platform does.
class FakeClipboard : public ClipboardSink {
public:
    std::optional<ClipboardPayload> content;  // nullopt: empty
    std::string calls;
    bool refuse = false;

    void clear() override
    {
        calls += 'C';
        if (refuse)
            throw Error(std::string(kCannotOpenClipboard));
        content.reset();
    }
    void set(const ClipboardPayload &payload) override
    {
        calls += 'S';
        if (refuse)
            throw Error(std::string(kCannotOpenClipboard));
        content = payload;
    }
};

const KeyFont kFont{"Gentium", 13};

constexpr auto P = PasteFormat::PlainText;
constexpr auto R = PasteFormat::RichText;
constexpr auto U = PasteFormat::Unicode;
constexpr auto H = PasteFormat::Html;
constexpr auto UnknownFormat = static_cast<PasteFormat>(9);

enum class Kind { Empty, Plain, Rich };

// What the clipboard offers: plain text alone, or rich text in the key font.
void expectClipboard(const FakeClipboard &clipboard, Kind kind, const std::string &utf8Text)
{
    if (kind == Kind::Empty) {
        EXPECT_FALSE(clipboard.content.has_value());
        return;
    }
    ASSERT_TRUE(clipboard.content.has_value());
    const ClipboardPayload &payload = *clipboard.content;
    ASSERT_NE(payload.find(kMimePlainTextUtf8), nullptr);
    EXPECT_EQ(*payload.find(kMimePlainTextUtf8), utf8Text);
    ASSERT_NE(payload.find(kMimePlainText), nullptr);
    EXPECT_EQ(*payload.find(kMimePlainText), utf8Text);
    if (kind == Kind::Plain) {
        EXPECT_EQ(payload.formats.size(), 2u);
        return;
    }
    ASSERT_NE(payload.find(kMimeRtf), nullptr);
    EXPECT_EQ(*payload.find(kMimeRtf), rtfFromText(wideFromUtf8(utf8Text), kFont.face, kFont.pointSize));
    EXPECT_NE(payload.find(kMimeRtf)->find("\\fs26 "), std::string::npos);
    ASSERT_NE(payload.find(kMimeHtml), nullptr);
    EXPECT_NE(payload.find(kMimeHtml)->find("font-family:'Gentium';font-size:13pt"), std::string::npos);
}

TEST(OutputEngine, EveryModeWithEveryFormat)
{
    // Each row starts with collections "x" and "y" and clicks é, then ŭ (which
    // Windows-1252 lacks).
    struct Row {
        const char *name;
        InputMode mode;
        PasteFormat format;
        std::string calls;
        Kind kind;
        std::string clipboard;
        std::string accumulated;  // UTF-8 of the Windows-1252 collection
        std::u16string accumulatedWide;
    };
    const auto D = InputMode::DirectPaste;
    const auto S = InputMode::SingleChar;
    const auto M = InputMode::MultipleChar;
    const auto unknownMode = static_cast<InputMode>(7);
    const Row rows[] = {
        {"single plain", S, P, "CSCS", Kind::Plain, "?", "", u""},
        {"single rich", S, R, "SS", Kind::Rich, "?", "", u""},
        {"single unicode", S, U, "SS", Kind::Rich, "ŭ", "", u""},
        {"single html", S, H, "SS", Kind::Plain, "?", "x", u"y"},
        {"single unknown format acts as rich", S, UnknownFormat, "SS", Kind::Rich, "?", "", u""},
        {"multiple plain", M, P, "SS", Kind::Plain, "xé?", "xé?", u"y"},
        {"multiple rich", M, R, "SS", Kind::Rich, "xé?", "xé?", u"y"},
        {"multiple unicode", M, U, "SS", Kind::Rich, "yéŭ", "x", u"yéŭ"},
        {"multiple html", M, H, "SS", Kind::Plain, "?", "x", u"y"},
        {"multiple unknown format acts as rich", M, UnknownFormat, "SS", Kind::Rich, "xé?", "xé?", u"y"},
        {"direct plain", D, P, "CSCS", Kind::Plain, "?", "x", u"y"},
        {"direct rich", D, R, "SS", Kind::Rich, "?", "x", u"y"},
        {"direct unicode", D, U, "SS", Kind::Rich, "ŭ", "x", u"y"},
        {"direct html", D, H, "SS", Kind::Plain, "?", "x", u"y"},
        {"direct unknown format acts as rich", D, UnknownFormat, "SS", Kind::Rich, "?", "x", u"y"},
        {"unknown mode acts as direct, plain", unknownMode, P, "CSCS", Kind::Plain, "?", "x", u"y"},
        {"unknown mode acts as direct, unicode", unknownMode, U, "SS", Kind::Rich, "ŭ", "x", u"y"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        // Both collections hold something before the clicks.
        OutputEngine engine;
        FakeClipboard seeding;
        engine.setMode(InputMode::MultipleChar);
        engine.Button1Click(u"x", PasteFormat::PlainText, kFont, seeding);
        engine.Button1Click(u"y", PasteFormat::Unicode, kFont, seeding);
        engine.setMode(row.mode);
        FakeClipboard clipboard;
        engine.Button1Click(u"é", row.format, kFont, clipboard);
        engine.Button1Click(u"ŭ", row.format, kFont, clipboard);
        EXPECT_EQ(clipboard.calls, row.calls);
        expectClipboard(clipboard, row.kind, row.clipboard);
        EXPECT_EQ(utf8FromAnsi(engine.AccumulatedText()), row.accumulated);
        EXPECT_EQ(engine.AccumulatedWideText(), row.accumulatedWide);
        EXPECT_EQ(engine.Mode(), row.mode);
    }
}

enum class Do { Click, SingleChar, MultipleChar, DirectPaste, ClearClipboard, Backspace, Place, ClearCollection };

struct Step {
    Do action;
    std::u16string character = {};
    PasteFormat format = P;
    bool refused = false;  // the clipboard refuses during this step, which must then throw
};

Step click(std::u16string c, PasteFormat format) { return {Do::Click, std::move(c), format}; }
Step refused(Step step)
{
    step.refused = true;
    return step;
}
const Step singleChar{Do::SingleChar};
const Step multipleChar{Do::MultipleChar};
const Step directPaste{Do::DirectPaste};
const Step clearClipboard{Do::ClearClipboard};
Step backspace(PasteFormat format) { return {Do::Backspace, {}, format}; }
Step place(PasteFormat format) { return {Do::Place, {}, format}; }
const Step clearCollection{Do::ClearCollection};

void run(OutputEngine &engine, FakeClipboard &clipboard, const Step &step)
{
    switch (step.action) {
    case Do::Click: engine.Button1Click(step.character, step.format, kFont, clipboard); break;
    case Do::SingleChar: engine.SingleCharClick(clipboard); break;
    case Do::MultipleChar: engine.MultipleCharClick(clipboard); break;
    case Do::DirectPaste: engine.DirectPasteClick(clipboard); break;
    case Do::ClearClipboard: engine.ClearClipboardClick(clipboard); break;
    case Do::Backspace: engine.RemoveLastCharacter(step.format, kFont, clipboard); break;
    case Do::Place: engine.PlaceCollection(step.format, kFont, clipboard); break;
    case Do::ClearCollection: engine.ClearCollection(clipboard); break;
    }
}

struct Sequence {
    const char *name;
    std::vector<Step> steps;
    Kind kind;
    std::string clipboard;
    std::string accumulated;
    std::u16string accumulatedWide;
    InputMode mode;
};

void runSequences(const std::vector<Sequence> &rows)
{
    for (const Sequence &row : rows) {
        SCOPED_TRACE(row.name);
        OutputEngine engine;
        FakeClipboard clipboard;
        for (std::size_t i = 0; i < row.steps.size(); ++i) {
            SCOPED_TRACE("step " + std::to_string(i + 1));
            const Step &step = row.steps[i];
            clipboard.refuse = step.refused;
            if (step.refused) {
                try {
                    run(engine, clipboard, step);
                    ADD_FAILURE() << "a refused clipboard was reported as success";
                } catch (const Error &e) {
                    EXPECT_STREQ(e.what(), "Cannot open clipboard");
                }
            } else {
                run(engine, clipboard, step);
            }
        }
        expectClipboard(clipboard, row.kind, row.clipboard);
        EXPECT_EQ(utf8FromAnsi(engine.AccumulatedText()), row.accumulated);
        EXPECT_EQ(engine.AccumulatedWideText(), row.accumulatedWide);
        EXPECT_EQ(engine.Mode(), row.mode);
    }
}

const auto Single = InputMode::SingleChar;
const auto Multiple = InputMode::MultipleChar;
const auto Direct = InputMode::DirectPaste;

TEST(OutputEngine, CollectsAcrossModeAndFormatChanges)
{
    runSequences({
        {"a new engine starts in Single Char", {}, Kind::Empty, "", "", u"", Single},
        {"single plain keeps only the last", {click(u"é", P), click(u"è", P)}, Kind::Plain, "è", "", u"", Single},
        {"multiple plain collects", {multipleChar, click(u"é", P), click(u"è", P)}, Kind::Plain, "éè", "éè", u"",
         Multiple},
        {"choosing Multiple Char again starts anew",
         {multipleChar, click(u"é", P), click(u"è", P), multipleChar}, Kind::Empty, "", "", u"", Multiple},
        {"after Clear Clipboard the whole collection comes back",
         {multipleChar, click(u"é", P), click(u"è", P), clearClipboard, click(u"é", P)}, Kind::Plain, "éèé", "éèé",
         u"", Multiple},
        {"plain and rich share one collection",
         {multipleChar, click(u"é", P), click(u"è", R)}, Kind::Rich, "éè", "éè", u"", Multiple},
        {"unicode to rich starts from the rich collection",
         {multipleChar, click(u"é", U), click(u"è", U), click(u"à", R)}, Kind::Rich, "à", "à", u"éè", Multiple},
        {"back to unicode continues the unicode collection",
         {multipleChar, click(u"é", U), click(u"è", U), click(u"à", R), click(u"ù", U)}, Kind::Rich, "éèù", "à",
         u"éèù", Multiple},
        {"a single click empties both collections",
         {multipleChar, click(u"é", U), click(u"è", P), singleChar, click(u"à", U)}, Kind::Rich, "à", "", u"", Single},
        {"direct paste chosen empties the collections",
         {multipleChar, click(u"é", U), click(u"è", P), directPaste}, Kind::Empty, "", "", u"", Direct},
        {"direct paste leaves the collections", {directPaste, click(u"é", U), click(u"è", P)}, Kind::Plain, "è", "",
         u"", Direct},
    });
}

TEST(OutputEngine, HtmlPlacesOneEntityAndCollectsNothing)
{
    runSequences({
        {"entity alone in Multiple Char", {multipleChar, click(u"é", H), click(u"è", H)}, Kind::Plain, "&egrave;",
         "", u"", Multiple},
        {"collected characters stay collected and stay off the clipboard",
         {multipleChar, click(u"é", P), click(u"è", H)}, Kind::Plain, "&egrave;", "é", u"", Multiple},
        {"shared degree entity", {click(u"º", H)}, Kind::Plain, "&deg;", "", u"", Single},
        {"ampersand is itself", {click(u"&", H)}, Kind::Plain, "&", "", u"", Single},
        {"less-than is itself", {click(u"<", H)}, Kind::Plain, "<", "", u"", Single},
        {"ligature oe is its Windows-1252 form", {click(u"œ", H)}, Kind::Plain, "œ", "", u"", Single},
        {"a character the page lacks", {click(u"ŭ", H)}, Kind::Plain, "?", "", u"", Single},
        {"a character beyond U+FFFF is one mark", {click(u"\U0001D11E", H)}, Kind::Plain, "?", "", u"", Single},
    });
}

TEST(OutputEngine, OddKeyCharactersComeOutWhole)
{
    // A combining mark (shown between blanks on its key), an ampersand (shown
    // as "&&"), a character beyond U+FFFF and the replacement character.
    runSequences({
        {"combining mark, plain", {click(u"\u064B", P)}, Kind::Plain, "?", "", u"", Single},
        {"combining mark, rich", {click(u"\u064B", R)}, Kind::Rich, "?", "", u"", Single},
        {"combining mark, unicode", {click(u"\u064B", U)}, Kind::Rich, "\u064B", "", u"", Single},
        {"combining mark, html", {click(u"\u064B", H)}, Kind::Plain, "?", "", u"", Single},
        {"ampersand, plain", {click(u"&", P)}, Kind::Plain, "&", "", u"", Single},
        {"ampersand, rich", {click(u"&", R)}, Kind::Rich, "&", "", u"", Single},
        {"ampersand, unicode", {click(u"&", U)}, Kind::Rich, "&", "", u"", Single},
        {"beyond U+FFFF, plain", {click(u"\U0001D11E", P)}, Kind::Plain, "?", "", u"", Single},
        {"beyond U+FFFF, rich", {click(u"\U0001D11E", R)}, Kind::Rich, "?", "", u"", Single},
        {"beyond U+FFFF, unicode", {click(u"\U0001D11E", U)}, Kind::Rich, "\U0001D11E", "", u"", Single},
        {"beyond U+FFFF, collected as plain",
         {multipleChar, click(u"\U0001D11E", P), click(u"é", P)}, Kind::Plain, "?é", "?é", u"", Multiple},
        {"beyond U+FFFF, collected as unicode",
         {multipleChar, click(u"\U0001D11E", U), click(u"é", U)}, Kind::Rich, "\U0001D11Eé", "", u"\U0001D11Eé",
         Multiple},
        {"replacement character, plain", {click(u"\uFFFD", P)}, Kind::Plain, "?", "", u"", Single},
        {"replacement character, unicode", {click(u"\uFFFD", U)}, Kind::Rich, "\uFFFD", "", u"", Single},
    });
}

TEST(OutputEngine, RefusedClipboardKeepsWhatTheClickAlreadyDid)
{
    runSequences({
        {"a collected character stays collected",
         {multipleChar, click(u"é", P), refused(click(u"è", P))}, Kind::Plain, "é", "éè", u"", Multiple},
        {"a collected unicode character stays collected",
         {multipleChar, click(u"é", U), refused(click(u"è", U))}, Kind::Rich, "é", "", u"éè", Multiple},
        {"a mode handler changes the mode but keeps the collections",
         {multipleChar, click(u"é", U), refused(singleChar)}, Kind::Rich, "é", "", u"é", Single},
        {"Direct Paste chosen likewise",
         {multipleChar, click(u"é", P), refused(directPaste)}, Kind::Plain, "é", "é", u"", Direct},
        {"single plain fails on emptying, before the collections are emptied",
         {multipleChar, click(u"é", P), refused(singleChar), refused(click(u"è", P))}, Kind::Plain, "é", "é", u"",
         Single},
        {"single rich empties the collections before the copy",
         {multipleChar, click(u"é", P), refused(singleChar), refused(click(u"è", R))}, Kind::Plain, "é", "", u"",
         Single},
        {"Clear Clipboard changes nothing",
         {multipleChar, click(u"é", P), refused(clearClipboard)}, Kind::Plain, "é", "é", u"", Multiple},
        {"html changes nothing", {click(u"é", P), refused(click(u"è", H))}, Kind::Plain, "é", "", u"", Single},
        {"the next click after a refusal works",
         {multipleChar, click(u"é", P), refused(click(u"è", P)), click(u"à", P)}, Kind::Plain, "éèà", "éèà", u"",
         Multiple},
    });
}

TEST(OutputEngine, BackspaceTakesBackOneWholeCharacter)
{
    runSequences({
        {"plain", {multipleChar, click(u"é", P), click(u"è", P), backspace(P)}, Kind::Plain, "é", "é", u"", Multiple},
        {"rich, a character the page lacks goes as its mark",
         {multipleChar, click(u"é", R), click(u"ŭ", R), backspace(R)}, Kind::Rich, "é", "é", u"", Multiple},
        {"unicode, a surrogate pair goes together",
         {multipleChar, click(u"é", U), click(u"\U0001D11E", U), backspace(U)}, Kind::Rich, "é", "", u"é", Multiple},
        {"unicode, a key of two code points loses one",
         {multipleChar, click(u"e\u0301", U), backspace(U)}, Kind::Rich, "e", "", u"e", Multiple},
        {"both collections lose their last character",
         {multipleChar, click(u"é", P), click(u"è", P), click(u"α", U), click(u"\U0001D11E", U), backspace(U)},
         Kind::Rich, "α", "é", u"α", Multiple},
        {"the last character gone, the clipboard is empty",
         {multipleChar, click(u"é", P), backspace(P)}, Kind::Empty, "", "", u"", Multiple},
        {"html loses the whole entity", {multipleChar, click(u"é", H), click(u"è", H), backspace(H)}, Kind::Empty, "",
         "", u"", Multiple},
        {"html with a plain collection behind it",
         {multipleChar, click(u"é", P), click(u"è", P), click(u"à", H), backspace(H)}, Kind::Empty, "", "é", u"",
         Multiple},
        {"an empty collection: nothing happens",
         {multipleChar, click(u"é", U), clearClipboard, backspace(P)}, Kind::Empty, "", "", u"é", Multiple},
        {"Single Char: nothing happens", {click(u"é", P), backspace(P)}, Kind::Plain, "é", "", u"", Single},
        {"Direct Paste: nothing happens", {directPaste, click(u"é", U), backspace(U)}, Kind::Rich, "é", "", u"",
         Direct},
        {"a refusing clipboard: the collection stays shortened",
         {multipleChar, click(u"é", P), click(u"è", P), refused(backspace(P))}, Kind::Plain, "éè", "é", u"",
         Multiple},
        {"collecting goes on after it",
         {multipleChar, click(u"é", P), click(u"è", P), backspace(P), click(u"à", P)}, Kind::Plain, "éà", "éà", u"",
         Multiple},
    });
}

TEST(OutputEngine, PlacesAndEmptiesTheCollectionOnRequest)
{
    runSequences({
        {"placed again after Clear Clipboard", {multipleChar, click(u"é", P), clearClipboard, place(P)}, Kind::Plain,
         "é", "é", u"", Multiple},
        {"placed in the format of the moment", {multipleChar, click(u"é", U), click(u"è", P), place(U)}, Kind::Rich,
         "é", "è", u"é", Multiple},
        {"an empty collection empties the clipboard", {multipleChar, click(u"é", U), place(P)}, Kind::Empty, "", "",
         u"é", Multiple},
        {"html places its entity again", {multipleChar, click(u"é", H), clearClipboard, place(H)}, Kind::Plain,
         "&eacute;", "", u"", Multiple},
        {"emptied: every collection and the clipboard",
         {multipleChar, click(u"é", P), click(u"è", U), click(u"à", H), clearCollection, place(H)}, Kind::Empty, "",
         "", u"", Multiple},
        {"Single Char: placing and emptying do nothing", {click(u"é", P), place(P), clearCollection}, Kind::Plain,
         "é", "", u"", Single},
    });
}

TEST(OutputEngine, TheCollectionIsWhatTheClipboardHolds)
{
    // After every click and Backspace in Multiple Char, in every format, the
    // collection shown reads as the clipboard's text.
    const std::vector<Step> steps = {click(u"é", P),  click(u"ŭ", P),  click(u"\U0001D11E", P), click(u"&", P),
                                     backspace(P),     click(u"œ", P),  backspace(P),             backspace(P),
                                     click(u"º", P),   backspace(P),    backspace(P),             backspace(P),
                                     click(u"è", P)};
    for (const PasteFormat format : {P, R, U, H, UnknownFormat}) {
        SCOPED_TRACE(std::string(pasteFormatName(format)) + " " + std::to_string(static_cast<int>(format)));
        OutputEngine engine;
        FakeClipboard clipboard;
        engine.MultipleCharClick(clipboard);
        for (std::size_t i = 0; i < steps.size(); ++i) {
            SCOPED_TRACE("step " + std::to_string(i + 1));
            Step step = steps[i];
            step.format = format;
            run(engine, clipboard, step);
            const std::string *text = clipboard.content ? clipboard.content->find(kMimePlainTextUtf8) : nullptr;
            EXPECT_EQ(text ? *text : std::string(), utf8FromWide(engine.Collection(format)));
            EXPECT_FALSE(text && text->empty()) << "an empty collection is an empty clipboard";
        }
    }
}

TEST(OutputEngine, RichOutputUsesTheFontOfTheMoment)
{
    OutputEngine engine;
    FakeClipboard clipboard;
    engine.Button1Click(u"é", U, KeyFont{"Old Face", 10}, clipboard);
    engine.Button1Click(u"é", U, KeyFont{"New Face", 24}, clipboard);
    ASSERT_TRUE(clipboard.content.has_value());
    EXPECT_EQ(*clipboard.content->find(kMimeRtf), rtfFromText(u"é", "New Face", 24));
}

// A drag carries the one character as a Single Char click places it, in every format.
TEST(OutputEngine, ADragCarriesTheOneCharacterAsASingleCharClickPlacesIt)
{
    for (PasteFormat format : {P, R, U, H, UnknownFormat}) {
        for (std::u16string_view character : {u"é", u"ș", u"\U0001F600", u"&"}) {
            SCOPED_TRACE(testing::Message() << "format " << static_cast<int>(format) << ", "
                                            << utf8FromWide(character));
            OutputEngine engine;
            FakeClipboard clipboard;
            engine.Button1Click(character, format, kFont, clipboard);
            ASSERT_TRUE(clipboard.content.has_value());
            EXPECT_EQ(clickPayload(character, format, kFont).formats, clipboard.content->formats);
        }
    }
}

} // namespace
} // namespace umbrill
