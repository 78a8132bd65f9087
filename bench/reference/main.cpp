// The reference for the start-up measurement: a bare Qt Widgets window of the
// key pad's shape and nothing else. A menu bar of three menus, 60 fixed-size
// push buttons in a grid of 10 by 6, kept above other windows. It reads no
// file, keeps no state and does nothing when a button is clicked.
//
// reference_window 255: the shape of the 255-key pad instead, 16 keys a row
// showing the characters of bench/startup.sh's 255-key language (161 to 255,
// then 256 onwards) in its key font, DejaVu Sans 12 pt.
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>

namespace {

constexpr int kKeySize = 42;

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const bool wide = argc > 1 && QByteArray(argv[1]) == "255";
    const int kKeys = wide ? 255 : 60;
    const int kKeysPerRow = wide ? 16 : 10;

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Reference"));
    window.setWindowFlag(Qt::WindowStaysOnTopHint, true);

    QMenuBar *bar = window.menuBar();
    QMenu *first = bar->addMenu(QStringLiteral("&Mode"));
    first->addAction(QStringLiteral("&Single"));
    first->addAction(QStringLiteral("&Multiple"));
    first->addAction(QStringLiteral("E&xit"), &window, &QWidget::close);
    bar->addMenu(QStringLiteral("&Language"))->addAction(QStringLiteral("&Choose"));
    bar->addMenu(QStringLiteral("&Help"))->addAction(QStringLiteral("&About"));

    auto *client = new QWidget(&window);
    for (int k = 0; k < kKeys; ++k) {
        const char16_t code = wide ? static_cast<char16_t>(k < 95 ? 161 + k : 256 + k - 95) : static_cast<char16_t>(0xC0 + k);
        auto *key = new QPushButton(QString(QChar(code)), client);
        if (wide)
            key->setFont(QFont(QStringLiteral("DejaVu Sans"), 12));
        key->setGeometry((k % kKeysPerRow) * kKeySize, (k / kKeysPerRow) * kKeySize, kKeySize, kKeySize);
    }
    const int rows = (kKeys + kKeysPerRow - 1) / kKeysPerRow;
    client->setFixedSize(kKeysPerRow * kKeySize, rows * kKeySize);
    window.setCentralWidget(client);
    window.setFixedSize(client->width(), client->height() + bar->sizeHint().height());

    if (QScreen *screen = window.screen())
        window.move(screen->availableGeometry().center() - QPoint(window.width() / 2, window.height() / 2));
    window.show();
    return app.exec();
}
