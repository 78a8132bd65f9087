// The window's place.
#include "ui/windows/windowplace.h"

#include "ui/common/padmodel.h"
#include "ui/common/shell.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>

namespace umbrill {

WindowPlace::WindowPlace(QWidget &window, PadModel &model)
    : QObject(&window), m_window(window), m_model(model), m_saver(new QTimer(this))
{
    m_saver->setSingleShot(true);
    m_saver->setInterval(500);
    connect(m_saver, &QTimer::timeout, this, [this] { m_model.savePosition(); });
    m_window.installEventFilter(this);
}

bool WindowPlace::eventFilter(QObject *, QEvent *event)
{
    if (event->type() == QEvent::Move)
        moved();
    else if (event->type() == QEvent::Close)
        stop(); // the pad's model stores the place as it closes
    return false;
}

void WindowPlace::restore(const std::optional<KeyPlacement> &remembered)
{
    std::optional<KeyPlacement> place;
    const QSize frame = m_window.frameGeometry().size();
    for (const QScreen *screen : QGuiApplication::screens()) {
        const QRect area = screen->availableGeometry();
        if (remembered && !place)
            place = placeBackOnScreen(*remembered, {frame.width(), frame.height()},
                                      {area.x(), area.y(), area.width(), area.height()});
    }
    if (place)
        m_window.move(place->left, place->top);
    else
        centreOnScreen(&m_window);
    keepOnScreen();
}

void WindowPlace::keepOnScreen()
{
    const QScreen *screen = m_window.screen();
    if (!screen)
        return;
    const QRect frame = m_window.frameGeometry();
    const QRect area = screen->availableGeometry();
    const KeyPlacement to = placeOnScreen({frame.x(), frame.y(), frame.width(), frame.height()},
                                          {area.x(), area.y(), area.width(), area.height()});
    if (to.left != frame.x() || to.top != frame.y())
        m_window.move(to.left, to.top);
}

void WindowPlace::moved()
{
    if (m_window.isVisible() && !m_window.isMinimized()) {
        m_model.notePosition({m_window.x(), m_window.y()});
        m_saver->start();
    }
}

void WindowPlace::stop() { m_saver->stop(); }

} // namespace umbrill
