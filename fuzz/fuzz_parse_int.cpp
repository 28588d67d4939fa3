// ParseInt on any text. The first byte picks how the rest becomes text: as 8-bit
// characters, or as UTF-16 code units so that any character at all turns up.
//
// Checked against Qt's own conversions: a text is valid exactly when it is
// leading blanks and then a decimal number in range or a hex marker with at most
// eight significant digits; a valid text gives that number; an invalid one gives
// a number whose digits begin the text's digits, and never a sign.
#include "FuzzCheck.h"
#include "presentation/ParseInt.h"

#include <QString>
#include <cstddef>
#include <cstdint>
#include <vector>

using namespace brixel;

namespace {

bool isDecimalDigit(QChar c) {
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

bool isHexDigit(QChar c) {
    const char16_t u = c.unicode();
    return isDecimalDigit(c) || (u >= u'a' && u <= u'f') || (u >= u'A' && u <= u'F');
}

QString textFrom(const uint8_t* data, size_t size) {
    if (size == 0)
        return QString();
    const auto* rest = reinterpret_cast<const char*>(data + 1);
    if (data[0] & 1)
        return QString::fromLatin1(rest, qsizetype(size - 1));
    std::vector<char16_t> units((size - 1) / 2);
    for (size_t i = 0; i < units.size(); ++i)
        units[i] = char16_t(data[1 + 2 * i] | (data[2 + 2 * i] << 8));
    return QString::fromUtf16(units.data(), qsizetype(units.size()));
}

// The run of digits at the start of `s` without its leading zeros.
QString significantDigits(QStringView s, bool hex) {
    qsizetype end = 0;
    while (end < s.size() && (hex ? isHexDigit(s[end]) : isDecimalDigit(s[end])))
        ++end;
    qsizetype begin = 0;
    while (begin < end && s[begin] == u'0')
        ++begin;
    return s.mid(begin, end - begin).toString().toUpper();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = textFrom(data, size);
    qint32 value = 0x5a5a5a5a;
    const bool valid = ParseInt(text, value);

    qsizetype pos = 0;
    while (pos < text.size() && text[pos] == u' ')
        ++pos;
    const QStringView rest = QStringView(text).mid(pos);

    qsizetype marker = 0;
    if (rest.startsWith(u'$') || rest.startsWith(u'x') || rest.startsWith(u'X'))
        marker = 1;
    else if (rest.startsWith(u"0x") || rest.startsWith(u"0X"))
        marker = 2;

    if (marker > 0) {
        const QStringView digits = rest.mid(marker);
        bool allHex = !digits.isEmpty();
        for (QChar c : digits)
            allHex = allHex && isHexDigit(c);
        const QString significant = significantDigits(digits, true);
        const bool expectValid = allHex && significant.size() <= 8;
        FUZZ_CHECK(valid == expectValid, "hex validity");
        if (valid) {
            bool ok = false;
            const quint32 bits = quint32(digits.toString().toULongLong(&ok, 16));
            FUZZ_CHECK(ok && qint32(bits) == value, "hex value");
        } else if (value != 0) {
            const QString written = QString::number(quint32(value), 16).toUpper();
            FUZZ_CHECK(significant.startsWith(written), "hex digits read before the fault");
        }
    } else {
        QStringView number = rest;
        if (number.startsWith(u'+') || number.startsWith(u'-'))
            number = number.mid(1);
        bool allDigits = !number.isEmpty();
        for (QChar c : number)
            allDigits = allDigits && isDecimalDigit(c);
        bool inRange = false;
        qint64 expected = 0;
        if (allDigits) {
            const QString significant = significantDigits(number, false);
            if (significant.size() <= 10) {
                expected = rest.toString().toLongLong(&inRange);
                inRange = inRange && expected >= -2147483648LL && expected <= 2147483647LL;
            }
        }
        FUZZ_CHECK(valid == (allDigits && inRange), "decimal validity");
        if (valid) {
            FUZZ_CHECK(value == expected, "decimal value");
        } else {
            FUZZ_CHECK(value >= 0, "an invalid text gives no sign");
            if (value != 0)
                FUZZ_CHECK(significantDigits(number, false).startsWith(QString::number(value)),
                           "decimal digits read before the fault");
        }
    }

    // A valid value written out in decimal reads back the same.
    if (valid) {
        qint32 again = 0;
        FUZZ_CHECK(ParseInt(QString::number(value), again) && again == value, "round trip");
    }
    return 0;
}
