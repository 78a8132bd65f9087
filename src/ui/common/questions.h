// The program's small modal questions and messages, and opening the help.
#pragma once

#include <QFont>
#include <QString>

#include <filesystem>
#include <string_view>

class QWidget;

namespace umbrill {

// The desktop's font dialog, opening on initial; initial again when cancelled.
QFont askFont(QWidget *parent, const QFont &initial);
// A message under the program's Information title, with OK; name is the box's object name.
void tell(QWidget *parent, const QString &message, const QString &name);
// Opens the help document help with the desktop's viewer; where it is
// missing, or no program opens it, says so in controlLanguage and returns false.
bool openHelp(QWidget *parent, const std::filesystem::path &help, std::string_view controlLanguage);
// A question with Yes and No under the program's Confirm title; true for Yes.
bool askYesOrNo(QWidget *parent, const QString &question);

} // namespace umbrill
