// The pad's client area.
#include "ui/windows/padarea.h"

#include "core/pad/padstate.h"
#include "ui/common/padmodel.h"
#include "ui/keys/keyfont.h"
#include "ui/platform/typeintowindow.h"
#include "ui/windows/collectionstrip.h"
#include "ui/windows/padkeys.h"

#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QScreen>
#include <QVBoxLayout>

namespace umbrill {

PadArea::PadArea(QWidget *parent)
    : QWidget(parent), m_hint(new QLabel(this)), m_strip(new CollectionStrip(this)), m_keys(new PadKeys(*this))
{
    setObjectName(QStringLiteral("ClientArea"));
    m_hint->setObjectName(QStringLiteral("EmptyPadHint"));
    m_hint->setAlignment(Qt::AlignCenter);
    auto *layout = new QVBoxLayout(this); // the keys are placed by hand, the hint and strip by this
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_hint, 1);
    m_strip->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    m_strip->hide();
    layout->addWidget(m_strip, 0, Qt::AlignBottom);
}

void PadArea::updateHint() { m_hint->setVisible(m_keys->keys().isEmpty()); }

void PadArea::makeKeys(const PadState &state, QSize room, const TypeIntoWindow &typing)
{
    const LanguageRecord &language = state.CurrentLanguage();
    // Only the size a key is made with: every layout sets it again to the pitch.
    const int size = state.fittedGrid(static_cast<int>(language.KeyCodes.size()), room.width(), room.height()).keySize;
    for (std::int32_t code : language.KeyCodes) {
        // Tab goes through the keys first, then to the strip.
        typing.prepareKey(m_keys->add(code, size, keyFont(language, 400), m_strip));
    }
    updateHint();
}

GridSize PadArea::layOut(PadModel &model, QSize room)
{
    return m_keys->place(model.layOut(static_cast<int>(m_keys->keys().size()), room.width(), room.height()));
}

bool PadArea::showCollection(const QString &collection, bool collecting)
{
    m_strip->setCollection(collection);
    if (m_strip->isHidden() != collecting)
        return false;
    m_strip->setVisible(collecting);
    return true;
}

int PadArea::stripHeight() const { return m_strip->isHidden() ? 0 : m_strip->sizeHint().height(); }

QSize PadArea::room(const QMainWindow &window) const
{
    const QRect screen = window.screen() ? window.screen()->availableGeometry() : QRect(0, 0, 1920, 1080);
    // The frame the window manager adds (title bar, borders) takes room too.
    const QSize frame = window.frameGeometry().size() - window.geometry().size();
    return {screen.width() - frame.width(),
            screen.height() - frame.height() - window.menuBar()->sizeHint().height() - stripHeight()};
}

bool PadArea::fitWindow(QMainWindow &window, GridSize grid)
{
    const int width = std::max(grid.width, 0);
    const int height = std::max(grid.height, 0) + stripHeight();
    const int menu = window.menuBar()->sizeHint().height();
    if (this->width() == width && this->height() == height && window.width() == width
        && window.height() == height + menu)
        return false;
    setFixedSize(width, height);
    window.setFixedSize(width, height + menu);
    return true;
}

} // namespace umbrill
