#include "commandline.h"

namespace commandline {

QString versionText() {
    return QStringLiteral("gimnasio %1\nDiario De Gimnasio Por ^Zorvend^.\n")
        .arg(QStringLiteral(GIMNASIO_VERSION));
}

QString helpText() {
    return QStringLiteral(
        "Uso: gimnasio [OPCIÓN]\n"
        "Diario De Gimnasio Personal: Tu Perfil, Tus Días En El Gimnasio Y Tu Progreso.\n"
        "\n"
        "  --help      Muestra Esta Ayuda Y Termina.\n"
        "  --version   Muestra La Versión Del Programa Y Termina.\n"
        "\n"
        "Sin Opciones, Abre El Diario. El Diario Se Guarda Cifrado Con Tu Clave En La Carpeta\n"
        "\"Gimnasio Por ^Zorvend^\" De Tus Datos ($XDG_DATA_HOME, O ~/.local/share).\n"
        "Sin La Clave No Se Puede Abrir: No Hay Forma De Recuperarla.\n");
}

std::optional<QString> answer(const QStringList &arguments) {
    for (const QString &argument : arguments.mid(1)) {
        if (argument == QLatin1String("--version"))
            return versionText();
        if (argument == QLatin1String("--help"))
            return helpText();
    }
    return std::nullopt;
}

} // namespace commandline
