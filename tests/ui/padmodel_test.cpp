// The pad's model announces every change the windows show, also when the
// clipboard refuses the output and the command throws; the characters output
// reach Recent's store a few seconds later, or when the window closes.
#include "uifixture.h"

#include "core/keypad/clipboardpayload.h"
#include "core/text/error.h"
#include "ui/common/padmodel.h"

#include <QSignalSpy>

namespace umbrill::test {
namespace {

class RefusingClipboard : public ClipboardSink {
public:
    void clear() override { throw Error("the clipboard is busy"); }
    void set(const ClipboardPayload &) override { throw Error("the clipboard is busy"); }
};

class PadModelTest : public UiFixture {};

TEST_F(PadModelTest, AnnouncesEveryChangeAlsoWhenTheClipboardRefuses)
{
    PadModel model(GetProgramDir());
    ASSERT_TRUE(model.checkForIniFile());
    QSignalSpy loaded(&model, &PadModel::languageLoaded);
    QSignalSpy collection(&model, &PadModel::collectionChanged);
    QSignalSpy language(&model, &PadModel::interfaceLanguageChanged);
    QSignalSpy typing(&model, &PadModel::typingChanged);

    model.loadLanguage("French");
    EXPECT_EQ(loaded.count(), 1);
    EXPECT_EQ(model.state().CurrentLanguage().KeyCodes.size(), 7u);

    model.setClipboard(std::make_unique<RefusingClipboard>());
    EXPECT_THROW(model.chooseMode(InputMode::MultipleChar), Error);
    EXPECT_EQ(collection.count(), 1);
    EXPECT_EQ(model.state().Output().Mode(), InputMode::MultipleChar);
    EXPECT_THROW(model.click(u"é"), Error);
    EXPECT_EQ(collection.count(), 2);
    EXPECT_EQ(model.state().collection(), u"é") << "the collection grows all the same";
    EXPECT_THROW(model.removeLastCharacter(), Error);
    EXPECT_EQ(collection.count(), 3);
    EXPECT_TRUE(model.state().collection().empty());

    model.showLanguage()("Deutsch");
    ASSERT_EQ(language.count(), 1);
    EXPECT_EQ(language.at(0).at(0).value<std::string>(), "Deutsch");

    model.setTyping(true);
    ASSERT_EQ(typing.count(), 1);
    EXPECT_TRUE(typing.at(0).at(0).toBool());
    EXPECT_TRUE(readSettings().contains("\"TypeIntoWindow\"=\"1\""));

    // Typed, not put on the clipboard: Recent waits, then is stored on closing.
    EXPECT_EQ(model.typeClick(u"è"), U"è");
    EXPECT_FALSE(readSettings().contains("\"Recent\""));
    model.savePending();
    EXPECT_TRUE(readSettings().contains("\"Recent\""));
}

TEST_F(PadModelTest, EachCommandAnnouncesWhatItChanged)
{
    PadModel model(GetProgramDir());
    ASSERT_TRUE(model.checkForIniFile());
    QSignalSpy languageChanged(&model, &PadModel::languageChanged);
    QSignalSpy options(&model, &PadModel::optionsChanged);
    QSignalSpy keyFont(&model, &PadModel::keyFontChanged);
    QSignalSpy keepOnTop(&model, &PadModel::keepOnTopChanged);
    QSignalSpy place(&model, &PadModel::placeChanged);

    EXPECT_EQ(model.nameLanguage(0, "French"), "French");
    EXPECT_EQ(languageChanged.count(), 1);
    EXPECT_EQ(model.state().LanguageIndex(), 0);
    EXPECT_TRUE(readSettings().contains("\"LastLanguage\"=\"French\""));
    model.setLanguageIndex(-1);
    EXPECT_EQ(languageChanged.count(), 2);

    model.storeOptions({PasteFormat::Html, 30, "English"});
    EXPECT_EQ(options.count(), 1);
    EXPECT_EQ(model.state().PasteFormatCode(), PasteFormat::Html);

    model.applyKeyFont("Arial", 44, 72.0);
    EXPECT_EQ(keyFont.count(), 1);
    EXPECT_EQ(model.state().KeySize(), 64);

    model.setKeepOnTop(false);
    ASSERT_EQ(keepOnTop.count(), 1);
    EXPECT_FALSE(keepOnTop.at(0).at(0).toBool());
    EXPECT_TRUE(readSettings().contains("\"KeepOnTop\"=\"0\""));

    model.notePosition({120, 80});
    EXPECT_EQ(place.count(), 1);
    EXPECT_FALSE(readSettings().contains("\"WindowPosition\""));
    model.savePosition();
    EXPECT_TRUE(readSettings().contains("\"WindowPosition\"=\"120,80\""));

    // The next start: the model names the language remembered, and announces it.
    PadModel next(GetProgramDir());
    ASSERT_TRUE(next.checkForIniFile());
    QSignalSpy nextLanguage(&next, &PadModel::languageChanged);
    QSignalSpy nextCollection(&next, &PadModel::collectionChanged);
    const auto restored = next.restoreStart();
    ASSERT_TRUE(restored);
    EXPECT_EQ(restored->key, "French");
    EXPECT_EQ(next.state().CurrentLanguage().LanguageName, "French");
    EXPECT_EQ(nextLanguage.count(), 1);
    EXPECT_EQ(nextCollection.count(), 1);
}

} // namespace
} // namespace umbrill::test
