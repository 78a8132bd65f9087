// Renders the help text, written in Markdown, into the A4 PDF that lies beside
// the program. Usage: makehelp <source.md> <output.pdf>
// Runs without a display: it picks Qt's offscreen platform unless told otherwise.
#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextFrameFormat>
#include <QTextTable>
#include <QUrl>

#include <cstdio>

namespace {

constexpr int kResolution = 300;          // dots per inch of the PDF's coordinate system
constexpr qreal kMarginMm = 18.0;         // left and right
constexpr qreal kTopMarginMm = 16.0;
constexpr qreal kBottomMarginMm = 20.0;   // leaves room for the footer
constexpr qreal kBodyPointSize = 10.0;
constexpr qreal kLayoutDpi = 96.0;        // the text layout scales frame margins from this to the device

void fail(const QString &message)
{
    std::fprintf(stderr, "makehelp: %s\n", qPrintable(message));
}

qreal mmToDots(qreal mm)
{
    return mm * kResolution / 25.4;
}

qreal mmToLayoutPixels(qreal mm)
{
    return mm * kLayoutDpi / 25.4;
}

// The text of the first level-one heading, used as the PDF's title and in the footer.
QString documentTitle(const QString &markdown)
{
    static const QRegularExpression heading(QStringLiteral("^#\\s+(.+?)\\s*$"),
                                            QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = heading.match(markdown);
    return match.hasMatch() ? match.captured(1) : QStringLiteral("Help");
}

// Markdown gives plain tables with doubled borders and bare code blocks; this
// gives them thin single rules, a shaded header row and a shaded background.
void styleDocument(QTextDocument &document)
{
    const QColor rule(0xb4, 0xb9, 0xc0);
    const QColor shade(0xee, 0xf1, 0xf4);

    QList<QTextFrame *> frames{document.rootFrame()};
    while (!frames.isEmpty()) {
        QTextFrame *frame = frames.takeFirst();
        frames.append(frame->childFrames());
        auto *table = qobject_cast<QTextTable *>(frame);
        if (!table)
            continue;
        QTextTableFormat format = table->format();
        format.setBorder(0.75);
        format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
        format.setBorderBrush(rule);
        format.setBorderCollapse(true);
        format.setCellSpacing(0);
        format.setCellPadding(3);
        format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
        format.setHeaderRowCount(1);
        format.setTopMargin(2);
        format.setBottomMargin(4);
        table->setFormat(format);
        for (int row = 0; row < table->rows(); ++row) {
            for (int column = 0; column < table->columns(); ++column) {
                QTextTableCell cell = table->cellAt(row, column);
                QTextTableCellFormat cellFormat = cell.format().toTableCellFormat();
                cellFormat.setVerticalAlignment(QTextCharFormat::AlignTop);
                cellFormat.setBorder(0.75);
                cellFormat.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
                cellFormat.setBorderBrush(rule);
                if (row == 0)
                    cellFormat.setBackground(shade);
                cell.setFormat(cellFormat);
            }
        }
    }

    QTextCursor cursor(&document);
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        QTextBlockFormat format = block.blockFormat();
        if (format.hasProperty(QTextFormat::BlockCodeFence)) {
            format.setBackground(shade);
            format.setLeftMargin(format.leftMargin() + 4);
        } else if (format.headingLevel() > 1) {
            format.setTopMargin(format.topMargin() + 8);
        } else {
            continue;
        }
        cursor.setPosition(block.position());
        cursor.setBlockFormat(format);
    }
}

// Starts a table that would straddle two pages on a new page, when it fits on
// one. Call after the page size is set; each move may shift the tables below.
void keepTablesTogether(QTextDocument &document, qreal bodyHeight)
{
    const qreal pageHeight = document.pageSize().height();
    QList<QTextTable *> tables;
    QList<QTextFrame *> frames{document.rootFrame()};
    while (!frames.isEmpty()) {
        QTextFrame *frame = frames.takeFirst();
        frames.append(frame->childFrames());
        if (auto *table = qobject_cast<QTextTable *>(frame))
            tables.append(table);
    }
    for (QTextTable *table : tables) {
        document.pageCount();  // finishes the layout, moved tables above included
        const QRectF box = document.documentLayout()->frameBoundingRect(table);
        const bool straddles = int(box.top() / pageHeight) != int(box.bottom() / pageHeight);
        if (!straddles || box.height() >= bodyHeight)
            continue;
        QTextTableFormat format = table->format();
        format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        table->setFormat(format);
    }
}

// The pictures the text names that cannot be loaded; the layout would leave
// them out without a word.
QStringList missingImages(QTextDocument &document)
{
    QStringList missing;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (!format.isImageFormat())
                continue;
            const QString name = format.toImageFormat().name();
            if (document.resource(QTextDocument::ImageResource, QUrl(name)).isNull())
                missing.append(name);
        }
    }
    return missing;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Same layout whatever screen the generator happens to run on.
    QCoreApplication::setAttribute(Qt::AA_Use96Dpi);
    QGuiApplication app(argc, argv);

    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3) {
        fail(QStringLiteral("usage: makehelp <source.md> <output.pdf>"));
        return 2;
    }
    const QString sourcePath = args.at(1);
    const QString outputPath = args.at(2);

    QFile source(sourcePath);
    if (!source.open(QIODevice::ReadOnly)) {
        fail(QStringLiteral("cannot read %1: %2").arg(sourcePath, source.errorString()));
        return 1;
    }
    const QString markdown = QString::fromUtf8(source.readAll());
    const QString title = documentTitle(markdown);

    // Written to a temporary file and renamed at the end, so that a failed run
    // never leaves a half-written document that the build would take as done.
    QSaveFile output(outputPath);
    if (!output.open(QIODevice::WriteOnly)) {
        fail(QStringLiteral("cannot write %1: %2").arg(outputPath, output.errorString()));
        return 1;
    }

    QPdfWriter writer(&output);
    writer.setResolution(kResolution);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                                     QPageLayout::Millimeter));
    writer.setTitle(title);
    writer.setCreator(QStringLiteral("makehelp"));

    QTextDocument document;
    // Images in the source are named relative to the source file.
    document.setBaseUrl(QUrl::fromLocalFile(QFileInfo(sourcePath).absoluteFilePath()));
    QFont body(QStringLiteral("DejaVu Sans"));
    body.setStyleHint(QFont::SansSerif);
    body.setPointSizeF(kBodyPointSize);
    document.setDefaultFont(body);
    document.setMarkdown(markdown, QTextDocument::MarkdownDialectGitHub);
    styleDocument(document);
    if (const QStringList missing = missingImages(document); !missing.isEmpty()) {
        fail(QStringLiteral("cannot load %1").arg(missing.join(QStringLiteral(", "))));
        return 1;
    }

    // Lay out in the writer's own units, one page the size of the paper; the root
    // frame's margins are repeated on every page by the layout, which takes them
    // in pixels at 96 dots per inch.
    document.documentLayout()->setPaintDevice(&writer);
    const QSizeF paper(writer.width(), writer.height());
    QTextFrameFormat rootFormat = document.rootFrame()->frameFormat();
    rootFormat.setMargin(0);
    rootFormat.setLeftMargin(mmToLayoutPixels(kMarginMm));
    rootFormat.setRightMargin(mmToLayoutPixels(kMarginMm));
    rootFormat.setTopMargin(mmToLayoutPixels(kTopMarginMm));
    rootFormat.setBottomMargin(mmToLayoutPixels(kBottomMarginMm));
    document.rootFrame()->setFrameFormat(rootFormat);
    document.setPageSize(paper);
    keepTablesTogether(document, paper.height() - (mmToDots(kTopMarginMm) + mmToDots(kBottomMarginMm)));

    const int pageCount = document.pageCount();
    QPainter painter;
    if (!painter.begin(&writer)) {
        fail(QStringLiteral("cannot start the PDF %1").arg(outputPath));
        return 1;
    }
    QFont footerFont = body;
    footerFont.setPointSizeF(kBodyPointSize - 2);
    for (int page = 0; page < pageCount; ++page) {
        if (page > 0)
            writer.newPage();
        painter.save();
        painter.translate(0, -page * paper.height());
        document.drawContents(&painter, QRectF(QPointF(0, page * paper.height()), paper));
        painter.restore();

        painter.setFont(footerFont);
        painter.setPen(QColor(0x55, 0x55, 0x55));
        const QRectF footer(mmToDots(kMarginMm), paper.height() - mmToDots(kBottomMarginMm * 0.6),
                            paper.width() - 2 * mmToDots(kMarginMm), mmToDots(6));
        painter.drawText(footer, Qt::AlignLeft | Qt::AlignVCenter, title);
        painter.drawText(footer, Qt::AlignRight | Qt::AlignVCenter,
                         QStringLiteral("%1 / %2").arg(page + 1).arg(pageCount));
    }
    if (!painter.end()) {
        fail(QStringLiteral("cannot finish the PDF %1").arg(outputPath));
        return 1;
    }
    if (!output.commit()) {
        fail(QStringLiteral("cannot write %1: %2").arg(outputPath, output.errorString()));
        return 1;
    }
    return 0;
}
