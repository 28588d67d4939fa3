#include "persist/ExportText.h"

namespace brixel {

QByteArray BuildExportText(const QByteArray& tcpLogText, const QByteArray& comLogText) {
    QByteArray out;
    if (!tcpLogText.isEmpty()) {
        out += "<< TCP RX TEXT >>\r\n";
        out += tcpLogText;
    }
    if (!comLogText.isEmpty()) {
        out += "\r\n\r\n<< COM RX TEXT >>\r\n";
        out += comLogText;
    }
    return out;
}

} // namespace brixel
