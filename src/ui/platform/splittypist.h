// Typing on a Wayland desktop that also runs X11 programs (XWayland): the
// desktop's portal reaches its own windows, and types what the layout lacks
// through the input method's Unicode entry, which an X11 program would take
// as text. XTest reaches an X11 program's window and types every character
// exactly. Each piece of text goes the way of the window that is active when
// it comes.
#pragma once

#include "ui/platform/typist.h"

#include <functional>
#include <memory>

namespace umbrill {

class SplitTypist : public Typist {
    Q_OBJECT
public:
    // x11Active tells whether an X11 program's window is the active one.
    SplitTypist(std::unique_ptr<Typist> desktop, std::unique_ptr<Typist> x11, std::function<bool()> x11Active,
                QObject *parent = nullptr);

    void type(const std::vector<Keysym> &keysyms) override;
    void typeText(const std::u32string &text) override;
    void hold(const std::vector<Keysym> &keysyms) override;
    void start() override;
    void stop() override;
    void finish() override;

private:
    Typist &current() const;

    std::unique_ptr<Typist> m_desktop;
    std::unique_ptr<Typist> m_x11;
    std::function<bool()> m_x11Active;
};

} // namespace umbrill
