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

    model.loadLanguage("French", [](const std::string &) {});
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

} // namespace
} // namespace umbrill::test
