// The command line.
#include "ui/app/commandline.h"

#include <QCommandLineParser>
#include <QCoreApplication>

namespace umbrill {

std::variant<PadRequest, CommandLineExit> readCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "A key pad for accented and special characters. There is one pad per desktop session: a second start "
        "brings the running pad to the front and hands it these actions."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help and exit."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Show the version and exit."));
    const QCommandLineOption language(QStringLiteral("language"),
                                      QStringLiteral("Show the keys of the keyboard language NAME, as the "
                                                     "Language list names it (\"French\", \"My Characters\")."),
                                      QStringLiteral("NAME"));
    const QCommandLineOption find(QStringLiteral("find"), QStringLiteral("Open Find Character."));
    const QCommandLineOption typing(QStringLiteral("type-into-window"),
                                    QStringLiteral("Turn Type into Window on or off."), QStringLiteral("on|off"));
    parser.addOptions({help, version, language, find, typing});

    const auto mistake = [](const QString &text) {
        return CommandLineExit{QStringLiteral("Umbrill: ") + text + QStringLiteral("\nTry 'umbrill --help'.\n"), 2};
    };
    if (!parser.parse(arguments))
        return mistake(parser.errorText());
    if (parser.isSet(help))
        // Read before there is an application object, which would give the program's name.
        return CommandLineExit{parser.helpText().replace(QLatin1String("<executable_name>"), QLatin1String("umbrill")), 0};
    if (parser.isSet(version))
        return CommandLineExit{QStringLiteral("Umbrill %1\n").arg(QStringLiteral(UMBRILL_VERSION)), 0};
    if (!parser.positionalArguments().isEmpty())
        return mistake(QStringLiteral("Unexpected argument '%1'.").arg(parser.positionalArguments().front()));

    PadRequest request;
    if (parser.isSet(language))
        request.language = parser.value(language);
    request.find = parser.isSet(find);
    if (parser.isSet(typing)) {
        const QString value = parser.value(typing).toLower();
        if (value == QLatin1String("on"))
            request.typeIntoWindow = true;
        else if (value == QLatin1String("off"))
            request.typeIntoWindow = false;
        else
            return mistake(QStringLiteral("--type-into-window takes 'on' or 'off', not '%1'.").arg(parser.value(typing)));
    }
    return request;
}

} // namespace umbrill
