#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace brixel {

// Display text of one received chunk in the RX format `format` (0 String,
// 1 Binary, 2 Decimal, 3 Hex). String keeps every byte as one character; the
// other formats write each byte followed by one space. Any other format, and an
// empty or negative count, give empty text. Pure: reads nothing but its arguments.
QByteArray RenderRxChunk(const quint8* bytes, qint32 count, qint32 format);
QByteArray RenderRxChunk(const QByteArray& chunk, qint32 format);

// Eight characters "0"/"1", most significant bit first.
QByteArray ByteToBinaryText(quint8 byte);

} // namespace brixel
