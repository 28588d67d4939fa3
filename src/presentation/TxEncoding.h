#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace brixel {

// The bytes a typed message becomes, or the text of the "Format Error" box that
// refuses it. An error always comes with no bytes: nothing of a refused message
// is sent.
struct TxEncodeResult {
    QByteArray bytes;
    QString error;
};

// The refusals, as the "Format Error" box shows them.
QString BinaryFormatErrorText();  // a character other than 0, 1 or space
QString DecimalFormatErrorText(); // a field that is not an integer (Decimal and Hex alike)
QString DecimalRangeErrorText();  // a field above 255

// Encodes typed text in a DataFormat (0 String, 1 Binary, 2 Decimal, 3 Hex) and
// appends CR, then LF, when asked. String sends the text's bytes; Binary packs
// 0/1 characters most significant bit first and drops an unfinished last byte;
// Decimal and Hex give one byte per field between spaces (an empty field gives 0).
// Any other format gives no bytes and no error.
TxEncodeResult EncodeTxText(const QByteArray& text, qint32 format, bool addCr, bool addLf);

// Hex text as upper-case digit pairs, each followed by a space ("1 2 3" gives
// "01 23 "). Other characters pass through upper-cased for the encoder to refuse.
QByteArray NormalizeHexText(const QByteArray& text);

// Binary text as groups of eight digits, each preceded by a space ("101" gives
// " 00000101"). Other characters pass through upper-cased for the encoder to refuse.
QByteArray NormalizeBinaryText(const QByteArray& text);

} // namespace brixel
