// The one place where the widgets catch errors: every event handler runs inside
// guard(), which shows a failure in the general error display and carries on.
#pragma once

#include <functional>

class QWidget;

namespace umbrill {

// Runs handler; an Error (or any std::exception) is shown in a message box with
// an error icon, one OK button and the application title. Returns false when
// the handler failed.
bool guard(QWidget *parent, const std::function<void()> &handler);

} // namespace umbrill
