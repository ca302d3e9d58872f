#include "training/readinglines.h"

namespace training {
namespace {

void appendString(QByteArray &out, QStringView text) {
    out += '"';
    for (const char c : text.toUtf8()) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (u < 0x20) {
            static const char hex[] = "0123456789abcdef";
            out += "\\u00";
            out += hex[u >> 4];
            out += hex[u & 15];
        } else {
            out += c;
        }
    }
    out += '"';
}

void appendList(QByteArray &out, const QStringList &texts) {
    out += '[';
    for (qsizetype i = 0; i < texts.size(); ++i) {
        if (i > 0)
            out += ", ";
        appendString(out, texts[i]);
    }
    out += ']';
}

const char *boolean(bool value) {
    return value ? "true" : "false";
}

template <typename T> QByteArray orNull(const std::optional<T> &value) {
    return value ? QByteArray::number(*value, 'g', 10) : QByteArray("null");
}

} // namespace

QByteArray jsonLine(QStringView text, const Reading &reading) {
    QByteArray out = "{\"texto\": ";
    appendString(out, text);
    out += ", \"ejercicios\": [";
    for (qsizetype e = 0; e < reading.exercises.size(); ++e) {
        const Exercise &exercise = reading.exercises[e];
        out += e > 0 ? ", {\"ejercicio\": " : "{\"ejercicio\": ";
        appendString(out, exercise.name);
        out += ", \"propio\": ";
        out += boolean(exercise.own);
        out += ", \"musculos\": ";
        appendList(out, exercise.muscles);
        out += ", \"musculos_secundarios\": ";
        appendList(out, exercise.secondaryMuscles);
        out += ", \"dudoso\": ";
        out += boolean(exercise.doubtful);
        out += ", \"posibles\": ";
        appendList(out, exercise.candidates);
        out += ", \"series\": [";
        for (qsizetype s = 0; s < exercise.sets.size(); ++s) {
            const Set &set = exercise.sets[s];
            out += s > 0 ? ", {\"repeticiones\": " : "{\"repeticiones\": ";
            out += orNull(set.reps) + ", \"kg\": " + orNull(set.kg) +
                   ", \"peso_corporal\": " + boolean(set.bodyWeight) +
                   ", \"lastre_kg\": " + QByteArray::number(set.addedKg, 'g', 10) +
                   ", \"al_fallo\": " + boolean(set.toFailure) +
                   ", \"por_mano\": " + boolean(set.perHand) +
                   ", \"segundos\": " + orNull(set.seconds) + '}';
        }
        out += "]}";
    }
    out += "], \"notas\": ";
    appendList(out, reading.notes);
    out += ", \"dudoso\": ";
    out += boolean(reading.doubtful);
    out += '}';
    return out;
}

qint64 readLines(QIODevice &in, QIODevice &out, const Corrections &corrections) {
    qint64 count = 0;
    for (QByteArray line = in.readLine(); !line.isEmpty(); line = in.readLine()) {
        if (line.endsWith('\n'))
            line.chop(1);
        if (line.endsWith('\r'))
            line.chop(1);
        const QString text = QString::fromUtf8(QByteArrayView(line))
                                 .replace(QLatin1String("\\n"), QLatin1String("\n"));
        out.write(jsonLine(text, read(text, corrections)) + '\n');
        ++count;
    }
    return count;
}

} // namespace training
