// The notice line.
#include "ui/windows/noticeline.h"

#include <QTimer>

#include <algorithm>

namespace umbrill {

NoticeLine::NoticeLine(QWidget &window) : QLabel(&window), m_timer(new QTimer(this))
{
    setObjectName(QStringLiteral("TypingNotice"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAutoFillBackground(true);
    setWordWrap(true);
    hide();
    m_timer->setSingleShot(true);
    m_timer->setInterval(6000);
    connect(m_timer, &QTimer::timeout, this, &QWidget::hide);
}

void NoticeLine::say(const QString &text)
{
    setText(text);
    const QWidget &window = *parentWidget();
    const int height = std::min(heightForWidth(window.width()), window.height());
    setGeometry(0, window.height() - height, window.width(), height);
    show();
    raise();
    m_timer->start();
}

} // namespace umbrill
