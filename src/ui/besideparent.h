#pragma once

#include <QSize>

class QWidget;

// Where a window of its own opens: beside the window it belongs to (its parent's window), on the
// side with room for it, or centred on the screen when neither side has; never larger than the
// screen's available area.
namespace besideparent {

void place(QWidget *window, QSize preferred);

} // namespace besideparent
