// Holds a name on the session bus and answers nothing, as another program of
// the same user may: prints "held" once the name is its own, then waits.
// Usage: busnameholder NAME
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2 || !QDBusConnection::sessionBus().registerService(QString::fromLocal8Bit(argv[1]))) {
        std::fputs("busnameholder: the name could not be taken\n", stderr);
        return 1;
    }
    std::puts("held");
    std::fflush(stdout);
    return app.exec();
}
