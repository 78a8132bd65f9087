// The Find Character window: a search field, and the characters it finds as
// keys, best first, each with the pad key's tooltip. A click on a result, or
// Enter for the first, asks the pad to output it as a pad key does. Escape
// closes the window. Down or Tab in the field goes to the first result; the
// arrow keys, Home and End move among the results as on the pad, and Up from
// their first row goes back to the field. A result dragged out carries what
// the pad gives it (setDragData). The name index and the installed fonts'
// coverage are gathered right after the window first paints, while the user
// starts to type (or by a search that comes sooner).
#pragma once

#include "core/interface/interfacestrings.h"
#include "ui/keys/keyview.h"

#include <optional>
#include <string>
#include <QWidget>

class QLabel;
class QLineEdit;

namespace umbrill {

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
    void setDragData(DragData dragData) { m_results->setDragData(std::move(dragData)); }

    // The characters the last search found, best first (at most its limit of 300).
    const CharacterModel &results() const { return *m_results; }
    KeyView *resultView() const { return m_view; }
    QLineEdit *searchField() const { return m_field; }

signals:
    // A result was clicked, or Enter chose the first.
    void chosen(const std::u16string &character);
    // A result's menu was asked for (right click or the Menu key).
    void keyMenuRequested(const std::u16string &character, QPoint globalPos);
    // The window was closed or hidden (its size is worth remembering).
    void closed();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void search(const QString &text);

    QLineEdit *m_field = nullptr;
    CharacterModel *m_results = nullptr;
    KeyView *m_view = nullptr;
    QLabel *m_nothing = nullptr;
    std::optional<InterfaceLanguage> m_searchLanguage;
    bool m_painted = false;
};

} // namespace umbrill
