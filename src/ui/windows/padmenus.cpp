// The pad's menu bar.
#include "ui/windows/padmenus.h"

#include "core/interface/interfacestrings.h"
#include "ui/common/qtext.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace umbrill {
namespace {

QAction *item(QMainWindow &window, QMenu *menu, const char *name)
{
    auto *action = new QAction(&window);
    action->setObjectName(QString::fromLatin1(name));
    if (menu)
        menu->addAction(action);
    return action;
}

} // namespace

void PadMenus::setupMenus(QMainWindow &window, QAction *typing)
{
    auto *bar = new QMenuBar(&window);
    bar->setObjectName(QStringLiteral("UmbrillMenu"));
    window.setMenuBar(bar);
    m_modeMenu = bar->addMenu(QString());
    m_modeMenu->setObjectName(QStringLiteral("ModeMenuItem"));
    m_singleChar = item(window, m_modeMenu, "SingleChar");
    m_multipleChar = item(window, m_modeMenu, "MultipleChar");
    m_directPaste = item(window, m_modeMenu, "DirectPaste");
    m_clearClipboard = item(window, m_modeMenu, "ClearClipboard");
    m_findCharacter = item(window, m_modeMenu, "FindCharacter");
    m_findCharacter->setShortcut(QKeySequence::Find);
    m_font = item(window, m_modeMenu, "Font");
    m_options = item(window, m_modeMenu, "Options1");
    m_keepOnTop = item(window, m_modeMenu, "KeeponTop");
    m_exit = item(window, m_modeMenu, "Exit");
    m_modeMenu->insertAction(m_clearClipboard, typing);
    m_language = item(window, nullptr, "Language");
    bar->addAction(m_language);
    m_helpMenu = bar->addMenu(QString());
    m_helpMenu->setObjectName(QStringLiteral("Help"));
    m_helpItem = item(window, m_helpMenu, "HelpMenuIItem");
    m_aboutItem = item(window, m_helpMenu, "AboutMenuItem");
    for (QAction *checking : {m_singleChar, m_multipleChar, m_directPaste, m_keepOnTop})
        checking->setCheckable(true);
    m_singleChar->setChecked(true);
    m_keepOnTop->setChecked(true);
    m_font->setEnabled(false);
    m_clearClipboard->setText(qs(kClearClipboardCaption));
    m_removeLast = item(window, nullptr, "RemoveLastCharacter");
    m_removeLast->setShortcut(Qt::Key_Backspace);
    m_clearCollection = item(window, nullptr, "ClearCollection");
    m_clearCollection->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Backspace));
    window.addActions({m_removeLast, m_clearCollection});
    m_removeLast->setEnabled(false);
    m_clearCollection->setEnabled(false);
}

} // namespace umbrill
