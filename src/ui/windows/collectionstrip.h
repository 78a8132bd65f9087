// The one-line strip under the keys that shows what Multiple Char has
// collected: the text, elided at its start when it is long, and a button that
// empties it. It reports what the user asks for; the main window does it.
#pragma once

#include <QWidget>

class QToolButton;

namespace umbrill {

struct CollectionStrings;

class CollectionStrip : public QWidget {
    Q_OBJECT
public:
    explicit CollectionStrip(QWidget *parent);

    // The collection as it stands; its whole text is also the tooltip and
    // the accessible name of the text (the strings' Empty while it is empty).
    void setCollection(const QString &text);
    const QString &collection() const { return m_text; }
    void setStrings(const CollectionStrings &strings);
    // The text as shown, elided at its start to the room it has.
    QString shownText() const;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

signals:
    // A click on the text, or Space or Enter on it.
    void placeRequested();
    // The clear button.
    void clearRequested();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    // The part of the strip the text takes: all but the clear button.
    QRect textRect() const;
    void updateNames();

    QString m_text;
    QString m_empty;
    QToolButton *m_clear = nullptr;
};

} // namespace umbrill
