// The pad's colours from the desktop's palette.
#include "ui/common/desktoppalette.h"

#include <QApplication>
#include <QEvent>
#include <QScopedValueRollback>
#include <QToolTip>
#include <QWidget>

#include <cmath>

namespace umbrill {
namespace {

double linear(double channel)
{
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

double luminance(const QColor &c)
{
    return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
}

} // namespace

double contrastRatio(const QColor &a, const QColor &b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QPalette pagePalette(const QPalette &desktop)
{
    QPalette page;
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        page.setColor(group, QPalette::Window, desktop.color(group, QPalette::Base));
        page.setColor(group, QPalette::WindowText, desktop.color(group, QPalette::Text));
    }
    return page;
}

QPalette toolTipPalette(const QPalette &desktop)
{
    QPalette tips = desktop;
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        const bool darkDesktop =
            luminance(desktop.color(group, QPalette::Window)) < luminance(desktop.color(group, QPalette::WindowText));
        const bool lightTips = luminance(desktop.color(group, QPalette::ToolTipBase))
                               > luminance(desktop.color(group, QPalette::ToolTipText));
        if (darkDesktop && lightTips) {
            tips.setColor(group, QPalette::ToolTipBase, desktop.color(group, QPalette::Window));
            tips.setColor(group, QPalette::ToolTipText, desktop.color(group, QPalette::WindowText));
        }
    }
    return tips;
}

QColor legibleOr(const QColor &colour, const QColor &background, const QColor &fallback)
{
    return contrastRatio(colour, background) >= 4.5 ? colour : fallback;
}

namespace {

// A window hears of a new desktop palette as a change of its own.
class PaletteFollower : public QObject {
public:
    PaletteFollower(QWidget &window, QWidget &placeholder)
        : QObject(&window), m_window(window), m_placeholder(placeholder)
    {
    }
    bool eventFilter(QObject *, QEvent *event) override
    {
        // Setting the window's palette sends it a palette change again, at once.
        if ((event->type() == QEvent::PaletteChange || event->type() == QEvent::ApplicationPaletteChange)
            && !m_following) {
            const QScopedValueRollback following(m_following, true);
            followDesktop(m_window, m_placeholder);
        }
        return false;
    }

private:
    QWidget &m_window;
    QWidget &m_placeholder;
    bool m_following = false;
};

} // namespace

void keepFollowingDesktop(QWidget &window, QWidget &placeholder)
{
    followDesktop(window, placeholder);
    window.installEventFilter(new PaletteFollower(window, placeholder));
}

void followDesktop(QWidget &window, QWidget &placeholder)
{
    const QPalette desktop = QApplication::palette();
    const QPalette tips = toolTipPalette(desktop);
    if (tips.color(QPalette::ToolTipBase) != QToolTip::palette().color(QPalette::ToolTipBase))
        QToolTip::setPalette(tips);
    window.setPalette(pagePalette(desktop));
    QPalette text;
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        text.setColor(group, QPalette::WindowText, desktop.color(group, QPalette::PlaceholderText));
    placeholder.setPalette(text);
}

} // namespace umbrill
