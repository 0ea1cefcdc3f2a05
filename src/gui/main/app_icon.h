#pragma once
// The program's own icon, painted at any size (the same picture as
// data/glimmerbox.svg, which the desktop's menu shows).

#include <QIcon>

namespace gb {

QIcon appIcon();

} // namespace gb
