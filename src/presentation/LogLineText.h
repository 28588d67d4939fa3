#pragma once

#include <QByteArray>
#include <QDateTime>

namespace brixel {

// The pieces a log line is made of, free of any widget.

// "yyyy-mm-dd hh:nn:ss.zzz    ->    " for `time` (24-hour clock, 33 characters).
QByteArray FormatTimestampPrefix(const QDateTime& time);

// A new line's content: the prefix followed directly by the text. Both are taken
// whole, zero bytes included.
QByteArray JoinPrefix(const QByteArray& prefix, const QByteArray& text);

// `text` without its LF characters (0x0A); CR and every other byte stay.
QByteArray RemoveLineFeeds(const QByteArray& text);

// Whole milliseconds between two readings of the wall clock, never negative: a
// clock set back (or a daylight-saving change) counts as a gap too.
qint64 LogGapMs(const QDateTime& last, const QDateTime& now);

} // namespace brixel
