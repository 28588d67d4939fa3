#include "presentation/ParseInt.h"

namespace brixel {

namespace {

constexpr qint64 kMaxPositive = 2147483647;
constexpr qint64 kMaxNegative = 2147483648; // magnitude of the smallest qint32
constexpr int kMaxHexDigits = 8;

int decimalDigit(QChar c) {
    const char16_t u = c.unicode();
    return u >= u'0' && u <= u'9' ? int(u - u'0') : -1;
}

int hexDigit(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return int(u - u'0');
    if (u >= u'a' && u <= u'f')
        return int(u - u'a') + 10;
    if (u >= u'A' && u <= u'F')
        return int(u - u'A') + 10;
    return -1;
}

// Length of the hex marker at `pos`, or 0 when there is none.
qsizetype hexMarkerLength(const QString& text, qsizetype pos) {
    const qsizetype n = text.size();
    if (pos >= n)
        return 0;
    const QChar c = text[pos];
    if (c == u'$' || c == u'x' || c == u'X')
        return 1;
    if (c == u'0' && pos + 1 < n && (text[pos + 1] == u'x' || text[pos + 1] == u'X'))
        return 2;
    return 0;
}

} // namespace

bool ParseInt(const QString& text, qint32& value) {
    const qsizetype n = text.size();
    qsizetype pos = 0;
    while (pos < n && text[pos] == u' ')
        ++pos;

    if (const qsizetype marker = hexMarkerLength(text, pos)) {
        pos += marker;
        quint32 bits = 0;
        int digits = 0;      // digits read, leading zeros included
        int significant = 0; // digits from the first non-zero one on
        for (; pos < n; ++pos) {
            const int d = hexDigit(text[pos]);
            if (d < 0 || significant == kMaxHexDigits)
                break;
            ++digits;
            if (significant > 0 || d != 0)
                ++significant;
            bits = (bits << 4) | quint32(d);
        }
        value = qint32(bits);
        return digits > 0 && pos == n;
    }

    bool negative = false;
    if (pos < n && (text[pos] == u'+' || text[pos] == u'-')) {
        negative = text[pos] == u'-';
        ++pos;
    }
    const qint64 limit = negative ? kMaxNegative : kMaxPositive;
    qint64 magnitude = 0;
    int digits = 0;
    for (; pos < n; ++pos) {
        const int d = decimalDigit(text[pos]);
        if (d < 0 || magnitude * 10 + d > limit)
            break;
        magnitude = magnitude * 10 + d;
        ++digits;
    }
    if (digits > 0 && pos == n) {
        value = qint32(negative ? -magnitude : magnitude);
        return true;
    }
    // Without its sign, "-2147483648x" has one digit too many for a qint32.
    if (magnitude > kMaxPositive)
        magnitude /= 10;
    value = qint32(magnitude);
    return false;
}

} // namespace brixel
