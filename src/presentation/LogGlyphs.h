#pragma once

#include <QByteArray>
#include <QChar>
#include <QString>

namespace brixel {

// How a log shows its 8-bit text: one character per byte, Latin-1, except that a
// byte with no visible glyph is shown as a visible mark, so nothing received goes
// unseen: the control codes 0x00..0x1F and 0x7F as their Unicode control pictures
// (NUL as U+2400, CR as U+240D, ...), 0x80..0x9F as U+FFFD and the soft hyphen
// 0xAD as a hyphen. Display only: the log keeps the bytes themselves.
QChar LogGlyph(quint8 byte);
QString ToDisplayText(const QByteArray& bytes);

} // namespace brixel
