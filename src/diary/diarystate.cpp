#include "diary/diarystate.h"

#include <algorithm>

namespace diarystate {

Buttons buttonsFor(const State &state) {
    return Buttons{
        .add = !state.adding,
        .save = state.adding,
        .remove = !state.adding,
        .exportSingle = !state.adding && !state.exporting,
        .exportPerDay = !state.exporting,
    };
}

Step beforeMoving(const dayfields::DayTexts &shown, const dayfields::DayTexts &asBegun) {
    if (shown == asBegun)
        return Step::Drop;
    if (!shown[dayfields::Fh].isEmpty())
        return Step::Store;
    const bool nothingTyped = std::all_of(shown.begin() + 1, shown.end(),
                                          [](const QString &text) { return text.isEmpty(); });
    return nothingTyped ? Step::Drop : Step::Keep;
}

Step onClosing(const dayfields::DayTexts &shown, const dayfields::DayTexts &asBegun) {
    if (!shown[dayfields::Fh].isEmpty() && shown != asBegun)
        return Step::Store;
    return Step::Drop;
}

} // namespace diarystate
