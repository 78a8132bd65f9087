// The program's small modal questions.
#include "ui/common/questions.h"

#include "core/interface/interfacestrings.h"
#include "ui/common/qtext.h"
#include "ui/common/shell.h"

#include <QAbstractButton>
#include <QFontDialog>
#include <QMessageBox>
#include <QPushButton>

namespace umbrill {

QFont askFont(QWidget *parent, const QFont &initial)
{
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, initial, parent);
    return ok ? font : initial;
}

void tell(QWidget *parent, const QString &message, const QString &name)
{
    QMessageBox box(QMessageBox::Information, qs(kInformationTitle), message, QMessageBox::Ok, boxParent(parent));
    box.setObjectName(name);
    box.exec();
}

bool openHelp(QWidget *parent, const std::filesystem::path &help, std::string_view controlLanguage)
{
    std::error_code ec;
    const bool present = std::filesystem::exists(help, ec);
    if (present && ShellOpen(fileUrl(help)))
        return true;
    // No program to open it with: said like a missing document, and the pad stays.
    const std::string_view message =
        present ? interfaceTexts(controlLanguage).Pad.HelpUnopened : interfaceTexts(controlLanguage).Pad.HelpMissing;
    tell(parent, qs(message), present ? QStringLiteral("UnopenedHelpBox") : QStringLiteral("MissingHelpBox"));
    return false;
}

bool askYesOrNo(QWidget *parent, const QString &question)
{
    QMessageBox box(QMessageBox::Question, qs(kConfirmTitle), question, QMessageBox::NoButton, boxParent(parent));
    box.setObjectName(QStringLiteral("ConfirmBox"));
    QAbstractButton *yes = box.addButton(QStringLiteral("&Yes"), QMessageBox::YesRole);
    box.addButton(QStringLiteral("&No"), QMessageBox::NoRole);
    box.exec();
    return box.clickedButton() == yes;
}

} // namespace umbrill
