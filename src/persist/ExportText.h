#pragma once

#include <QByteArray>

namespace brixel {

// The export file's content: each log that holds text, under its header. With
// both logs empty the result is empty.
QByteArray BuildExportText(const QByteArray& tcpLogText, const QByteArray& comLogText);

} // namespace brixel
