// The tooltip and the accessibility interface of a key.
#include "ui/keys/keyinfo.h"

#include "core/keypad/htmlentities.h"
#include "core/names/charnames.h"
#include "core/names/keyface.h"
#include "ui/common/qtext.h"
#include "ui/keys/keybutton.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace umbrill {

QString keyToolTip(std::u16string_view character, const QString &family)
{
    const char32_t c = firstCodePoint(character).value_or(0xFFFD);
    // Marks on a dotted circle here also where the key keeps its own caption (1611 to 1618).
    const auto face = visibleFace(c);
    const QString large = face ? qs(face->text) : qs(character);
    QString tip = QStringLiteral("<p style=\"font-family:'%1'; font-size:32pt\" align=\"center\">%2</p><p>%3<br>%4 · %5")
                      .arg(family.toHtmlEscaped(), large.toHtmlEscaped(),
                           qs(characterName(c)).toHtmlEscaped(), qs(codePointLabel(c)), QString::number(c));
    if (const auto entity = GetHtmlEntity(character))
        tip += QStringLiteral("<br>") + qs(*entity).toHtmlEscaped();
    return tip + QStringLiteral("</p>");
}

namespace {

class KeyAccessible : public QAccessibleWidget {
public:
    explicit KeyAccessible(KeyButton *key) : QAccessibleWidget(key, QAccessible::Button) {}

    QString text(QAccessible::Text t) const override
    {
        switch (t) {
        case QAccessible::Name: return qs(characterName(key()->codePoint()));
        case QAccessible::Description: return qs(codePointLabel(key()->codePoint()));
        default: return QAccessibleWidget::text(t);
        }
    }
    QStringList actionNames() const override { return QStringList(pressAction()) << QAccessibleWidget::actionNames(); }
    void doAction(const QString &action) override
    {
        if (action == pressAction())
            key()->click();
        else
            QAccessibleWidget::doAction(action);
    }
    QStringList keyBindingsForAction(const QString &action) const override
    {
        return action == pressAction() ? QStringList() : QAccessibleWidget::keyBindingsForAction(action);
    }

private:
    KeyButton *key() const { return static_cast<KeyButton *>(widget()); }
};

QAccessibleInterface *keyAccessibleFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("umbrill::KeyButton") && object && object->isWidgetType())
        return new KeyAccessible(static_cast<KeyButton *>(object));
    return nullptr;
}

} // namespace

void installKeyAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(keyAccessibleFactory);
        return true;
    }();
    (void)installed;
}

} // namespace umbrill
