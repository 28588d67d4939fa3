#pragma once

#include <QByteArray>
#include <QChar>
#include <QString>

namespace brixel {

// How a log shows its 8-bit text: one character per byte, Latin-1, except that a
// byte with no visible glyph of its own (the control codes 0x00..0x1F, 0x7F and
// 0x80..0x9F, and the soft hyphen 0xAD) is shown as a mark, so nothing received
// goes unseen. The view draws marks in a colour of their own, which tells them
// from the same character received as itself. Display only: the log keeps the
// bytes themselves.
enum class MarkStyle {
    // Unicode control pictures (NUL as U+2400, CR as U+240D, DEL as U+2421),
    // U+FFFD for 0x80..0x9F, a hyphen for the soft hyphen.
    ControlPictures,
    // For fonts without control pictures: the letter of the caret notation
    // (NUL as @, CR as M, DEL as ?; 0x80..0x9F as @.._), a hyphen for the soft hyphen.
    Letters,
};

bool IsMarkedByte(quint8 byte);
QChar LogGlyph(quint8 byte, MarkStyle style = MarkStyle::ControlPictures);
QString ToDisplayText(const QByteArray& bytes, MarkStyle style = MarkStyle::ControlPictures);

} // namespace brixel
