#include "ui/platform/splittypist.h"

namespace umbrill {

SplitTypist::SplitTypist(std::unique_ptr<Typist> desktop, std::unique_ptr<Typist> x11,
                         std::function<bool()> x11Active, QObject *parent)
    : Typist(parent), m_desktop(std::move(desktop)), m_x11(std::move(x11)), m_x11Active(std::move(x11Active))
{
    // Consent and the session are the desktop's: they end typing for both.
    connect(m_desktop.get(), &Typist::ended, this, &Typist::ended);
    connect(m_desktop.get(), &Typist::closedByDesktop, this, &Typist::closedByDesktop);
    for (Typist *typist : {m_desktop.get(), m_x11.get()})
        connect(typist, &Typist::notTyped, this, &Typist::notTyped);
}

Typist &SplitTypist::current() const { return m_x11Active() ? *m_x11 : *m_desktop; }

void SplitTypist::type(const std::vector<Keysym> &keysyms) { current().type(keysyms); }

void SplitTypist::typeText(const std::u32string &text) { current().typeText(text); }

void SplitTypist::hold(const std::vector<Keysym> &keysyms)
{
    m_desktop->hold(keysyms);
    m_x11->hold(keysyms);
}

void SplitTypist::start()
{
    m_desktop->start();
    m_x11->start();
}

void SplitTypist::stop()
{
    m_desktop->stop();
    m_x11->stop();
}

void SplitTypist::finish()
{
    m_desktop->finish();
    m_x11->finish();
}

} // namespace umbrill
