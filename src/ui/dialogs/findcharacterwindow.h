// The Find Character window: a search field, and the characters it finds as
// keys, best first, each with the pad key's tooltip. A click on a result, or
// Enter for the first, asks the pad to output it as a pad key does. Escape
// closes the window. Down or Tab in the field goes to the first result; the
// arrow keys, Home and End move among the results as on the pad, and Up from
// their first row goes back to the field. The name index and the installed
// fonts' coverage are gathered right after the window first paints, while the
// user starts to type (or by a search that comes sooner).
// Keys are made for the rows that show (and those above them) as they come
// into view or the keyboard reaches them; a key made later is the key made at once.
#pragma once

#include "core/interface/interfacestrings.h"
#include "core/keypad/keygrid.h"

#include <QList>
#include <optional>
#include <QWidget>

#include <vector>

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

    // The keys made for the results, best first: those of the rows shown so
    // far and of every row above them.
    const QList<KeyButton *> &results() const { return m_results; }
    // How many characters the last search found (at most its limit of 300).
    qsizetype resultCount() const { return static_cast<qsizetype>(m_found.size()); }
    // The key of result k (0 for the best), made now with those before it.
    KeyButton *resultKey(qsizetype k);
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
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void search(const QString &text);
    void layOutResults();
    // Gives key the focus as a key press does: with the focus frame, scrolled into view.
    void focusResult(KeyButton *key);
    void moveFrom(KeyButton *key, GridMove move);
    // Makes the keys of the first count results that are not made yet.
    void makeKeys(qsizetype count);
    // Makes the keys of the rows that show, and of those above them.
    void makeVisibleKeys();
    // A result key took the focus: the keys of the next row are made, so
    // that Tab and the arrows find them; Shift+Tab into the results from
    // the start reaches the last one.
    void resultFocused(KeyButton *key, Qt::FocusReason reason);

    QLineEdit *m_field = nullptr;
    QScrollArea *m_scroll = nullptr;
    QWidget *m_grid = nullptr;
    QLabel *m_nothing = nullptr;
    std::vector<char32_t> m_found;
    QList<KeyButton *> m_results;
    // Keys of an earlier, longer result, hidden; the last one was made first.
    QList<KeyButton *> m_spare;
    std::optional<InterfaceLanguage> m_searchLanguage;
    QFont m_keyFont;
    int m_keySize = 42;
    // The results per row of the last layout, which the arrow keys follow.
    int m_perRow = 1;
    bool m_painted = false;
};

} // namespace umbrill
