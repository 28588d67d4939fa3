#pragma once

#include <QString>
#include <QtGlobal>

namespace brixel {

// The one conversion of typed text to a 32-bit integer (ports, decimal and hex
// fields). Valid text: leading spaces, then either a decimal number with an
// optional sign in -2147483648..2147483647, or a hex marker ("$", "x", "X", "0x",
// "0X") without sign followed by at most eight significant hex digits taken as a
// bit pattern ($FFFFFFFF is -1), and nothing after.
//
// Returns whether the text is valid and always writes `value`: the number when
// valid; otherwise the number made of the digits read before the first character
// that does not fit, without sign (0 when no digit was read). A digit that would
// take the number out of range counts as such a character: "2147483648" writes
// 214748364 and "$123456789" writes $12345678.
bool ParseInt(const QString& text, qint32& value);

} // namespace brixel
