// What screen readers hear where Qt's own accessibility says something else:
// on Linux Qt names a combo box by its current item, and a plain top-level
// widget is heard as a "filler", not as a window.
#pragma once

#include <QComboBox>

namespace umbrill {

// A combo box heard by its accessible name (its label's text), its current
// item being its value.
class LabelledComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit LabelledComboBox(QWidget *parent);
};

// Installs, once, the accessibility factory for the combo box above and for
// Find's window (heard as a window named by its title).
void installAccessibleNames();

} // namespace umbrill
