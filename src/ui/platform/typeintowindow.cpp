// Type into Window.
#include "ui/platform/typeintowindow.h"

#include "core/keypad/richtext.h"
#include "ui/common/guard.h"
#include "ui/common/padmodel.h"
#include "ui/common/qtext.h"
#include "ui/platform/desktop.h"
#include "ui/platform/quitonsignal.h"

#include <QAction>
#include <QMainWindow>

namespace umbrill {

TypeIntoWindow::TypeIntoWindow(QMainWindow &window, PadModel &model, Desktop &desktop)
    : QObject(&window), m_window(window), m_model(model), m_desktop(&desktop), m_action(new QAction(&window))
{
    m_action->setObjectName(QStringLiteral("TypeIntoWindow"));
    m_action->setCheckable(true);
    // A pad that takes no focus is never the active window; its keys explain themselves all the same.
    m_window.setAttribute(Qt::WA_AlwaysShowToolTips);
    m_factory = [this] { return m_desktop->typist(m_model); };
    connect(m_action, &QAction::triggered, this, [this](bool checked) { setOn(checked); });
    // The keys the pad shows changed: their characters are made ready to type.
    connect(&m_model, &PadModel::languageLoaded, this, &TypeIntoWindow::holdKeys);
    connect(&m_model, &PadModel::myCharactersChanged, this, &TypeIntoWindow::holdKeys);
    setLanguage(m_language);
}

TypeIntoWindow::~TypeIntoWindow()
{
    if (m_typist)
        m_typist->finish();
}

void TypeIntoWindow::probe()
{
    if (m_probed)
        return;
    m_probed = true;
    Offer offer = m_factory();
    m_typist = std::move(offer.typist);
    m_reason = m_typist ? std::optional<TypingUnavailable>() : offer.reason.value_or(TypingUnavailable::NoDisplay);
    if (m_typist) {
        m_typist->setParent(nullptr);
        connect(m_typist.get(), &Typist::ended, this, [this] {
            m_action->setChecked(false);
            setOn(false);
        });
        connect(m_typist.get(), &Typist::closedByDesktop, this, [this] {
            m_closed = true;
            setLanguage(m_language);
        });
        connect(m_typist.get(), &Typist::notTyped, this, &TypeIntoWindow::putOnClipboard);
    }
    m_action->setEnabled(m_typist != nullptr);
    setLanguage(m_language);
}

void TypeIntoWindow::setOn(bool on)
{
    probe();
    if (!m_typist)
        on = false;
    m_action->setChecked(on);
    if (on == m_on)
        return;
    m_on = on;
    if (on) {
        m_closed = false;
        setLanguage(m_language);
        m_finishOnSignal = connect(&QuitOnSignal::instance(), &QuitOnSignal::signalled, this, [this] { m_typist->finish(); });
        m_typist->start();
        holdKeys();
    } else {
        m_typist->stop();
        m_typist->finish();
        disconnect(m_finishOnSignal);
    }
    m_desktop->refuseFocus(m_window, on);
    m_model.setTyping(on);
}

void TypeIntoWindow::holdKeys()
{
    if (m_on && m_typist)
        m_typist->hold(m_model.state().typedKeysyms());
}

void TypeIntoWindow::prepareKey(QWidget *key) const
{
    key->setFocusPolicy(m_on ? Qt::NoFocus : Qt::StrongFocus);
    if (m_on)
        key->clearFocus();
}

void TypeIntoWindow::setLanguage(std::string_view controlLanguage)
{
    m_language = controlLanguage;
    m_action->setText(qs(interfaceTexts(controlLanguage).Typing.TypeIntoWindow));
    QString tip;
    if (m_reason)
        tip = qs(typingUnavailableReason(controlLanguage, *m_reason));
    else if (m_closed)
        tip = qs(typingSessionClosedNote(controlLanguage));
    m_action->setToolTip(tip);
}

void TypeIntoWindow::putOnClipboard(const std::u32string &characters)
{
    // Never lost: what could not be typed waits on the clipboard, placed as a
    // click places it. Where the clipboard refuses, the error display says so
    // and no line claims it is there.
    const std::string text = utf8(QString::fromUcs4(characters.data(), static_cast<qsizetype>(characters.size())));
    guard(&m_window, [&] {
        m_model.clipboard().set(utf8TextPayload(text));
        emit notice(qs(onClipboardNotice(m_language, text)));
    });
}

void TypeIntoWindow::type(const std::u32string &text)
{
    if (m_on && m_typist)
        m_typist->typeText(text);
}

} // namespace umbrill
