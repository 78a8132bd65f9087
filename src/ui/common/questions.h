// The program's small modal questions.
#pragma once

#include <QFont>
#include <QString>

class QWidget;

namespace umbrill {

// The desktop's font dialog, opening on initial; initial again when cancelled.
QFont askFont(QWidget *parent, const QFont &initial);
// A message under the program's Information title, with OK; name is the box's object name.
void tell(QWidget *parent, const QString &message, const QString &name);
// A question with Yes and No under the program's Confirm title; true for Yes.
bool askYesOrNo(QWidget *parent, const QString &question);

} // namespace umbrill
