#pragma once

#include <QString>

// What the diary window tells the user when the diary refuses a change or a move.
namespace diarytexts {

const QString saveRefused = QStringLiteral(
    "No Se Ha Podido Grabar El Día En El Diario De Gimnasio. Comprueba Que Hay Sitio En El Disco "
    "Y Que El Archivo Se Puede Escribir.");
const QString deleteRefused = QStringLiteral(
    "No Se Ha Podido Borrar El Día Del Diario De Gimnasio. Comprueba Que Hay Sitio En El Disco Y "
    "Que El Archivo Se Puede Escribir.");
const QString sortRefused =
    QStringLiteral("No Se Ha Podido Ordenar El Diario De Gimnasio. Los Días Siguen Como Estaban.");
const QString readRefused =
    QStringLiteral("No Se Han Podido Leer Los Días Del Diario De Gimnasio.");
const QString undatedDay = QStringLiteral(
    "El Día Que Estás Metiendo No Tiene Fecha. Escribe La Fecha En \"Fecha A Meter Datos\" Y Pulsa "
    "Grabar, O Borra Lo Escrito Para Dejarlo.");
const QString deleteQuestion = QStringLiteral("¿ Seguro Que Quieres Borrar Este Día De Gimnasio ?");

} // namespace diarytexts
