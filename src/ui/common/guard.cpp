// The general error display.
#include "ui/common/guard.h"

#include "core/text/error.h"
#include "ui/common/shell.h"

#include <QApplication>
#include <QMessageBox>

namespace umbrill {

bool guard(QWidget *parent, const std::function<void()> &handler)
{
    try {
        handler();
        return true;
    } catch (const std::exception &e) {
        QMessageBox box(QMessageBox::Critical, applicationTitle(),
                        QString::fromStdString(errorDisplayText(e.what())), QMessageBox::Ok, boxParent(parent));
        box.setObjectName(QStringLiteral("ErrorDisplay"));
        box.exec();
        return false;
    }
}

} // namespace umbrill
