// The pad's colours come from the desktop's palette, light or dark: nothing
// here names a colour of its own except where it still reads on the desktop's.
#pragma once

#include <QColor>
#include <QPalette>

class QWidget;

namespace umbrill {

// The contrast ratio of two colours as the web's accessibility guidelines
// measure it: 1 (the same luminance) to 21 (black on white).
double contrastRatio(const QColor &a, const QColor &b);

// What the main window sets on top of the desktop's palette: its background
// is the desktop's page colour (Base: white on a light desktop) and its text
// the colour that goes with it, in every colour group. Every other role is
// left unset, so it follows the desktop.
QPalette pagePalette(const QPalette &desktop);

// The colours of tooltips: the desktop's, except that on a dark desktop
// whose theme leaves tooltips light (Qt's pale yellow), they take the
// desktop's window and text colours.
QPalette toolTipPalette(const QPalette &desktop);

// colour where it reads on background (a contrast of 4.5 at least), otherwise fallback.
QColor legibleOr(const QColor &colour, const QColor &background, const QColor &fallback);

// window takes the desktop's page colours (and tooltips the desktop's, see
// toolTipPalette); placeholder's text takes the desktop's placeholder colour.
void followDesktop(QWidget &window, QWidget &placeholder);
// Does so now, and again whenever the desktop's palette changes.
void keepFollowingDesktop(QWidget &window, QWidget &placeholder);

} // namespace umbrill
