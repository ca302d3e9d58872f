#pragma once

#include <QIcon>

// The program's window icon: a dumbbell in 16 colours, at 16×16 and 32×32 pixels. Set on the
// application, it is the icon of both windows.
namespace windowicon {

QIcon gimnasioIcon();

} // namespace windowicon
