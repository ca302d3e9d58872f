#pragma once

#include "data/dayfields.h"

// What the diary window is doing, and what follows from it: which buttons are enabled and what
// becomes of a day begun with "&Añadir" and not saved yet when something else needs the days.
namespace diarystate {

struct State {
    bool adding = false;    // a day begun with "&Añadir" is pending
    bool exporting = false; // a statistics export is running
    bool closing = false;   // the window is collapsing
};

struct Buttons {
    bool add;          // "&Añadir"
    bool save;         // "&Grabar"
    bool remove;       // "&Borrar"
    bool exportSingle; // statistics in one file
    bool exportPerDay; // statistics in one file per day
};

Buttons buttonsFor(const State &state);

// What becomes of the pending day:
//  - before a move of the navigation bar, a sort or the per-day export: a day left exactly as
//    "&Añadir" made it (today's date alone) is dropped, as is a day without a date and with nothing
//    typed in it: there is nothing to lose, and a blank day was never meant; any other day with a
//    date is stored exactly as "&Grabar" would store it; a day without a date but with typed text
//    stays pending on display and the move is not made, so that nothing is dropped silently and
//    nothing is written into another day;
//  - on closing the window, a day with a date that the user changed after "&Añadir" is stored;
//    a day left exactly as "&Añadir" made it, or without a date, is dropped.
enum class Step { Store, Drop, Keep };

Step beforeMoving(const dayfields::DayTexts &shown, const dayfields::DayTexts &asBegun);
// Never Keep.
Step onClosing(const dayfields::DayTexts &shown, const dayfields::DayTexts &asBegun);

} // namespace diarystate
