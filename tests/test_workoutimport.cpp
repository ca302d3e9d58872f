// Workouts of Strong, Hevy and FitNotes: the texts each day gets, the rows refused, the sets read
// back from those texts, and what becomes of the days already stored.
#include "data/daystore.h"
#include "report/workoutimport.h"
#include "support/diaryfixture.h"
#include "support/tablerows.h"
#include "training/reader.h"
#include "training/workouttext.h"

#include <QRandomGenerator>
#include <QTest>
#include <cmath>

using namespace dayfields;
using namespace Qt::Literals::StringLiterals;

namespace {

const QByteArray strong = "Date,Workout Name,Duration,Exercise Name,Set Order,Weight,Reps,Distance,"
                          "Seconds,Notes,Workout Notes,RPE\n";

// The days read, "date|text", and "sets warm-ups without-reps cardio rejected".
QStringList daysOf(const workoutimport::Read &read) {
    QStringList days;
    for (std::size_t d = 0; d < read.dayCount(); ++d)
        days += read.day(d)[Fh] + u'|' + read.day(d)[Qhash];
    days += u"%1 %2 %3 %4 %5"_s.arg(read.sets)
                .arg(read.warmUps)
                .arg(read.withoutReps)
                .arg(read.cardio)
                .arg(read.rejectedCount);
    return days;
}

} // namespace

