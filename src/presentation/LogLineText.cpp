#include "presentation/LogLineText.h"

#include <cstring>

namespace brixel {

namespace {

char* PutDigits(char* out, int value, int digits) {
    for (int i = digits - 1; i >= 0; --i) {
        out[i] = char('0' + value % 10);
        value /= 10;
    }
    return out + digits;
}

} // namespace

QByteArray FormatTimestampPrefix(const QDateTime& time) {
    static constexpr char kArrow[] = "    ->    ";
    const QDate d = time.date();
    const QTime t = time.time();
    QByteArray prefix(33, Qt::Uninitialized);
    char* out = prefix.data();
    // A year outside 0..9999 cannot keep the fixed width; it shows its last four digits.
    out = PutDigits(out, qAbs(d.year()) % 10000, 4);
    *out++ = '-';
    out = PutDigits(out, d.month(), 2);
    *out++ = '-';
    out = PutDigits(out, d.day(), 2);
    *out++ = ' ';
    out = PutDigits(out, t.hour(), 2);
    *out++ = ':';
    out = PutDigits(out, t.minute(), 2);
    *out++ = ':';
    out = PutDigits(out, t.second(), 2);
    *out++ = '.';
    out = PutDigits(out, t.msec(), 3);
    std::memcpy(out, kArrow, sizeof kArrow - 1);
    return prefix;
}

QByteArray JoinPrefix(const QByteArray& prefix, const QByteArray& text) {
    if (prefix.isEmpty())
        return text;
    return prefix + text;
}

QByteArray RemoveLineFeeds(const QByteArray& text) {
    if (!text.contains('\n'))
        return text;
    QByteArray kept = text;
    kept.removeIf([](char c) { return c == '\n'; });
    return kept;
}

namespace {

// Milliseconds on the wall clock the time was read from. Reading the fields of a
// local time is cheap; converting it to UTC (as msecsTo does) asks the time-zone
// rules each time, which costs more than the rest of an append.
qint64 WallClockMs(const QDateTime& time) {
    return time.date().toJulianDay() * 86400000 + time.time().msecsSinceStartOfDay();
}

} // namespace

qint64 LogGapMs(const QDateTime& last, const QDateTime& now) {
    return qAbs(WallClockMs(now) - WallClockMs(last));
}

} // namespace brixel
