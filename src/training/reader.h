#pragma once

#include "training/catalogue.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>

// The training reader: what a day's "Que Has Hecho" says was done, read without changing the text.
//
// How a text is read:
// - It falls into pieces at line breaks, ';', ',' (not a decimal comma), '.' ending a sentence,
//   " y ", '+' (not "+10"), ':', " - ", " / " before a word, parentheses and bullets ("-", "*",
//   "•", "1.", "1)") at the start of a line. A piece is a name with its numbers; a piece of numbers
//   alone ("70x8", "(100kg)", "la última al fallo") goes on with the exercise just before it.
// - A name is looked up in the catalogue by its key (catalogue.h), then without the words before
//   it that tell no exercise ("hoy", "luego", "hice"...), then with one typing slip (two in long
//   names). A name no exercise has is the user's own ("propio") when it has sets, and a note
//   otherwise; a piece about cardio, stretching or rest ("cardio 30 min", "estiramientos") is a
//   note, as is what follows the sets ("muy bien"). Notes are kept as typed.
// - "AxB": A is sets and B repetitions ("4x8"), with the load after ("4x8 80", "4x8 con 80kg",
//   "@80", "a 80") or before ("80kg 4x8", "con 80 4x8", "140 3x5"). A pair with no load of its own
//   is one set of B repetitions at A kilograms when A is load-sized: A above 10 ("100x5", "60x10,
//   70x8, 80x6") or A written with its unit ("60kg x 10"). Among several such pairs, all are read
//   one way: loads when some A is above 10 and none is 5 or less, sets when every A is 5 or less or
//   there is a single pair; other mixes ("8x10, 10x8") are doubtful.
// - "AxBxC" is A sets of B at C kilograms when A is 10 or less and C is load-sized ("4x8x80");
//   with the load first ("80x8x4") the order of sets and repetitions is unknown and the reading
//   is doubtful, unless both are the same ("100x5x5").
// - "5/5/3", "10-8-6", "12, 10, 8" with a load are one set each; without a load they are
//   repetitions of a body-weight exercise ("dominadas 10, 8, 6") and doubtful for any other.
//   After sets counted without repetitions, a list as long gives theirs ("4 series al fallo
//   (8, 7, 6, 5)").
// - A body-weight exercise (catalogue.h) has the body as load; a load written for it is added
//   ("lastre"), as is "+10", "lastre 10", "10 kg de lastre" or a "lastrado" exercise anywhere.
// - "max", "al fallo", "fallo", "amrap" as repetitions are sets to failure whose repetitions were
//   not counted; after a set ("3x10 al fallo") they mark the sets to failure, "la última" the last.
// - "c/u", "cada una", "cada mano", "por lado"... make the loads per hand.
// - "3x45s", "3x1 min", "plancha 2 minutos": sets held for a time (held exercises, own ones).
// - Pounds ("lb", "lbs", "libras") are turned into kilograms, rounded to hundredths.
// A text is doubtful when a name is shared by two exercises ("pm", "press", "extensiones"),
// nearly but not quite a known name, or when numbers are left that no rule reads: sets without an
// exercise, a load without sets, two loads for one set, mixed pairs, "80x8x4", a load as a share
// of a maximum ("al 80%"), or more than 200 sets of one exercise (the first 200 are kept).
namespace training {

struct Set {
    std::optional<int> reps;    // none when to failure without a count, or for a held set
    std::optional<double> kg;   // the load lifted; none when none was written or for body weight
    bool bodyWeight = false;    // the body is the load, with addedKg on top
    double addedKg = 0;         // "lastre"
    bool toFailure = false;     // "al fallo", "max"
    bool perHand = false;       // the load is per hand or per side ("c/u")
    std::optional<int> seconds; // a held set ("plancha 3x45s")
    bool operator==(const Set &) const = default;
};

struct Exercise {
    QString name;        // the catalogue's name, or the typed one folded for an own one
    bool own = false;    // not in the catalogue, nor doubtful: shown as "propio"
    QStringList muscles; // the main muscle groups worked (muscleName())
    QStringList secondaryMuscles;
    BodyWeight bodyWeight = BodyWeight::No;
    QList<Set> sets;
    QString typedKey;       // nameKey() of the name as typed: what a correction names
    bool doubtful = false;  // the name or the sets can be read two ways
    QStringList candidates; // the catalogue names a doubtful name may stand for
    bool operator==(const Exercise &) const = default;
};

struct Reading {
    QList<Exercise> exercises;
    QStringList notes; // the pieces that are no exercise, as typed
    bool doubtful = false;
    bool operator==(const Reading &) const = default;
};

// What the user has said about texts the reader could not read alone: which exercise a name is
// (in every text, or in one text only), and which texts hold no training at all. Kept by the diary
// and applied to every day with the same text.
class Corrections {
public:
    // The name (as typed) is this exercise: a catalogue name or a name of the user's own.
    void setExercise(QStringView typedName, const QString &exercise);
    // In this text only, a name the reader does not know or is unsure of is this exercise.
    void setTextExercise(QStringView text, const QString &exercise);
    // This text holds no training: it reads as a note.
    void setNoTraining(QStringView text);

    std::optional<QString> exerciseFor(QStringView nameKey) const;
    std::optional<QString> textExercise(QStringView text) const;
    bool isNoTraining(QStringView text) const;
    bool isEmpty() const { return names.isEmpty() && texts.isEmpty() && notTraining.isEmpty(); }

    QHash<QString, QString> names; // nameKey() -> exercise
    QHash<QString, QString> texts; // fold(text) -> exercise
    QSet<QString> notTraining;     // fold(text)
};

// One day's text read.
Reading read(QStringView text, const Corrections &corrections = {});

// A short written form of a reading, for lists and checks:
// "sentadilla:4x8@80 | dominadas:3xmax@pc | curl de bíceps:3x12@12.5cu | "cardio 30 min"", or "?"
// for a doubtful reading. Equal sets next to each other are counted together; "!" marks sets to
// failure with a count, "s" held seconds, "pc" body weight and "pc+10" added load.
QString summary(const Reading &reading);

} // namespace training
