// The pad's side of Find.
#include "ui/windows/findlink.h"

#include "core/interface/interfacestrings.h"
#include "core/pad/padstate.h"
#include "core/settings/settingnames.h"
#include "ui/common/padmodel.h"
#include "ui/dialogs/findcharacterwindow.h"
#include "ui/keys/keyfont.h"
#include "ui/platform/desktop.h"
#include "ui/platform/typeintowindow.h"

#include <QLineEdit>
#include <QScreen>

#include <algorithm>

namespace umbrill {

FindLink::FindLink(QWidget &pad, PadModel &model, TypeIntoWindow &typing, Desktop &desktop)
    : QObject(&pad), m_pad(pad), m_model(model), m_state(model.state()), m_typing(typing), m_desktop(&desktop)
{
}

void FindLink::setDesktop(Desktop &desktop)
{
    m_desktop = &desktop;
    m_focusBefore.reset();
}

FindCharacterWindow *FindLink::make(const std::string &controlLanguage)
{
    m_window = new FindCharacterWindow(&m_pad);
    m_window->setStrings(findStrings(controlLanguage));
    const InterfaceTexts *texts = matchInterfaceTexts(controlLanguage);
    m_window->setSearchLanguage(texts ? texts->SearchWords : std::nullopt);
    if (const auto size = m_state.remembered(kFindSize)) {
        // Bounded by the screen it comes back on: a damaged or outgrown
        // size never makes a window larger than the screen.
        const QRect area = m_pad.screen() ? m_pad.screen()->availableGeometry() : QRect(0, 0, 1024, 768);
        const QSize least = m_window->minimumSizeHint();
        const GridSize fitted =
            sizeOnScreen(*size, {least.width(), least.height()}, {area.x(), area.y(), area.width(), area.height()});
        m_window->resize(fitted.width, fitted.height);
    }
    connect(m_window, &FindCharacterWindow::closed, this,
            [this] { m_model.remember(kFindSize, GridSize{m_window->width(), m_window->height()}); });
    return m_window;
}

void FindLink::open(bool onTop)
{
    // The window the user is writing in, for typing into it from Find.
    if (!m_window->isActiveWindow())
        m_focusBefore = m_desktop->focusedWindow();
    // The results take the pad's key font, as a language last set it.
    const QFont font = keyFont(m_state.CurrentLanguage(), 72, m_window->font());
    m_window->setKeyFont(font, std::clamp(m_state.KeySize(), kKeySizeMinimum, kKeySizeMaximum));
    keepOnTop(onTop);
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
    m_window->searchField()->setFocus(Qt::ShortcutFocusReason);
    m_window->searchField()->selectAll();
}

void FindLink::keepOnTop(bool onTop)
{
    if (m_window && bool(m_window->windowFlags() & Qt::WindowStaysOnTopHint) != onTop)
        m_desktop->keepOnTop(*m_window, onTop);
}

void FindLink::typeBack(const std::u32string &text)
{
    // Find holds the focus for its search field: the character goes to the
    // window the user was writing in once it is active again, never into Find.
    handFocusBack(m_focusBefore, this, [this, text](bool back) {
        if (back)
            m_typing.type(text);
        else
            m_typing.putOnClipboard(text);
    });
}

} // namespace umbrill
