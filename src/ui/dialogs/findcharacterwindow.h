// The Find Character window: a search field, and the characters it finds as
// keys, best first, each with the pad key's tooltip. A click on a result, or
// Enter for the first, asks the pad to output it as a pad key does. Escape
// closes the window. Down or Tab in the field goes to the first result; the
// arrow keys, Home and End move among the results as on the pad, and Up from
// their first row goes back to the field. The name index is built when the
// window first searches.
#pragma once

#include "core/interface/interfacestrings.h"
#include "core/keypad/keygrid.h"

#include <QList>
#include <optional>
#include <QWidget>

class QLabel;
class QLineEdit;
class QScrollArea;

namespace umbrill {

class KeyButton;

class FindCharacterWindow : public QWidget {
    Q_OBJECT
public:
    // A window of its own above pad, which owns it.
    explicit FindCharacterWindow(QWidget *pad);

    void setStrings(const FindStrings &strings);
    // The interface language, whose everyday words the search ranks first.
    void setSearchLanguage(std::optional<InterfaceLanguage> language);
    // The font and size of the result keys: the pad's key font.
    void setKeyFont(const QFont &font, int keySize);

    // The results shown, best first.
    const QList<KeyButton *> &results() const { return m_results; }
    QLineEdit *searchField() const { return m_field; }

signals:
    // A result was clicked, or Enter chose the first.
    void chosen(umbrill::KeyButton *key);
    // A result's menu was asked for (right click or the Menu key).
    void keyMenuRequested(umbrill::KeyButton *key, QPoint globalPos);
    // The window was closed or hidden (its size is worth remembering).
    void closed();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void search(const QString &text);
    void layOutResults();
    // Gives key the focus as a key press does: with the focus frame, scrolled into view.
    void focusResult(KeyButton *key);
    void moveFrom(KeyButton *key, GridMove move);

    QLineEdit *m_field = nullptr;
    QScrollArea *m_scroll = nullptr;
    QWidget *m_grid = nullptr;
    QLabel *m_nothing = nullptr;
    QList<KeyButton *> m_results;
    std::optional<InterfaceLanguage> m_searchLanguage;
    QFont m_keyFont;
    int m_keySize = 42;
    // The results per row of the last layout, which the arrow keys follow.
    int m_perRow = 1;
};

} // namespace umbrill