class TestWorkoutImport : public QObject {
    Q_OBJECT

private slots:
    // Each app's file, in its variants, gives these texts: warm-ups left out, several workouts of
    // a day in one text in the order done, names of the catalogue, pounds turned into kilograms.
    void formats_data() {
        columns<QByteArray, QString, QStringList>("csv", "app", "days");
        row("strong",
            strong +
                "2023-01-15 10:30:00,\"Pierna, A\",1h,Squat (Barbell),W,40,10,0,0,,,\n"
                "2023-01-15 10:30:00,\"Pierna, A\",1h,Squat (Barbell),1,80,5,0,0,\"Bien, sí\",,8\n"
                "2023-01-15 10:30:00,\"Pierna, A\",1h,Squat (Barbell),2,80,5,0,0,,,\n"
                "2023-01-15 10:30:00,\"Pierna, A\",1h,Squat (Barbell),3,82.5,3,0,0,,,\n"
                "2023-01-15 10:30:00,\"Pierna, A\",1h,Pull Up,1,0,8,0,0,,,\n"
                "2023-01-15 10:30:00,\"Pierna, A\",1h,Pull Up,2,10,6,0,0,,,\n"
                "2023-01-15 10:30:00,\"Pierna, A\",1h,Pull Up,F,0,5,0,0,,,\n"
                "2023-01-15 18:00:00,Cardio,30m,Running (Treadmill),1,0,0,5.2,1800,,,\n"
                "2023-01-15 08:00:00,Temprano,20m,Leg Press,D,120,12,0,0,,,\n"
                "2023-01-16 10:00:00,B,1h,Bench Press (Barbell),1,60,10,0,0,,,\n",
            u"Strong"_s,
            QStringList{"15/01/2023|Prensa 1x12 120\nSentadilla 2x5 80, 1x3 82,5\nDominadas 1x8, "
                        "1x6 +10, 1x5 al fallo\nCardio Running Treadmill 30 min 5,2 km",
                        "16/01/2023|Press de banca 1x10 60", "8 1 0 1 0"});
        row("strong in pounds, semicolons and a BOM",
            QByteArray("\xEF\xBB\xBF"
                       "Date;Workout Name;Workout Duration;Exercise Name;Set Order;Weight;Weight "
                       "Unit;Reps;Distance;Distance Unit;Seconds;Notes;Workout Notes;RPE\r\n"
                       "2023-02-01 07:00:00;A;45m;Deadlift (Barbell);1;225;lbs;5;;;;;;\r\n"
                       "2023-02-01 07:00:00;A;45m;Deadlift (Barbell);2;\"232,5\";lbs;5;;;;;;\r\n"
                       "2023-02-01 07:00:00;A;45m;Rowing (Machine);1;;;;2;mi;600;;;\r\n"),
            u"Strong"_s,
            QStringList{"01/02/2023|Peso muerto 1x5 102.06, 1x5 105.46\nCardio Rowing Machine 10 "
                        "min 3.22 km",
                        "2 0 0 1 0"});
        const QByteArray hevy =
            "\"title\",\"start_time\",\"end_time\",\"description\",\"exercise_"
            "title\",\"superset_id\",\"exercise_notes\",\"set_index\",\"set_"
            "type\",\"weight_kg\",\"reps\",\"distance_km\",\"duration_seconds\","
            "\"rpe\"\n";
        const QByteArray push = "\"Push\",\"15 Jan 2023, 10:30\",\"15 Jan 2023, 11:30\",\"\",";
        row("hevy",
            hevy + push +
                "\"Bench Press (Barbell)\",\"\",\"\",\"0\",\"warmup\",\"40\",\"10\",,,\n" + push +
                "\"Bench Press (Barbell)\",\"\",\"\",\"1\",\"normal\",\"70\",\"8\",,,8\n" + push +
                "\"Bench Press (Barbell)\",\"\",\"\",\"2\",\"failure\",\"70\",\"7\",,,\n" + push +
                "\"Cable Fly 2.0 (Low-High) x3 + Hold\",,,0,dropset,12.5,15,,,\n" + push +
                "\"Plank\",\"\",\"\",\"0\",\"normal\",\"\",\"\",\"\",\"60\",\"\"\n" + push +
                "\"Bench Press (Barbell)\",\"\",\"\",\"3\",\"normal\",\"\",\"\",\"\",\"\",\"\"\n",
            u"Hevy"_s,
            QStringList{"15/01/2023|Press de banca 1x8 70, 1x7 70 al fallo\nCable Fly Low High "
                        "Hold 1x15 12,5\nCardio Plank 1 min",
                        "3 1 1 1 0"});
        row("hevy in pounds with ISO dates",
            QByteArray("title,start_time,end_time,description,exercise_title,superset_id,exercise_"
                       "notes,set_"
                       "index,set_type,weight_lbs,reps,distance_miles,duration_seconds,rpe\n"
                       "A,2023-03-05T09:15:00Z,,,Chin Up,,,0,normal,0,8,,,\n"
                       "A,2023-03-05T09:15:00Z,,,Chin Up,,,1,normal,25,5,,,\n"),
            u"Hevy"_s, QStringList{"05/03/2023|Dominadas supinas 1x8, 1x5 +11.34", "2 0 0 0 0"});
        row("fitnotes",
            QByteArray(
                "Date,Exercise,Category,Weight (kgs),Reps,Distance,Distance Unit,Time,Comment,Is "
                "Warmup\n2023-01-15,Flat Barbell Bench Press,Chest,60.0,10,,,,,true\n"
                "2023-01-15,Flat Barbell Bench Press,Chest,80.0,5,,,,\"Buena, sí\",false\n"
                "2023-01-15,Flat Barbell Bench Press,Chest,80.0,5,,,,,0\n"
                "2023-01-15,Treadmill,Cardio,,,3.5,km,0:25:00,,\n"
                "2023-01-15,Lat Pulldown,Back,55.5,12,,,,,\n"),
            u"FitNotes"_s,
            QStringList{"15/01/2023|Press de banca 2x5 80\nCardio Treadmill 25 min 3,5 km\nJalón "
                        "al pecho 1x12 55,5",
                        "3 1 0 1 0"});
        row("fitnotes with a weight unit",
            QByteArray(
                "Date;Exercise;Category;Weight;Weight Unit;Reps;Distance;Distance Unit;"
                "Time\n2023-04-01;Squat;Legs;135;lbs;5;;;\n2023-04-01;Squat;Legs;60;kg;5;;;\n"),
            u"FitNotes"_s, QStringList{"01/04/2023|Sentadilla 1x5 61.23, 1x5 60", "2 0 0 0 0"});
    }
    void formats() {
        const auto [csv, app, days] = fetch<QByteArray, QString, QStringList>("csv", "app", "days");
        const workoutimport::Read read = workoutimport::read(csv);
        QCOMPARE(read.error, QString());
        QCOMPARE(read.app, app);
        QCOMPARE(daysOf(read), days);
        for (std::size_t d = 0; d < read.dayCount(); ++d) // cardio is a note, the rest sets
            QVERIFY(!training::read(read.day(d)[Qhash]).doubtful);
    }

