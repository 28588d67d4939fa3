#include "presentation/TxEncoding.h"

#include "presentation/ParseInt.h"

namespace brixel {

namespace {

enum Format : qint32 { String = 0, Binary = 1, Decimal = 2, Hex = 3 };

constexpr char kCarriageReturn = 13;
constexpr char kLineFeed = 10;
constexpr int kBinaryGroup = 8;

void appendLineEnd(QByteArray& bytes, bool addCr, bool addLf) {
    if (addCr)
        bytes.append(kCarriageReturn);
    if (addLf)
        bytes.append(kLineFeed);
}

TxEncodeResult encodeBinary(const QByteArray& text) {
    TxEncodeResult result;
    quint8 current = 0;
    int bit = 7;
    for (const char c : text) {
        if (c == ' ')
            continue;
        qint32 value = 0;
        if (!ParseInt(QString(QLatin1Char(c)), value) || value > 1)
            return {{}, BinaryFormatErrorText()};
        if (value == 1)
            current |= quint8(1u << bit);
        if (--bit < 0) {
            result.bytes.append(char(current));
            current = 0;
            bit = 7;
        }
    }
    return result;
}

// One byte per field; a field ends at each space and at the end of the text.
TxEncodeResult encodeFields(const QByteArray& text, bool hex) {
    TxEncodeResult result;
    auto endField = [&](const QByteArray& field) -> bool {
        if (field.isEmpty()) {
            result.bytes.append('\0');
            return true;
        }
        const QString number =
            hex ? QStringLiteral("0x") + QString::fromLatin1(field) : QString::fromLatin1(field);
        qint32 value = 0;
        if (!ParseInt(number, value)) {
            result = {{}, DecimalFormatErrorText()};
            return false;
        }
        if (value > 255) {
            result = {{}, DecimalRangeErrorText()};
            return false;
        }
        result.bytes.append(char(quint8(value))); // -1 gives 255
        return true;
    };

    QByteArray field;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != ' ') {
            field.append(text[i]);
            if (i + 1 < text.size())
                continue;
        }
        if (!endField(field))
            return result;
        field.clear();
    }
    return result;
}

} // namespace

QString BinaryFormatErrorText() {
    return QStringLiteral("Message is not in Binary Format. Example: 10001000 10001000");
}

QString DecimalFormatErrorText() {
    return QStringLiteral("Message is not in Decimal Format. Example: 11 22 33 255");
}

QString DecimalRangeErrorText() {
    return QStringLiteral("The maximum decimal value is 255. Example: 11 22 33 255");
}

TxEncodeResult EncodeTxText(const QByteArray& text, qint32 format, bool addCr, bool addLf) {
    TxEncodeResult result;
    switch (format) {
    case String:
        result.bytes = text;
        break;
    case Binary:
        result = encodeBinary(text);
        break;
    case Decimal:
    case Hex:
        result = encodeFields(text, format == Hex);
        break;
    default:
        return {};
    }
    if (result.error.isEmpty())
        appendLineEnd(result.bytes, addCr, addLf);
    return result;
}

QByteArray NormalizeHexText(const QByteArray& text) {
    QByteArray digits = QByteArray(text).replace(' ', QByteArray()).toUpper();
    if (digits.size() % 2 != 0)
        digits.prepend('0');
    QByteArray out;
    out.reserve(digits.size() / 2 * 3);
    for (qsizetype i = 0; i < digits.size(); i += 2) {
        out.append(digits.mid(i, 2));
        out.append(' ');
    }
    return out;
}

QByteArray NormalizeBinaryText(const QByteArray& text) {
    QByteArray digits = QByteArray(text).replace(' ', QByteArray()).toUpper();
    const qsizetype padding = (kBinaryGroup - digits.size() % kBinaryGroup) % kBinaryGroup;
    digits.prepend(QByteArray(padding, '0'));
    QByteArray out;
    out.reserve(digits.size() / kBinaryGroup * (kBinaryGroup + 1));
    for (qsizetype i = 0; i < digits.size(); i += kBinaryGroup) {
        out.append(' ');
        out.append(digits.mid(i, kBinaryGroup));
    }
    return out;
}

} // namespace brixel
