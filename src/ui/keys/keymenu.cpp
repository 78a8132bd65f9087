// The menu of a key.
#include "ui/keys/keymenu.h"

#include "core/interface/interfacestrings.h"
#include "ui/common/qtext.h"

#include <QMenu>

namespace umbrill {

void showKeyMenu(QWidget *parent, QPoint globalPos, std::string_view controlLanguage, const std::function<void()> &add,
                 const std::function<void()> &remove)
{
    QMenu menu(parent);
    menu.setObjectName(QStringLiteral("KeyMenu"));
    QAction *adding = menu.addAction(qs(interfaceTexts(controlLanguage).Pad.AddToMyCharacters));
    adding->setObjectName(QStringLiteral("AddToMyCharacters"));
    QObject::connect(adding, &QAction::triggered, &menu, add);
    if (remove) {
        QAction *removing = menu.addAction(qs(interfaceTexts(controlLanguage).Pad.RemoveFromMyCharacters));
        removing->setObjectName(QStringLiteral("RemoveFromMyCharacters"));
        QObject::connect(removing, &QAction::triggered, &menu, remove);
    }
    menu.exec(globalPos);
}

} // namespace umbrill
