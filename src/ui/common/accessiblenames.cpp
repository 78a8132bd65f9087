// Accessible names and roles Qt does not give on its own.
#include "ui/common/accessiblenames.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace umbrill {
namespace {

class LabelledComboAccessible : public QAccessibleWidget {
public:
    explicit LabelledComboAccessible(QComboBox *combo) : QAccessibleWidget(combo, QAccessible::ComboBox) {}

    QString text(QAccessible::Text t) const override
    {
        const auto *combo = static_cast<const QComboBox *>(widget());
        switch (t) {
        case QAccessible::Name: return combo->accessibleName();
        case QAccessible::Value: return combo->currentText();
        default: return QAccessibleWidget::text(t);
        }
    }
    QStringList actionNames() const override { return QStringList(showMenuAction()) << QAccessibleWidget::actionNames(); }
    void doAction(const QString &action) override
    {
        if (action == showMenuAction())
            static_cast<QComboBox *>(widget())->showPopup();
        else
            QAccessibleWidget::doAction(action);
    }
};

QAccessibleInterface *accessibleNamesFactory(const QString &className, QObject *object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    if (className == QLatin1String("umbrill::LabelledComboBox"))
        return new LabelledComboAccessible(static_cast<QComboBox *>(object));
    if (className == QLatin1String("umbrill::FindCharacterWindow"))
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Window);
    return nullptr;
}

} // namespace

LabelledComboBox::LabelledComboBox(QWidget *parent) : QComboBox(parent) { installAccessibleNames(); }

void installAccessibleNames()
{
    static const bool installed = [] {
        QAccessible::installFactory(accessibleNamesFactory);
        return true;
    }();
    (void)installed;
}

} // namespace umbrill
