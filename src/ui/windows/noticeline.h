// A short line over the bottom of a window for a few seconds (what typing
// put on the clipboard, say); clicks go through it.
#pragma once

#include <QLabel>

class QTimer;

namespace umbrill {

class NoticeLine : public QLabel {
    Q_OBJECT
public:
    explicit NoticeLine(QWidget &window);
    // Shows text across the window's bottom for six seconds.
    void say(const QString &text);

private:
    QTimer *m_timer;
};

} // namespace umbrill
