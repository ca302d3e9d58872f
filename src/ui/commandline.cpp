#include "ui/commandline.h"

#include <QSet>

namespace commandline {
namespace {

// Qt's own options, which QApplication takes from the command line itself.
const QSet<QString> qtOptionsWithValue{
    QStringLiteral("platform"),        QStringLiteral("platformpluginpath"),
    QStringLiteral("platformtheme"),   QStringLiteral("plugin"),
    QStringLiteral("qwindowgeometry"), QStringLiteral("qwindowicon"),
    QStringLiteral("qwindowtitle"),    QStringLiteral("display"),
    QStringLiteral("session"),         QStringLiteral("style"),
    QStringLiteral("stylesheet"),      QStringLiteral("name"),
    QStringLiteral("title"),           QStringLiteral("geometry"),
    QStringLiteral("visual")};
const QSet<QString> qtOptionsAlone{QStringLiteral("reverse"), QStringLiteral("widgetcount"),
                                   QStringLiteral("nograb"), QStringLiteral("dograb"),
                                   QStringLiteral("sync")};

const QLatin1String trainingOption("--leer-entrenamiento");

Answer refusal(const QString &argument) {
    return {QStringLiteral("gimnasio: Opción Desconocida: %1\n"
                           "Usa «gimnasio --help» Para Ver Las Opciones Que Se Aceptan.\n")
                .arg(argument),
            2, true};
}

} // namespace

QString versionText() {
    return QStringLiteral("gimnasio %1\nDiario De Gimnasio Por ^Zorvend^.\n")
        .arg(QStringLiteral(GIMNASIO_VERSION));
}

QString helpText() {
    return QStringLiteral(
        "Uso: gimnasio [OPCIÓN]\n"
        "Diario De Gimnasio Personal: Tu Perfil, Tus Días En El Gimnasio Y Tu Progreso.\n"
        "\n"
        "  -h, --help      Muestra Esta Ayuda Y Termina.\n"
        "  -v, --version   Muestra La Versión Del Programa Y Termina.\n"
        "  --leer-entrenamiento\n"
        "                  Lee Textos De \"Que Has Hecho\" De La Entrada Estándar, Uno Por\n"
        "                  Línea (\"\\n\" Dentro De Una Línea Es Un Salto De Línea), Y Escribe\n"
        "                  Lo Que Dice Cada Uno (Ejercicios, Series, Notas) Como Una Línea JSON,\n"
        "                  Sin Ventana Y Sin Abrir El Diario.\n"
        "\n"
        "Sin Opciones, Abre El Diario. El Diario Se Guarda Cifrado Con Tu Clave En La Carpeta\n"
        "\"Gimnasio Por ^Zorvend^\" De Tus Datos ($XDG_DATA_HOME, O ~/.local/share).\n"
        "Sin La Clave No Se Puede Abrir: No Hay Forma De Recuperarla.\n");
}

std::optional<Answer> answer(const QStringList &arguments) {
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (argument == QLatin1String("--version") || argument == QLatin1String("-v"))
            return Answer{versionText()};
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h"))
            return Answer{helpText()};
        if (argument == trainingOption)
            continue;
        // Qt's options come with one dash or two, their value after a blank or after '='.
        QString option = argument;
        if (option.startsWith(QLatin1String("--")))
            option.remove(0, 1);
        if (!option.startsWith(u'-') || option.size() < 2)
            return refusal(argument);
        option.remove(0, 1);
        const qsizetype equals = option.indexOf(u'=');
        const QString name = option.left(equals);
        if (qtOptionsAlone.contains(name) && equals < 0)
            continue;
        if (!qtOptionsWithValue.contains(name))
            return refusal(argument);
        if (equals < 0 && ++i >= arguments.size())
            return refusal(argument);
    }
    return std::nullopt;
}

bool readsTraining(const QStringList &arguments) {
    return arguments.mid(1).contains(trainingOption);
}

} // namespace commandline
