// Typed text through EncodeTxText in every format, raw or first through the
// normaliser the send buttons use. The first byte picks the format, CR, LF and
// whether to normalise; the rest is the typed text.
//
// Checked: a refusal carries no bytes and one of the format's own texts; the
// result never passes its bound (Decimal and Hex: one byte per character plus
// CR LF; Binary: one per eight characters plus CR LF), has exactly one byte per
// field or per eight digits, ends with the line end asked for; the normalisers
// give whole groups; normalised Hex and Binary text that encodes reads back as
// the bytes it stands for.
#include "FuzzCheck.h"
#include "presentation/ByteRendering.h"
#include "presentation/TxEncoding.h"

#include <QByteArray>
#include <climits>
#include <cstddef>
#include <cstdint>

using namespace brixel;

namespace {

constexpr qint32 kFormats[] = {0, 1, 2, 3, -1, 4, 127, INT_MIN};

qsizetype countOf(const QByteArray& text, char c) {
    return text.count(c);
}

QByteArray withoutBlanks(const QByteArray& text) {
    return QByteArray(text).replace(' ', QByteArray());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const qint32 format = kFormats[data[0] & 7];
    const bool addCr = data[0] & 8;
    const bool addLf = data[0] & 16;
    const bool normalise = data[0] & 32;
    QByteArray text(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));

    if (normalise && format == 3) {
        const qsizetype digits = withoutBlanks(text).size();
        text = NormalizeHexText(text);
        FUZZ_CHECK(text.size() == (digits + 1) / 2 * 3, "hex groups");
        for (qsizetype i = 2; i < text.size(); i += 3)
            FUZZ_CHECK(text[i] == ' ', "a blank after each pair");
    } else if (normalise && format == 1) {
        const qsizetype digits = withoutBlanks(text).size();
        text = NormalizeBinaryText(text);
        FUZZ_CHECK(text.size() == (digits + 7) / 8 * 9, "binary groups");
        for (qsizetype i = 0; i < text.size(); i += 9)
            FUZZ_CHECK(text[i] == ' ', "a blank before each group");
    }

    const TxEncodeResult result = EncodeTxText(text, format, addCr, addLf);
    const qsizetype lineEnd = (addCr ? 1 : 0) + (addLf ? 1 : 0);
    const qsizetype n = text.size();

    if (!result.error.isEmpty()) {
        FUZZ_CHECK(result.bytes.isEmpty(), "a refusal sends nothing");
        if (format == 1)
            FUZZ_CHECK(result.error == BinaryFormatErrorText(), "binary refusal text");
        else
            FUZZ_CHECK((format == 2 || format == 3) && (result.error == DecimalFormatErrorText() ||
                                                        result.error == DecimalRangeErrorText()),
                       "decimal refusal text");
        return 0;
    }

    switch (format) {
    case 0:
        FUZZ_CHECK(result.bytes.size() == n + lineEnd && result.bytes.startsWith(text),
                   "String sends the text");
        break;
    case 1: {
        FUZZ_CHECK(result.bytes.size() <= n / 8 + 2, "Binary bound");
        const qsizetype digits = countOf(text, '0') + countOf(text, '1');
        FUZZ_CHECK(digits == n - countOf(text, ' '), "only 0, 1 and blanks pass");
        FUZZ_CHECK(result.bytes.size() == digits / 8 + lineEnd, "one byte per eight digits");
        break;
    }
    case 2:
    case 3: {
        FUZZ_CHECK(result.bytes.size() <= n + 2, "Decimal and Hex bound");
        const qsizetype fields = countOf(text, ' ') + (n > 0 && text.back() != ' ' ? 1 : 0);
        FUZZ_CHECK(result.bytes.size() == fields + lineEnd, "one byte per field");
        break;
    }
    default:
        FUZZ_CHECK(result.bytes.isEmpty(), "an unknown format sends nothing");
        return 0;
    }

    QByteArray body = result.bytes;
    if (addLf) {
        FUZZ_CHECK(body.endsWith('\n'), "LF last");
        body.chop(1);
    }
    if (addCr) {
        FUZZ_CHECK(body.endsWith('\r'), "CR before LF");
        body.chop(1);
    }
    if (normalise && format == 3)
        FUZZ_CHECK(body == QByteArray::fromHex(withoutBlanks(text)), "hex reads back");
    if (normalise && format == 1) {
        QByteArray shown;
        for (char byte : body)
            shown += ' ' + ByteToBinaryText(quint8(byte));
        FUZZ_CHECK(shown == text, "binary reads back");
    }
    return 0;
}
