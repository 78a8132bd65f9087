// The clipboard adapter: every format of a payload reaches QMimeData with its
// bytes, and the adapter places and empties the (in-process, offscreen) clipboard.
#include "ui/common/clipboardadapter.h"

#include "core/keypad/outputengine.h"
#include "core/keypad/richtext.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <gtest/gtest.h>

#include <memory>

namespace umbrill {
namespace {

QByteArray bytesOf(const std::string &s) { return QByteArray(s.data(), static_cast<qsizetype>(s.size())); }

void expectCarries(const QMimeData &data, const ClipboardPayload &payload)
{
    QStringList types;
    for (const auto &[type, bytes] : payload.formats) {
        SCOPED_TRACE(type);
        types << QString::fromStdString(type);
        EXPECT_EQ(data.data(QString::fromStdString(type)), bytesOf(bytes));
    }
    EXPECT_EQ(data.formats(), types);
}

TEST(ClipboardAdapter, MimeDataCarriesEveryFormatWithItsBytes)
{
    struct Row {
        const char *name;
        ClipboardPayload payload;
    };
    const Row rows[] = {
        {"rich text", richTextPayload(u"é&\U0001D11E", "Gentium", 13)},
        {"plain text", plainTextPayload("caf\xE9 \x9C")},
        {"bytes after a NUL are kept", ClipboardPayload{{{"application/x-umbrill-test", std::string("a\0b\xFF", 4)}}}},
        {"nothing", ClipboardPayload{}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const std::unique_ptr<QMimeData> data(toMimeData(row.payload));
        expectCarries(*data, row.payload);
    }

    // What a Qt program pasting from us reads.
    const std::unique_ptr<QMimeData> rich(toMimeData(richTextPayload(u"é&\U0001D11E", "Gentium", 13)));
    EXPECT_EQ(rich->text(), QString::fromUtf8("é&\U0001D11E"));
    EXPECT_TRUE(rich->html().contains(QStringLiteral("font-family:'Gentium';font-size:13pt")));
    EXPECT_TRUE(rich->html().contains(QString::fromUtf8("é&amp;\U0001D11E")));
    const std::unique_ptr<QMimeData> plain(toMimeData(plainTextPayload("caf\xE9 \x9C")));
    EXPECT_EQ(plain->text(), QString::fromUtf8("café œ"));
}

TEST(ClipboardAdapter, PlacesAndEmptiesTheClipboard)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    ClipboardAdapter adapter;
    const ClipboardPayload payload = richTextPayload(u"ŭ", "DejaVu Sans", 20);
    adapter.set(payload);
    ASSERT_NE(clipboard->mimeData(), nullptr);
    expectCarries(*clipboard->mimeData(), payload);

    adapter.clear();
    QCoreApplication::processEvents();
    const QMimeData *emptied = clipboard->mimeData();
    EXPECT_TRUE(emptied == nullptr || emptied->formats().isEmpty());

    // Emptied then placed in one handler: the data stays once the loop runs.
    adapter.clear();
    adapter.set(payload);
    QCoreApplication::processEvents();
    ASSERT_NE(clipboard->mimeData(), nullptr);
    expectCarries(*clipboard->mimeData(), payload);

    // A key click through the engine ends on the clipboard.
    OutputEngine engine;
    engine.MultipleCharClick(adapter);
    engine.Button1Click(u"é", PasteFormat::Unicode, KeyFont{"DejaVu Sans", 20}, adapter);
    engine.Button1Click(u"\U0001D11E", PasteFormat::Unicode, KeyFont{"DejaVu Sans", 20}, adapter);
    EXPECT_EQ(clipboard->text(), QString::fromUtf8("é\U0001D11E"));
    engine.Button1Click(u"é", PasteFormat::Html, KeyFont{"DejaVu Sans", 20}, adapter);
    EXPECT_EQ(clipboard->text(), QStringLiteral("&eacute;"));
    EXPECT_FALSE(clipboard->mimeData()->hasHtml());
}

} // namespace
} // namespace umbrill