    // A file of none of the apps is refused whole; a row that cannot be a set is rejected with
    // its line, and the rows around it are read.
    void refused_data() {
        columns<QByteArray, QString, QString>("csv", "error", "rejected");
        QByteArray junk(4096, '\0');
        QRandomGenerator(3).fillRange(reinterpret_cast<quint32 *>(junk.data()), junk.size() / 4);
        const QString notAnExport = u"El Archivo No Es Una Exportación De Strong, Hevy Ni "
                                    u"FitNotes: Su Primera Línea No Tiene Sus Columnas."_s;
        row("the diary's own csv", QByteArray("fecha;peso\n05/12/2026;80\n"), notAnExport,
            QString());
        row("binary junk", junk, notAnExport, QString());
        row("empty file", QByteArray("\xEF\xBB\xBF\r\n"), u"El Archivo Está Vacío."_s, QString());
        const QByteArray day = "2023-01-15 10:30:00,A,1h,Squat,";
        row("bad rows",
            strong + "15/01/2023 10:30,A,1h,Squat,1,80,5,0,0,,,\n" + day + "1,ochenta,5,0,0,,,\n" +
                day + "1,80,5.5,0,0,,,\n" + day + "1," + QByteArray(50, '9') + ",5,0,0,,,\n" + day +
                "1,80,150,0,0,,,\n" + day +
                "X,80,5,0,0,,,\n2023-02-30 10:00:00,A,1h,Squat,1,80,5,"
                "0,0,,,\n" +
                day + "1,80,5,0,0,,,,\n" + day + "1,80,5,0,0," + QByteArray(1 << 20, 'n') + ",,\n" +
                day + "1,\"80,5,0,0,,,\n",
            QString(),
            u"Línea 2, Date: \"15/01/2023 10:30\": No Es Una Fecha.\nLínea 3, Weight: \"ochenta\": "
            u"No Es Un Número.\nLínea 4, Reps: \"5.5\": Las Repeticiones No Son Un Número Entero."
            u"\nLínea 5, Weight: \"%1\": Pesa Más De 1000 Kg.\nLínea 6, Reps: \"150\": Son Más De "
            u"100 Repeticiones.\nLínea 7, Set Order: \"X\": No Es Una Serie: Un Número, W, D O F."
            u"\nLínea 8, Date: \"2023-02-30 10:00:00\": No Es Una Fecha.\nLínea 9: \"2023-01-15 "
            u"10:30:00 A 1h Squat 1 80 5 0 0    \": Tiene 13 Campos Y La Cabecera 12.\nLínea 11: "
            u"\"2023-01-15 10:30:00,A,1h,Squat,1,\"80,5,0,0,,,\": Abre Unas Comillas Que No Se "
            u"Cierran."_s.arg(QString(50, u'9')));
    }
    void refused() {
        const auto [csv, error, rejected] =
            fetch<QByteArray, QString, QString>("csv", "error", "rejected");
        const workoutimport::Read read = workoutimport::read(csv);
        QCOMPARE(read.error, error);
        QCOMPARE(csvimport::rejectedText(read, 20), rejected);
        if (error.isEmpty()) // the one good row, with its field of a megabyte
            QCOMPARE(daysOf(read), (QStringList{"15/01/2023|Sentadilla 1x5 80", "1 0 0 0 9"}));
    }

    // Every app name of the table is written as a catalogue exercise that the reader reads as it,
    // without a doubt.
    void knownNamesReadAsTheirExercise() {
        QStringList misread;
        for (const QString &name : training::knownAppNames()) {
            const training::Reading reading =
                training::read(QString(training::writtenName(name) + u" 3x5 80"_s));
            if (reading.doubtful || reading.exercises.size() != 1 ||
                reading.exercises[0].name != training::catalogueNameOf(name))
                misread += name;
        }
        QCOMPARE(misread, QStringList());
        QVERIFY(training::knownAppNames().size() > 100);
    }

