// The reference for the start-up measurement: a bare Qt Widgets window of the
// key pad's shape and nothing else. A menu bar of three menus, 60 fixed-size
// push buttons in a grid of 10 by 6, kept above other windows. It reads no
// file, keeps no state and does nothing when a button is clicked.
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>

namespace {

constexpr int kKeys = 60;
constexpr int kKeysPerRow = 10;
constexpr int kKeySize = 42;

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);

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
        auto *key = new QPushButton(QString(QChar(0xC0 + k)), client);
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
