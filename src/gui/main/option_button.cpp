#include "gui/main/option_button.h"

namespace gb {

OptionButton::OptionButton(QWidget* parent) : QToolButton(parent)
{
    setCheckable(true);
    setAutoExclusive(true);
}

} // namespace gb
