#pragma once

#include <QList>

class QWidget;

// A window that closes in its normal state collapses in height, 150 twips a step, staying
// vertically centred on its screen; the step counter alone decides when it stops.
namespace closinganimation {

constexpr int stepTwips = 150;

// The heights, in twips, that the animation sets one after the other for a window of the given
// height: 3750 gives 24 steps, 3600 down to 150.
QList<int> stepHeights(double heightTwips);

// Plays the animation on a top-level window, letting pending events run before each step. A
// minimised or maximised window is left alone.
void play(QWidget *window);

} // namespace closinganimation
