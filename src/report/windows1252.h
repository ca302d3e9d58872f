#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

// Text in the Windows-1252 code page, the 8-bit form of the statistics files.
namespace windows1252 {

// Appends text as Windows-1252 bytes. A character the code page cannot hold is written as one
// "?": a surrogate pair is one character, and so is a lone surrogate. Line breaks are written as
// CR LF whatever their form in the text (CR LF, LF or CR alone), so that every line of a file
// ends the same way; a NUL is written as "?".
void append(QByteArray &out, QStringView text);
QByteArray encode(QStringView text);
// The text of Windows-1252 bytes; the five bytes the code page leaves unassigned are read as the
// C1 controls of the same number, as Latin-1 does.
QString decode(QByteArrayView bytes);

// Appends text cut into slices of `width` characters, each slice followed by CR LF; the last
// slice is shorter when the length is no multiple of width, and an empty text appends nothing.
// Slices are cut by character count alone: a line break inside the text is an ordinary character
// of its slice that counts as two, as CR LF does in a Windows text, and is never cut (a slice
// that would end between its two characters keeps both); a surrogate pair counts as one
// character and is never cut.
void appendSlices(QByteArray &out, QStringView text, qsizetype width);

} // namespace windows1252
