// The command line: the actions a start asks of the pad (a keyboard language,
// Find, Type into Window on or off), read with QCommandLineParser. A second
// start hands its arguments to the running pad, which reads them the same way.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <variant>

namespace umbrill {

struct PadRequest {
    std::optional<QString> language;        // --language NAME
    bool find = false;                      // --find
    std::optional<bool> typeIntoWindow;     // --type-into-window on|off
};

// What the command line asks for instead of a pad: a text to print and the
// exit status (--help and --version: standard output, 0; a mistake: standard
// error, 2).
struct CommandLineExit {
    QString text;
    int status = 0;
};

// arguments as main() has them, the program's name first.
std::variant<PadRequest, CommandLineExit> readCommandLine(const QStringList &arguments);

} // namespace umbrill
