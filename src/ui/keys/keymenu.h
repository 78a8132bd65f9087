// The menu of a key, on the pad or among Find's results.
#pragma once

#include <QPoint>

#include <functional>
#include <string_view>

class QWidget;

namespace umbrill {

// Shows the menu at globalPos until it closes: Add to My Characters, which
// runs add, and where remove is given, Remove from My Characters, which runs it.
void showKeyMenu(QWidget *parent, QPoint globalPos, std::string_view controlLanguage, const std::function<void()> &add,
                 const std::function<void()> &remove);

} // namespace umbrill
