// The pad's menu bar, as a form holds it: the Mode menu, Language, the Help
// menu, and Multiple Char's two commands that only their keys reach. Each
// item is named (its object name) and checkable where it checks; the window
// gives the texts and the commands.
#pragma once

class QAction;
class QMainWindow;
class QMenu;

namespace umbrill {

struct PadMenus {
    // Makes the menus on window's menu bar; typing goes into the Mode menu
    // before Clear Clipboard.
    void setupMenus(QMainWindow &window, QAction *typing);

    QMenu *m_modeMenu = nullptr;
    QMenu *m_helpMenu = nullptr;
    QAction *m_singleChar = nullptr;
    QAction *m_multipleChar = nullptr;
    QAction *m_directPaste = nullptr;
    QAction *m_clearClipboard = nullptr;
    QAction *m_findCharacter = nullptr;
    QAction *m_font = nullptr;
    QAction *m_options = nullptr;
    QAction *m_keepOnTop = nullptr;
    QAction *m_exit = nullptr;
    QAction *m_language = nullptr;
    QAction *m_helpItem = nullptr;
    QAction *m_aboutItem = nullptr;
    QAction *m_removeLast = nullptr;
    QAction *m_clearCollection = nullptr;
};

} // namespace umbrill