    // The sets of a file, as the text written reads them back: the same repetitions, loads to the
    // hundredth (pounds too), body weight with its added load, sets to failure, many sets.
    void readBack_data() {
        columns<QString, QString, bool, QString, QString>("exercise", "unit", "body", "sets",
                                                          "read as"); // sets: "weight reps order"
        row("kilograms with decimals", u"Squat (Barbell)"_s, u"kg"_s, false,
            u"62.5 5 1;62.5 5 2;62.5 5 3;61.25 5 4;100 1 F;0.5 12 5;33.33 8 6"_s, u"sentadilla"_s);
        row("pounds", u"Bench Press (Barbell)"_s, u"lbs"_s, false, u"135 10 1;185 5 2;225 3 F"_s,
            u"press de banca"_s);
        row("body weight and added load", u"Pull Up"_s, u"kg"_s, true,
            u"0 8 1;0 8 2;10 6 3;12.5 6 4;0 5 F"_s, u"dominadas"_s);
        row("light loads", u"Bicep Curl (Dumbbell)"_s, u"kg"_s, false,
            u"5 12 1;7.5 10 2;2.5 15 3;2.5 15 4;1 50 5"_s, u"curl con mancuernas"_s);
        row("many sets", u"Deadlift (Barbell)"_s, u"kg"_s, false,
            (u"100 3 1;"_s.repeated(230) + u"105 1 F;"_s.repeated(3)).chopped(1), u"peso muerto"_s);
        row("many sets without load", u"Box Drill 2.0 (x+y) y Co, 3x5 @ 10kg"_s, u"kg"_s, false,
            (u"0 10 1;"_s.repeated(12) + u"0 9 2"_s), u"box drill co"_s);
    }
    void readBack() {
        const auto [exercise, unit, body, sets, readAs] =
            fetch<QString, QString, bool, QString, QString>("exercise", "unit", "body", "sets",
                                                            "read as");
        QByteArray csv = "Date,Workout Name,Exercise Name,Set Order,Weight,Weight Unit,Reps\n";
        QList<training::Set> expected;
        for (const QString &set : sets.split(u';')) {
            const QStringList parts = set.split(u' ');
            csv += "2023-01-15 10:00:00,A,\"" + exercise.toUtf8() + "\"," + parts[2].toUtf8() +
                   ',' + parts[0].toUtf8() + ',' + unit.toUtf8() + ',' + parts[1].toUtf8() + '\n';
            const double kg =
                std::round(parts[0].toDouble() * (unit == u"lbs" ? 0.45359237 : 1) * 100) / 100;
            training::Set made;
            made.reps = parts[1].toInt();
            made.toFailure = parts[2] == u"F";
            made.bodyWeight = body;
            (body ? made.addedKg : made.kg.emplace()) = kg;
            if (!body && kg == 0)
                made.kg.reset();
            expected += made;
        }
        const workoutimport::Read read = workoutimport::read(csv);
        QCOMPARE(read.dayCount(), std::size_t(1));
        const training::Reading reading = training::read(read.day(0)[Qhash]);
        QVERIFY2(!reading.doubtful && reading.notes.isEmpty(), qPrintable(read.day(0)[Qhash]));
        QList<training::Set> found; // an exercise of more than 200 sets takes lines of its own
        for (const training::Exercise &done : reading.exercises) {
            QCOMPARE(done.name, readAs);
            found += done.sets;
        }
        QCOMPARE(found, expected);
    }

    // A day already stored keeps its text, gets the workout after it, or has it replaced; its
    // other boxes are never touched, a new day gets its date and the workout alone, and the same
    // file imported again changes nothing.
    void storedDays_data() {
        columns<int, QStringList, QString>("existing", "days", "counts"); // date|weight|text
        const QString a = u"5/12/2026|80|"_s, b = u"06/12/2026|79|"_s, c = u"07/12/2026||"_s;
        row("keep their text", int(dayimport::Existing::FillEmpty),
            QStringList{a + "Correr", b + "Sentadilla 1x5 90", c + "Sentadilla 1x5 100"},
            u"1 1 0 0 1"_s);
        row("add after their text", int(dayimport::Existing::Append),
            QStringList{a + "Correr\nSentadilla 1x5 80", b + "Sentadilla 1x5 90",
                        c + "Sentadilla 1x5 100"},
            u"1 0 2 0 0"_s);
        row("replace their text", int(dayimport::Existing::Replace),
            QStringList{a + "Sentadilla 1x5 80", b + "Sentadilla 1x5 90", c + "Sentadilla 1x5 100"},
            u"1 0 0 2 0"_s);
    }
    void storedDays() {
        const auto [existing, days, counts] =
            fetch<int, QStringList, QString>("existing", "days", "counts");
        fixture::TempDiary diary;
        QVERIFY(diary.addDays({fixture::day({{Fh, "5/12/2026"}, {Peski, "80"}, {Qhash, "Correr"}}),
                               fixture::day({{Fh, "06/12/2026"}, {Peski, "79"}})}));
        const workoutimport::Read read =
            workoutimport::read(strong + "2026-12-05 10:00:00,A,1h,Squat,1,80,5,0,0,,,\n"
                                         "2026-12-06 10:00:00,A,1h,Squat,1,90,5,0,0,,,\n"
                                         "2026-12-07 10:00:00,A,1h,Squat,1,100,5,0,0,,,\n");
        DayStore store(diary.database());
        for (const QString &expected : {counts, u"0 0 0 0 3"_s}) {
            const dayimport::Applied applied = store.importDays(read, dayimport::Existing(existing),
                                                                {}, {}, dayimport::Written{Qhash});
            QVERIFY(applied.done);
            QCOMPARE(u"%1 %2 %3 %4 %5"_s.arg(applied.added)
                         .arg(applied.filled)
                         .arg(applied.appended)
                         .arg(applied.replaced)
                         .arg(applied.unchanged),
                     expected);
            QStringList found;
            StoredDays(diary.db(), orderStatement(ByDate)).forEach([&](const DayTexts &day) {
                found += QStringList{day[Fh], day[Peski], day[Qhash]}.join(u'|');
                return true;
            });
            QCOMPARE(found, days);
        }
    }
};

QTEST_MAIN(TestWorkoutImport)
#include "test_workoutimport.moc"
