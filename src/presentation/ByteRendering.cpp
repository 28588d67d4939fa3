#include "presentation/ByteRendering.h"

#include <climits>

namespace brixel {

namespace {

// Receive formats, in the order of the RX Format selector.
constexpr qint32 kString = 0;
constexpr qint32 kBinary = 1;
constexpr qint32 kDecimal = 2;
constexpr qint32 kHex = 3;

constexpr char kHexDigits[] = "0123456789ABCDEF";

char* PutBinary(char* out, quint8 b) {
    for (int bit = 7; bit >= 0; --bit)
        *out++ = (b >> bit) & 1 ? '1' : '0';
    return out;
}

char* PutDecimal(char* out, quint8 b) {
    if (b >= 100)
        *out++ = char('0' + b / 100);
    if (b >= 10)
        *out++ = char('0' + b / 10 % 10);
    *out++ = char('0' + b % 10);
    return out;
}

} // namespace

QByteArray ByteToBinaryText(quint8 byte) {
    QByteArray text(8, Qt::Uninitialized);
    PutBinary(text.data(), byte);
    return text;
}

QByteArray RenderRxChunk(const quint8* bytes, qint32 count, qint32 format) {
    if (count <= 0 || !bytes)
        return {};
    const qsizetype n = count;
    switch (format) {
    case kString:
        return QByteArray(reinterpret_cast<const char*>(bytes), n);
    case kBinary: {
        QByteArray text(9 * n, Qt::Uninitialized);
        char* out = text.data();
        for (qsizetype i = 0; i < n; ++i) {
            out = PutBinary(out, bytes[i]);
            *out++ = ' ';
        }
        return text;
    }
    case kDecimal: {
        QByteArray text(4 * n, Qt::Uninitialized);
        char* const begin = text.data();
        char* out = begin;
        for (qsizetype i = 0; i < n; ++i) {
            out = PutDecimal(out, bytes[i]);
            *out++ = ' ';
        }
        text.truncate(out - begin);
        return text;
    }
    case kHex: {
        QByteArray text(3 * n, Qt::Uninitialized);
        char* out = text.data();
        for (qsizetype i = 0; i < n; ++i) {
            *out++ = kHexDigits[bytes[i] >> 4];
            *out++ = kHexDigits[bytes[i] & 0x0F];
            *out++ = ' ';
        }
        return text;
    }
    default:
        return {};
    }
}

QByteArray RenderRxChunk(const QByteArray& chunk, qint32 format) {
    return RenderRxChunk(reinterpret_cast<const quint8*>(chunk.constData()),
                         qint32(qMin<qsizetype>(chunk.size(), INT_MAX)), format);
}

} // namespace brixel
