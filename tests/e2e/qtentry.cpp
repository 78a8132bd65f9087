// A Qt text entry as the target of typing: writes the entry's whole text to a
// file at each change (an empty file once the window is up).
// Usage: qtentry <title> <text file>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QSaveFile>
#include <QTimer>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc < 3)
        return 2;
    const QString out = QString::fromLocal8Bit(argv[2]);
    QLineEdit entry;
    entry.setWindowTitle(QString::fromLocal8Bit(argv[1]));
    entry.resize(600, 60);
    auto write = [&] {
        QSaveFile file(out);
        if (file.open(QIODevice::WriteOnly)) {
            file.write(entry.text().toUtf8());
            file.commit();
        }
    };
    QObject::connect(&entry, &QLineEdit::textChanged, write);
    entry.show();
    QTimer::singleShot(0, write);
    return app.exec();
}
